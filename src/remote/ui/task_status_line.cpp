#include "remote/ui/task_status_line.h"

#include "platform/ui/rgb_colour.h"
#include "remote/task_status.h"
#include "remote/transfer_counts.h"

#include <QPainter>
#include <QToolButton>

namespace {
constexpr int kButtonSize = 26;
}

TaskStatusLine::TaskStatusLine(const TaskStatus& status, const TransferCounts* counts,
                               QWidget* parent)
    : QWidget(parent), status_(status), counts_(counts), stopBeep_(new QToolButton(this)) {
    stopBeep_->setIcon(QIcon::fromTheme(QStringLiteral("audio-volume-muted")));
    if (stopBeep_->icon().isNull())
        stopBeep_->setText(QStringLiteral("\u25A0"));  // a stop square
    stopBeep_->setToolTip(QStringLiteral("Stop beep"));
    stopBeep_->setAccessibleName(QStringLiteral("Stop beep"));
    stopBeep_->hide();
    connect(stopBeep_, &QToolButton::clicked, this, &TaskStatusLine::stopBeepClicked);
    // The tip holds the whole line where the panel is too narrow for it.
    const auto changed = [this] {
        setAccessibleDescription(describe());
        setToolTip(describe());
        update();
    };
    connect(&status_, &TaskStatus::changed, this, changed);
    if (counts_)
        connect(counts_, &TransferCounts::changed, this, changed);
    setAccessibleName(QStringLiteral("Task"));
    changed();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString TaskStatusLine::describe() const {
    return status_.summary(counts_ ? counts_->text() : QString());
}

QSize TaskStatusLine::sizeHint() const {
    // The header on top, the text on its own line below it, the button beside.
    const int h = qMax(kButtonSize + 4, 2 + fontMetrics().height() * 2 + 4);
    return QSize(200, h);
}

QSize TaskStatusLine::minimumSizeHint() const {
    return QSize(80, sizeHint().height());
}

void TaskStatusLine::resizeEvent(QResizeEvent*) {
    placeButton();
}

void TaskStatusLine::placeButton() {
    stopBeep_->setGeometry(width() - 30, (height() - kButtonSize) / 2, kButtonSize, kButtonSize);
}

void TaskStatusLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QPoint(2, 2 + fontMetrics().ascent()), QStringLiteral("Task"));
    if (counts_ && !counts_->text().isEmpty()) {
        // The transfers in hand, right of the header and clear of the button.
        const int left = 8 + fontMetrics().horizontalAdvance(QStringLiteral("Task"));
        const QRect countRect(left, 2, qMax(0, width() - 30 - left), fontMetrics().height());
        p.drawText(countRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(counts_->text(), Qt::ElideRight, countRect.width()));
    }
    const Rgb c = status_.displayColor();
    p.setPen(ToQColor(c));
    // Centred below the header, so a long text never runs over "Task".
    const int top = 2 + fontMetrics().height();
    const QRect textRect(8, top, qMax(0, width() - 30 - 8), height() - top);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(status_.displayText(), Qt::ElideRight, textRect.width()));
}
