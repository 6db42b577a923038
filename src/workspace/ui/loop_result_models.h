#pragma once

#include "remote/ui/remote_icons.h"
#include "workspace/compare_tree.h"
#include "workspace/loop_owner.h"
#include "workspace/loop_result_order.h"
#include "workspace/loop_row_texts.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QTimer>

#include <vector>

// A flat result list that can put its rows in a new order.
class LoopTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // Moves the rows to `order` (positions into the old rows); selections and
    // the current row follow them.
    template <class Row>
    void applyOrder(std::vector<Row>& rows, const std::vector<int>& order) {
        bool moved = false;
        for (size_t i = 0; i < order.size() && !moved; ++i)
            moved = order[i] != int(i);
        if (!moved)
            return;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> newRow(order.size());
        std::vector<Row> sorted;
        sorted.reserve(rows.size());
        for (size_t i = 0; i < order.size(); ++i) {
            newRow[size_t(order[i])] = int(i);
            sorted.push_back(std::move(rows[size_t(order[i])]));
        }
        rows = std::move(sorted);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& i : before)
            after << index(newRow[size_t(i.row())], i.column());
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
};

// Search results: rows arrive one by one and are inserted in batches, once
// per turn of the event loop, so a search reporting tens of thousands of
// matches never holds the window up. Each batch is merged into the list's
// order; a folder is written where the row above shows another one.
class SearchResultModel : public LoopTableModel {
    Q_OBJECT
public:
    explicit SearchResultModel(LoopDisplayOptions options, QObject* parent = nullptr);

    void append(const SearchRow& row);
    void clear();
    // Inserts what is waiting at once.
    void flush();
    const SearchRow& row(int r) const { return rows_[size_t(r)]; }
    // Drops the rows a fresh listing of the folder shows gone and shows the
    // others as it lists them.
    void followListing(const QByteArray& folder, const RemoteItemList& listing);
    // Whether a row stands in this folder.
    bool showsFolder(const QByteArray& folder) const;
    void setSort(ListSort sort, QDate today = QDate::currentDate());
    ListSort sort() const { return sort_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static const QList<int>& columnWeights();

private:
    // Puts the rows below `sortedCount` and the ones after them in order.
    void order(size_t sortedCount);

    LoopDisplayOptions options_;
    ListSort sort_;
    QDate today_ = QDate::currentDate();
    std::vector<SearchRow> rows_;
    std::vector<SearchRow> waiting_;
    QTimer flushTimer_;
    mutable RemoteIcons icons_;
};

// The renames of a change-case run, each placed in the list's order as it
// comes; the folder is written only where it differs from the row above's.
class ChangeCaseModel : public LoopTableModel {
    Q_OBJECT
public:
    using LoopTableModel::LoopTableModel;

    void append(const CaseRename& rename, CaseRowMark mark = CaseRowMark::Renamed);
    void clear();
    const CaseRename& rename(int r) const { return rows_[size_t(r)].rename; }
    CaseRowMark mark(int r) const { return rows_[size_t(r)].mark; }
    QString shownPath(int r) const;
    void setSort(ListSort sort);
    ListSort sort() const { return sort_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ListSort sort_;
    std::vector<CaseResultRow> rows_;
};

// The compare result tree below its root "From", each folder's items in the
// list's order.
class CompareTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit CompareTreeModel(QObject* parent = nullptr);

    CompareTree& tree() { return tree_; }
    void reset(const QByteArray& base);
    // Adds one folder's result; false when its folder is not in the tree.
    bool addResult(const FolderCompareResult& result);
    void removeNode(CompareNode* node);
    // The end-of-run pruning.
    void prune(bool subFolders);
    // The items of this folder were compared again in place.
    void itemsRewritten(const CompareNode* folder);
    void setSort(ListSort sort);
    ListSort sort() const { return sort_; }

    CompareNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const CompareNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    static constexpr int kColumns = 2;  // the item, where it stands

private:
    // Sorts the children of these folders, keeping indexes held on them.
    void sortFolders(const std::vector<CompareNode*>& folders);

    CompareTree tree_;
    ListSort sort_;
    bool started_ = false;
};
