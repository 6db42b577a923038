#include "app/close_question.h"

#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"

#include <algorithm>

QString CloseWhileBusyQuestion(const TaskStatus& status, const TransferCounts& counts,
                               bool sessionBusy) {
    // A line left "running" by a task whose work is all gone stops nothing.
    const bool running = status.state() == TaskStatus::Running &&
                         (sessionBusy || counts.running() + counts.queued() > 0);
    if (!running)
        return QString();
    QString name = TaskStatus::taskName(status.text());
    if (name.isEmpty())
        name = QStringLiteral("A task");
    const QString countsText = counts.text();
    if (countsText.isEmpty())
        return QStringLiteral("%1 is still running, and closing stops it. Close anyway?").arg(name);
    return QStringLiteral(
               "%1 is still running (%2), and closing stops the transfers before they end. "
               "Close anyway?")
        .arg(name, countsText);
}

bool CloseLeavesTemporaries(const TaskList& boxes) {
    return std::any_of(boxes.boxes().begin(), boxes.boxes().end(), [](const TaskBox& box) {
        return FailedTransfers::keepsTemporary(box.info);
    });
}
