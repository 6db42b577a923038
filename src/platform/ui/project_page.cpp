#include "platform/ui/project_page.h"

#include "platform/ui/pane_splitter.h"

#include <QPalette>
#include <QVBoxLayout>

ProjectPage::ProjectPage(const QString& accessibleName, QWidget* parent)
    : QWidget(parent),
      splitter_(new PaneSplitter(Qt::Horizontal, this)),
      tree_(new QWidget(splitter_)),
      list_(new QWidget(splitter_)) {
    setAccessibleName(accessibleName);
    tree_->setObjectName(QStringLiteral("treeSlot"));
    list_->setObjectName(QStringLiteral("listSlot"));
    for (QWidget* w : {tree_, list_}) {
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter_);
    setAutoFillBackground(true);
}

void ProjectPage::setTreeOnLeft(bool left) {
    if (left == treeLeft_)
        return;
    const std::vector<int> shares = paneShares();
    treeLeft_ = left;
    splitter_->insertWidget(0, left ? tree_ : list_);
    setPaneShares(shares);
}

void ProjectPage::setBackground(const QColor& color) {
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    for (QWidget* w : {tree_, list_}) {
        w->setAutoFillBackground(true);
        w->setPalette(p);
    }
}

void ProjectPage::setPaneShares(const std::vector<int>& treeThenList) {
    if (treeThenList.size() != 2)
        return;
    splitter_->setShares(treeLeft_ ? treeThenList
                                   : std::vector<int>{treeThenList[1], treeThenList[0]});
}

std::vector<int> ProjectPage::paneShares() const {
    std::vector<int> s = splitter_->shares();
    if (s.size() == 2 && !treeLeft_)
        std::swap(s[0], s[1]);
    return s;
}
