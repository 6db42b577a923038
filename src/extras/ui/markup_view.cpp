#include "extras/ui/markup_view.h"

#include "extras/markup_parser.h"
#include "platform/launcher.h"

#include <QMouseEvent>
#include <QPainter>

MarkupView::MarkupView(Launcher& launcher, QWidget* parent)
    : QWidget(parent), launcher_(launcher), background_(palette().color(QPalette::Button)) {
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Scrolling text"));
    connect(&timer_, &QTimer::timeout, this, [this] {
        timer_.setInterval(tick_);
        tick();
    });
    // The first step waits a little longer, so the start can be read.
    timer_.start(10 * tick_);
}

void MarkupView::setMarkup(const QString& markup) {
    markup_ = markup;
    render();
}

void MarkupView::appendMarkup(const QString& markup) {
    markup_ += markup;
    render();
}

void MarkupView::setBackground(const QColor& color) {
    background_ = color;
    update();
}

void MarkupView::setScrollEnabled(bool enabled) {
    scrollEnabled_ = enabled;
    if (!enabled)
        offset_ = 0;
    update();
}

void MarkupView::render() {
    rendering_ = RenderMarkup(markup_, qMax(1, width()));
    if (offset_ > rendering_.contentHeight)
        offset_ = 0;
    setAccessibleDescription(markup_);
    update();
}

void MarkupView::resizeEvent(QResizeEvent*) {
    if (rendering_.image.width() != width())
        render();
}

void MarkupView::showEvent(QShowEvent*) {
    if (rendering_.image.width() != width())
        render();
}

void MarkupView::tick() {
    if (!scrollEnabled_ || dragging_ || rendering_.contentHeight <= 0)
        return;
    if (isVisible()) {
        offset_ = NextScrollOffset(offset_, rendering_.contentHeight);
        update();
    }
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    updateHover(rect().contains(cursor) ? cursor : QPoint(-1, -1));
}

int MarkupView::linkAtView(const QPoint& pos) const {
    const int h = rendering_.contentHeight;
    if (h <= 0 || !rect().contains(pos))
        return -1;
    // The content repeats below itself, so every point maps into one copy.
    const int y = ((pos.y() + offset_) % h + h) % h;
    return rendering_.linkAt(QPoint(pos.x(), y));
}

void MarkupView::updateHover(const QPoint& pos) {
    const int link = linkAtView(pos);
    hover_ = link >= 0 ? rendering_.links[size_t(link)].rect : QRect();
    setCursor(link >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void MarkupView::activateLink(int index) {
    if (index < 0 || index >= int(rendering_.links.size()))
        return;
    const QString target = rendering_.links[size_t(index)].target;
    if (target.startsWith(QLatin1Char('#'))) {
        if (const auto link = ParseInternalLink(target); link && internal_)
            internal_(link->action, link->argument);
        return;
    }
    if (!target.isEmpty())
        launcher_.openLink(target);
}

void MarkupView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    const int h = rendering_.contentHeight;
    if (h <= 0)
        return;
    if (!scrollEnabled_) {
        painter.drawImage(0, 0, rendering_.image);
        return;
    }
    // Copies one below the other fill the window, so the roll wraps smoothly.
    for (int y = -offset_; y < height(); y += h)
        painter.drawImage(0, y, rendering_.image);
}

void MarkupView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int link = linkAtView(event->position().toPoint());
    if (link >= 0) {
        activateLink(link);
        return;
    }
    if (rendering_.contentHeight > height()) {
        dragging_ = true;
        dragStartY_ = int(event->position().y());
        dragStartOffset_ = offset_;
        timer_.stop();
    }
}

void MarkupView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (dragging_) {
        const int h = qMax(1, rendering_.contentHeight);
        offset_ = ((dragStartOffset_ + dragStartY_ - pos.y()) % h + h) % h;
        update();
        return;
    }
    updateHover(pos);
}

void MarkupView::mouseReleaseEvent(QMouseEvent*) {
    if (!dragging_)
        return;
    dragging_ = false;
    timer_.start(tick_);
}
