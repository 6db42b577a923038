#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "platform/drives.h"
#include "platform/list_sort.h"
#include "workspace/local_list_rows.h"
#include "workspace/ui/local_icons.h"
#include "workspace/ui/local_model_base.h"

// The rows of the local list: the drives of "My computer", or a folder's ".."
// row, sub-folders and files. A folder is read and its rows built off the
// window thread; the model then changes once, so a folder of 100,000 files
// neither freezes the window nor redraws row by row.
class LocalListModel : public LocalModelBase<QAbstractTableModel> {
    Q_OBJECT
public:
    enum Role { KindRole = Qt::UserRole + 1, NameRole };

    explicit LocalListModel(QObject* parent = nullptr);

    void showComputer(const std::vector<Drive>& drives, const std::vector<Place>& places = {});
    void showFolder(const QString& folder);
    // Reads the shown folder again.
    void reload();
    // A file of the shown folder changed in place: its row takes its size
    // and time from the disk.
    void refreshFile(const QString& name);
    void clear();

    QString folder() const { return folder_; }
    bool isComputer() const { return computer_; }
    bool isLoading() const { return loading_; }
    // False when the folder last read could not be (gone, or not allowed).
    bool readOk() const { return readOk_; }

    void setShowFlags(int flags);
    void setSizeStyle(quint8 style);
    // The rows in a column's order, kept for every folder shown after it.
    void setSort(ListSort sort);
    ListSort sort() const { return sort_; }

    const LocalListRow* rowAt(int row) const;
    int rowOfName(const QString& name) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void folderLoaded(const QString& folder, bool ok);

private:
    void setRows(std::vector<LocalListRow> rows);

    std::vector<LocalListRow> rows_;
    QString folder_;
    bool computer_ = false;
    bool loading_ = false;
    bool readOk_ = true;
    int generation_ = 0;
    int showFlags_ = 0x02;
    quint8 sizeStyle_ = 0;
    ListSort sort_;
    mutable LocalIcons icons_;
};
