#pragma once

#include "workspace/compare_tree.h"
#include "workspace/loop_owner.h"
#include "workspace/loop_row_texts.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QTimer>

#include <vector>

// Search results: rows arrive one by one and are inserted in batches, once
// per turn of the event loop, so a search reporting tens of thousands of
// matches never holds the window up.
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SearchResultModel(LoopDisplayOptions options, QObject* parent = nullptr);

    void append(const SearchRow& row);
    void clear();
    // Inserts what is waiting at once.
    void flush();
    const SearchRow& row(int r) const { return rows_[size_t(r)]; }
    // Drops the rows a fresh listing of the folder shows gone.
    void removeGone(const QByteArray& folder, const RemoteItemList& listing);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static const QList<int>& columnWeights();

private:
    LoopDisplayOptions options_;
    std::vector<SearchRow> rows_;
    std::vector<SearchRow> waiting_;
    QTimer flushTimer_;
};

// The renames of a change-case run; the folder is written only where it
// differs from the one the nearest earlier row shows.
class ChangeCaseModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void append(const CaseRename& rename, CaseRowMark mark = CaseRowMark::Renamed);
    void clear();
    const CaseRename& rename(int r) const { return rows_[size_t(r)].rename; }
    CaseRowMark mark(int r) const { return rows_[size_t(r)].mark; }
    QString shownPath(int r) const { return rows_[size_t(r)].shownPath; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        CaseRename rename;
        QString shownPath;
        CaseRowMark mark = CaseRowMark::Renamed;
    };
    std::vector<Row> rows_;
    QString lastShown_;
};

// The compare result tree below its root "From".
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
    CompareTree tree_;
    bool started_ = false;
};
