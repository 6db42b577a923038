#pragma once

#include "workspace/loop_row_texts.h"
#include "workspace/project_folders.h"
#include "workspace/search_criteria.h"
#include "workspace/ui/loop_window.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QTreeView;
class SearchResultModel;

// "Searching in server": finds entries below a folder by name, kind and size.
class SearchWindow : public LoopWindow, public SearchOwner {
    Q_OBJECT
public:
    // Fills the "View/edit by" submenu for a server path (the frame's tools).
    using ViewMenuFiller = std::function<void(QMenu* menu, const QString& remotePath)>;
    // The folder open on the local side, where "Download to" goes outside the
    // project.
    using OpenLocalFolder = std::function<QString()>;

    SearchWindow(const LoopContext& context, const ProjectFolders& folders,
                 const QByteArray& folder, const SearchCriteria& stored,
                 const LoopDisplayOptions& display, QWidget* parent = nullptr);
    ~SearchWindow() override;

    void setViewMenuFiller(ViewMenuFiller filler) { viewMenuFiller_ = std::move(filler); }
    void setOpenLocalFolder(OpenLocalFolder f) { openLocalFolder_ = std::move(f); }

    SearchResultModel* model() const { return model_; }
    QLineEdit* nameEdit() const { return name_; }
    QCheckBox* kindBox(int bit) const;
    QComboBox* relationBox() const { return relation_; }
    QLineEdit* sizeEdit() const { return size_; }
    QComboBox* unitBox() const { return unit_; }
    QCheckBox* caseBox() const { return caseSensitive_; }
    // The request the controls hold.
    SearchRequest request() const;
    // The menu of a result row, as the list shows it on a right click.
    QMenu* rowMenu(int row);
    QTreeView* resultList() const { return list_; }
    // "Delete" on the selected rows: the project guard, the question, then
    // the deletes; rows leave once a fresh listing shows them gone.
    void deleteSelected();

    bool showsFolder(const QByteArray& folder) const override;

    // SearchOwner
    bool searchResult(const SearchRow& row) override;
    void searchProgressStep() override { progressStep(); }

signals:
    // Valid criteria of a started search, for the stored options.
    void criteriaStored(const SearchCriteria& criteria);
    // "View/edit by" > "FTP wizard" (kSearchFtpWizard) or "Help" (kSearchHelp) on a row.
    void viewRequested(int commandId, const QByteArray& folder, const QByteArray& name);

protected:
    bool startLoop() override;
    void sortRows(ListSort sort) override;

private:
    void showCriteria(const SearchCriteria& c);
    // "Download to": the chosen rows when the clicked one is among them.
    void downloadChosen(const SearchRow& clicked);
    std::vector<SearchRow> selectedRows() const;

    ProjectFolders folders_;
    QByteArray folder_;
    QLineEdit* name_;
    QList<QCheckBox*> kinds_;
    QComboBox* relation_;
    QLineEdit* size_;
    QComboBox* unit_;
    QCheckBox* caseSensitive_;
    QTreeView* list_;
    SearchResultModel* model_;
    QMenu* menu_ = nullptr;
    ViewMenuFiller viewMenuFiller_;
    OpenLocalFolder openLocalFolder_;
};
