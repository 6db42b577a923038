#include "remote/ui/task_summary_button.h"

#include "platform/ui/rgb_colour.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"

namespace {
// Wide enough for a caption and its counts; a longer text is shortened.
constexpr int kMaxTextWidth = 640;
}  // namespace

TaskSummaryButton::TaskSummaryButton(const TaskStatus& status, const TransferCounts& counts,
                                     QWidget* parent)
    : QToolButton(parent), status_(status), counts_(counts) {
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setAccessibleName(QStringLiteral("Task"));
    connect(&status_, &TaskStatus::changed, this, &TaskSummaryButton::showSummary);
    connect(&counts_, &TransferCounts::changed, this, &TaskSummaryButton::showSummary);
    showSummary();
}

QString TaskSummaryButton::summary() const {
    return status_.summary(counts_.text());
}

void TaskSummaryButton::showSummary() {
    const QString whole = summary();
    // The counts stay whole; a long line loses the end of its reason.
    const QString counts = TaskStatus::summary(QString(), counts_.text());
    const QString shown = TaskStatus::summary(
        fontMetrics().elidedText(status_.displayText(), Qt::ElideRight,
                                 kMaxTextWidth - fontMetrics().horizontalAdvance(counts)),
        counts_.text());
    setText(shown);
    // A shortened failure is read whole in the tip.
    const QString hint = QStringLiteral("Show the tasks on the FTP chat page");
    setToolTip(shown == whole ? hint : whole + QLatin1Char('\n') + hint);
    setAccessibleDescription(whole);
    QPalette p = palette();
    p.setColor(QPalette::ButtonText, ToQColor(status_.displayColor()));
    setPalette(p);
}
