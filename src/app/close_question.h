#pragma once

#include <QString>

class TaskStatus;
class TransferCounts;

// The question before the window closes while a task is in hand (its line
// running and work queued or transfers counted): what the close would stop.
// Empty when nothing runs.
QString CloseWhileBusyQuestion(const TaskStatus& status, const TransferCounts& counts,
                               bool sessionBusy);
