#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "remote/remote_item_list.h"
#include "remote/transfer_starters.h"
#include "workspace/compare_tree.h"
#include "workspace/project_folders.h"

// Where the results of one "Comparing projects" run lie on each side, and what
// later news changes in them: the start folder mapped into the remote and the
// local project folder.
class Prompter;

class CompareSides {
public:
    CompareSides(const ProjectFolders& folders, const QByteArray& startFolder);

    const QByteArray& remoteProject() const { return remoteProject_; }
    const QByteArray& startFolder() const { return startFolder_; }
    // The start folder below the remote project folder ("" at the top).
    const QByteArray& startRelative() const { return startRelative_; }
    const QString& localProject() const { return localProject_; }

    // A result's path below the project folder, and the folder holding it.
    QByteArray projectPath(const CompareNode* node) const;
    QByteArray projectFolderOf(const CompareNode* node) const;
    QByteArray remoteFolderOf(const CompareNode* node) const;
    QString localFolderOf(const CompareNode* node) const;
    QString localPathOf(const CompareNode* node) const;
    // The path below the project folder of a remote path; false when it lies
    // outside the project folder.
    bool toProjectPath(const QByteArray& remotePath, QByteArray* projectPath) const;

    // Deletes a result's local file; empty when it is gone, else why not.
    QString deleteLocalFile(const CompareNode* node) const;

    // The results a fresh listing of a remote folder shows gone: nothing for
    // a folder outside the project or not walked in the run.
    // The result of a remote folder the run walked; none for another.
    CompareNode* listedFolder(CompareTree& tree, const QByteArray& folder) const;
    std::vector<CompareNode*> staleAfterListing(CompareTree& tree, const QByteArray& folder,
                                                const RemoteItemList& items, quint8 options,
                                                const DateJudge& dates = {}) const;
    // Whether the run walked this server folder, so its results follow its listings.
    bool walked(CompareTree& tree, const QByteArray& folder) const;
    // The result a finished transfer of remotePath settles (both sides now
    // hold the same file); nullptr for none.
    CompareNode* settledByTransfer(CompareTree& tree, const QByteArray& remotePath) const;

    // The files of several results sent in one go, and the folders one side
    // lacks (sent whole), gathered by the folder they are in. Results a single
    // "Upload" or "Download" would not take (folders on both sides, a file
    // facing a folder, a server name that cannot be a local one) are left out.
    std::vector<ProjectUploadPart> uploadParts(const std::vector<const CompareNode*>& nodes) const;
    std::vector<DownloadPart> downloadParts(const std::vector<const CompareNode*>& nodes) const;
    // The chosen results that go up or down, asked about first when some would put
    // copies the run saw older over ones changed later: Yes sends them all; with
    // others chosen too, No sends just those and Cancel nothing; alone, No nothing.
    std::vector<const CompareNode*> confirmOlderOverNewer(
        const std::vector<const CompareNode*>& nodes, bool upload, Prompter& prompter) const;

private:
    QString localProject_;
    QByteArray remoteProject_;
    QByteArray startFolder_;
    QByteArray startRelative_;
};
