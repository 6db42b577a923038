#pragma once

#include <functional>
#include <optional>

#include "remote/remote_item_list.h"
#include "session/transfer_info.h"
#include "workspace/compare_folder_sends.h"
#include "workspace/compare_sides.h"
#include "workspace/loop_owner.h"
#include "workspace/project_folders.h"
#include "workspace/ui/loop_window.h"

#include <QSet>

class CompareTreeModel;
class QCheckBox;
class QLabel;
class QMenu;
class QTreeView;
struct CompareNode;

// "Comparing projects": what differs between a folder of the remote project
// and its local twin, as a tree; each item says in words where it stands.
class CompareWindow : public LoopWindow, public CompareOwner {
    Q_OBJECT
public:
    CompareWindow(const LoopContext& context, const ProjectFolders& folders,
                  const QByteArray& startFolder, quint8 storedOptions, QWidget* parent = nullptr);

    quint8 options() const;
    // "Compare file date", kept beside the stored options, and the server's
    // LIST time offset known so far.
    void setDates(bool checked, qint64 listOffset);
    QCheckBox* datesBox() const { return dates_; }
    CompareTreeModel* model() const { return model_; }
    QTreeView* view() const { return tree_; }
    // What the colours and the "Where" words mean.
    QLabel* legend() const { return legend_; }
    QCheckBox* optionBox(int bit) const;
    // The menu of a result item, as a right click shows it; with several results
    // chosen, its "Upload" and "Download" act on them all.
    QMenu* itemMenu(CompareNode* node);

    // Where a viewing tool opens a result file: a server path (the tool gets
    // its web address) or a local path.
    struct ViewTarget {
        bool remote = false;
        QString path;
    };
    using TargetChooser = std::function<std::optional<ViewTarget>()>;
    // Adds the viewing tools to "View/edit by" (remoteFile: the tools for a
    // server file). A tool, once picked, asks the chooser for its target
    // first; nothing means the user cancelled.
    using ToolMenuFiller =
        std::function<void(QMenu* menu, bool remoteFile, const TargetChooser& choose)>;
    void setToolMenuFiller(ToolMenuFiller filler) { toolMenuFiller_ = std::move(filler); }

    bool showsFolder(const QByteArray& folder) const override;

    // CompareOwner
    bool compareResult(const FolderCompareResult& result) override;
    void compareProgressStep() override { progressStep(); }

signals:
    void optionsStored(quint8 options);
    // Emitted just before optionsStored.
    void datesStored(bool checked);
    // The run found the server's LIST time offset from its MLSD listing.
    void listOffsetFound(qint64 seconds);
    // A local file was deleted: the local trees show it.
    void localTreesChanged();
    // "View/edit by" > "FTP wizard" (kCompareFtpWizard) or "Help" (kCompareHelp): the server file
    // or the local file, the other side empty; for a file on both sides the
    // user has picked the side.
    void viewRequested(int commandId, const QByteArray& remoteFolder, const QByteArray& remoteName,
                       const QString& localPath);

protected:
    bool startLoop() override;
    void sortRows(ListSort sort) override;
    bool loopFinished() override;
    QString endNote() const override;

private:
    // Asks which side to view when the file is on both.
    void viewItem(int commandId, CompareNode* node);
    std::optional<ViewTarget> viewTarget(CompareNode* node);
    // The server folder and name of a result file.
    std::pair<QByteArray, QByteArray> remoteFileOf(const CompareNode* node) const;
    // The results chosen in the tree ("From" is none).
    std::vector<CompareNode*> chosenResults() const;
    // The chosen results when `node` is one of them, else `node` alone.
    std::vector<CompareNode*> chosenWith(CompareNode* node) const;
    // The results of these paths that are still shown.
    std::vector<const CompareNode*> stillShown(const QList<QByteArray>& paths);
    void upload(const QList<QByteArray>& paths);
    void download(const QList<QByteArray>& paths);
    void deleteItem(CompareNode* node);
    void showProperties(CompareNode* node);
    // A later listing of a folder inside the compared area.
    void folderListed(const QByteArray& folder, const RemoteItemList& items);
    void transferDone(const TransferInfo& info, bool success);
    // A transfer task of the chosen results was queued: the one-sided folders
    // among them (as `sentFolder` tells) wait for its end.
    void transferStarted(const std::vector<const CompareNode*>& nodes,
                         bool (*sentFolder)(const CompareItem&));
    void transferTaskEnded(bool clean);

    ProjectFolders folders_;
    CompareSides sides_;
    quint8 runOptions_ = 0;
    bool runDates_ = false;
    QList<QCheckBox*> boxes_;
    QCheckBox* dates_;
    qint64 listOffset_ = 0;
    QLabel* legend_ = nullptr;
    QTreeView* tree_;
    CompareTreeModel* model_;
    QMenu* menu_ = nullptr;
    QSet<QByteArray> pendingTransfers_;  // remote paths of transfers started here
    CompareFolderSends folderSends_;
    ToolMenuFiller toolMenuFiller_;
};
