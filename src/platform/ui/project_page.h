#pragma once

#include <QColor>
#include <QWidget>

#include <vector>

class PaneSplitter;

// A page of two panes (a tree and a list) on a coloured background; the tree
// pane may sit on either side and the shares follow the panes when they swap.
class ProjectPage : public QWidget {
    Q_OBJECT
public:
    explicit ProjectPage(const QString& accessibleName, QWidget* parent = nullptr);

    // The containers the explorer views go into.
    QWidget* treeSlot() const { return tree_; }
    QWidget* listSlot() const { return list_; }

    void setTreeOnLeft(bool left);
    bool treeOnLeft() const { return treeLeft_; }
    void setBackground(const QColor& color);
    QColor background() const { return color_; }

    // Shares of the tree pane and the list pane, in that order, whatever side
    // the tree is on.
    void setPaneShares(const std::vector<int>& treeThenList);
    std::vector<int> paneShares() const;

    PaneSplitter* splitter() const { return splitter_; }

private:
    PaneSplitter* splitter_;
    QWidget* tree_;
    QWidget* list_;
    bool treeLeft_ = true;
    QColor color_;
};
