#include "platform/ui/pane_splitter.h"

#include "platform/pane_shares.h"

#include <QChildEvent>
#include <QList>

PaneSplitter::PaneSplitter(Qt::Orientation orientation, QWidget* parent, int minimumPane,
                           int barThickness)
    : QSplitter(orientation, parent), minimumPane_(minimumPane) {
    setHandleWidth(barThickness);
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, [this] {
        if (applying_)
            return;
        const QList<int> s = sizes();
        shares_ = SharesFromSizes(std::vector<int>(s.begin(), s.end()));
    });
}

void PaneSplitter::setShares(const std::vector<int>& shares) {
    shares_ = shares;
    applyShares();
}

std::vector<int> PaneSplitter::shares() const {
    if (int(shares_.size()) == count())
        return shares_;
    return EqualShares(count());
}

void PaneSplitter::applyShares() {
    if (count() == 0)
        return;
    if (int(shares_.size()) != count())
        shares_ = EqualShares(count());
    const int length = orientation() == Qt::Horizontal ? width() : height();
    const int room = length - (count() - 1) * handleWidth();
    const std::vector<int> px = PaneSizes(shares_, room, minimumPane_);
    applying_ = true;
    setSizes(QList<int>(px.begin(), px.end()));
    applying_ = false;
}

void PaneSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    applyShares();
}

void PaneSplitter::childEvent(QChildEvent* event) {
    QSplitter::childEvent(event);
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        if (int(shares_.size()) != count())
            shares_.clear();
    }
}
