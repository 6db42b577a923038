#pragma once

#include <QAbstractTableModel>

class SiteList;

// The rows of the "Site connect" list over the SiteList itself: columns "Name" and "Comment".
// A dragged row dropped on another one moves the site right after it.
class SiteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SiteListModel(SiteList& sites, QObject* parent = nullptr);

    // The list changed under the model (rows added, removed, renamed).
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    static constexpr char kRowMimeType[] = "application/x-velmora-site-row";

signals:
    // After a drop: the dragged site is now at `row` (moved or not).
    void siteMoved(int row);

private:
    SiteList& sites_;
};
