#include "remote/ui/task_status_line.h"

#include "remote/task_status.h"

#include <QPainter>
#include <QToolButton>

namespace {
constexpr int kButtonSize = 26;
}

TaskStatusLine::TaskStatusLine(const TaskStatus& status, QWidget* parent)
    : QWidget(parent), status_(status), stopBeep_(new QToolButton(this)) {
    stopBeep_->setIcon(QIcon::fromTheme(QStringLiteral("audio-volume-muted")));
    if (stopBeep_->icon().isNull())
        stopBeep_->setText(QStringLiteral("\u25A0"));  // a stop square
    stopBeep_->setToolTip(QStringLiteral("Stop beep"));
    stopBeep_->setAccessibleName(QStringLiteral("Stop beep"));
    stopBeep_->hide();
    connect(stopBeep_, &QToolButton::clicked, this, &TaskStatusLine::stopBeepClicked);
    connect(&status_, &TaskStatus::changed, this, [this] {
        setAccessibleDescription(status_.displayText());
        update();
    });
    setAccessibleName(QStringLiteral("Task"));
    setAccessibleDescription(status_.displayText());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
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
    const Rgb c = status_.displayColor();
    p.setPen(QColor(c.r, c.g, c.b));
    // Centred below the header, so a long text never runs over "Task".
    const int top = 2 + fontMetrics().height();
    const QRect textRect(8, top, qMax(0, width() - 30 - 8), height() - top);
    p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(status_.displayText(), Qt::ElideRight, textRect.width()));
}
