#pragma once

#include <QString>

class TaskList;
class TaskStatus;
class TransferCounts;

// The question before the window closes while work is in hand (transfers counted, whatever the
// task line shows, or its running task's work queued): what the close would stop. Empty when
// nothing runs.
QString CloseWhileBusyQuestion(const TaskStatus& status, const TransferCounts& counts,
                               bool sessionBusy);

// Whether a running transfer, stopped by the close, would leave a hidden
// temporary on the server: the close stops it first, so that the user is
// asked about that temporary too.
bool CloseLeavesTemporaries(const TaskList& boxes);
