#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

#include <functional>

class QMimeData;

// The remote tree and the remote list: a QTreeView with the explorer's row
// colours, a small drag image, and drops and keys handed to its owner.
class ExplorerItemView : public QTreeView {
    Q_OBJECT
public:
    explicit ExplorerItemView(QWidget* parent = nullptr);

    // Which drops the owner takes: called while dragging over `index`.
    std::function<bool(const QMimeData* mime, const QModelIndex& index, bool fromSelf)> canDrop;
    std::function<void(const QMimeData* mime, const QModelIndex& index, bool fromSelf)> dropped;

    QModelIndex dropTarget() const { return dropTarget_; }

signals:
    void keyOpen();
    void keyParent();
    void keyRefresh();
    void keyRename();
    void keyDelete();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    bool acceptDrag(QDropEvent* event);
    void setDropTarget(const QModelIndex& index);
    QPersistentModelIndex dropTarget_;
};
