#pragma once

#include <QString>

class TaskList;
class TaskStatus;
class TransferCounts;

// The question before the window closes while a task is in hand (its line
// running and work queued or transfers counted): what the close would stop.
// Empty when nothing runs.
QString CloseWhileBusyQuestion(const TaskStatus& status, const TransferCounts& counts,
                               bool sessionBusy);

// Whether a running transfer, stopped by the close, would leave a hidden
// temporary on the server: the close stops it first, so that the user is
// asked about that temporary too.
bool CloseLeavesTemporaries(const TaskList& boxes);
