#include "app/close_question.h"

#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"

#include <algorithm>

QString CloseWhileBusyQuestion(const TaskStatus& status, const TransferCounts& counts,
                               bool sessionBusy) {
    // The line tells of the last task to start or end, while transfers of an earlier one may
    // still run: any transfer counted asks. Other work asks while its task runs; a line left
    // "running" by a task whose work is all gone stops nothing.
    const bool transfers = counts.running() + counts.queued() > 0;
    if (!transfers && !(sessionBusy && status.state() == TaskStatus::Running))
        return QString();
    const QString countsText = counts.text();
    QString name =
        status.state() == TaskStatus::Running ? TaskStatus::taskName(status.text()) : QString();
    if (name.isEmpty() && !countsText.isEmpty())
        return QStringLiteral(
                   "Transfers are still running (%1), and closing stops them before they end. "
                   "Close anyway?")
            .arg(countsText);
    if (name.isEmpty())
        name = QStringLiteral("A task");
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
