#include "app/ui/normal_page.h"

#include "platform/ui/pane_splitter.h"

#include <QVBoxLayout>

namespace {
QWidget* slot(const char* name, QWidget* parent) {
    auto* w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    auto* l = new QVBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    return w;
}
}  // namespace

NormalPage::NormalPage(QWidget* parent)
    : QWidget(parent), outer_(new PaneSplitter(Qt::Horizontal, this)) {
    setAccessibleName(QStringLiteral("Normal"));
    local_ = slot("localSlot", outer_);
    right_ = new QSplitter(Qt::Vertical, outer_);
    right_->setChildrenCollapsible(false);
    remote_ = slot("remoteSlot", right_);
    chat_ = slot("chatSlot", right_);
    right_->setStretchFactor(0, 3);
    right_->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(outer_);
}
