#pragma once

#include "extras/markup_layout.h"

#include <QColor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class Launcher;

// Shows the program's markup on a coloured background and rolls it slowly
// upwards in an endless loop. Links show the hand cursor and open through the
// launcher; "#n" and "#argument#n" links go to the owner's handler. Dragging
// with the mouse scrolls by hand while the content is taller than the view.
class MarkupView : public QWidget {
    Q_OBJECT
public:
    using InternalHandler = std::function<void(int action, const std::optional<QString>& argument)>;

    explicit MarkupView(Launcher& launcher, QWidget* parent = nullptr);

    void setMarkup(const QString& markup);
    // Appends a block to the markup shown.
    void appendMarkup(const QString& markup);
    void setBackground(const QColor& color);
    void setInternalHandler(InternalHandler handler) { internal_ = std::move(handler); }
    void setScrollEnabled(bool enabled);

    int scrollOffset() const { return offset_; }
    int tickMilliseconds() const { return tick_; }
    const MarkupRendering& rendering() const { return rendering_; }
    // The link under a point of the widget, -1 when none.
    int linkAtView(const QPoint& pos) const;
    QRect hoverRect() const { return hover_; }

    // One tick of the scroll timer; public so tests can step it.
    void tick();
    // Opens the link of that index as a click would.
    void activateLink(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void render();
    void updateHover(const QPoint& pos);

    Launcher& launcher_;
    QString markup_;
    QColor background_;
    MarkupRendering rendering_;
    InternalHandler internal_;
    QTimer timer_;
    bool scrollEnabled_ = true;
    int offset_ = 0;
    int tick_ = 40;
    QRect hover_;
    bool dragging_ = false;
    int dragStartY_ = 0;
    int dragStartOffset_ = 0;
};
