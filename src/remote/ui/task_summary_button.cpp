#include "remote/ui/task_summary_button.h"

#include "platform/ui/rgb_colour.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"

namespace {
// Wide enough for a caption and its counts; a longer text is shortened in the middle.
constexpr int kMaxTextWidth = 480;
}  // namespace

TaskSummaryButton::TaskSummaryButton(const TaskStatus& status, const TransferCounts& counts,
                                     QWidget* parent)
    : QToolButton(parent), status_(status), counts_(counts) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAccessibleName(QStringLiteral("Task"));
    setToolTip(QStringLiteral("Show the tasks on the FTP chat page"));
    connect(&status_, &TaskStatus::changed, this, &TaskSummaryButton::showSummary);
    connect(&counts_, &TransferCounts::changed, this, &TaskSummaryButton::showSummary);
    showSummary();
}

QString TaskSummaryButton::summary() const {
    return status_.summary(counts_.text());
}

void TaskSummaryButton::showSummary() {
    const QString whole = summary();
    setText(fontMetrics().elidedText(whole, Qt::ElideMiddle, kMaxTextWidth));
    setAccessibleDescription(whole);
    QPalette p = palette();
    p.setColor(QPalette::ButtonText, ToQColor(status_.displayColor()));
    setPalette(p);
}
