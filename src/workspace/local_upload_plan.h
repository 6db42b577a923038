#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "remote/local_folder_record.h"
#include "workspace/project_folders.h"

// What an "Upload to ..." of the local views hands to the transfer starters.
struct LocalUploadPlan {
    bool valid = false;    // false: nothing to upload or nowhere to upload to
    bool project = false;  // a project upload: remoteFolder is the remote project folder
    QByteArray remoteFolder;
    QByteArray relativePath;  // project uploads: where below the remote project folder
    LocalFolderRecord record;
    bool operator==(const LocalUploadPlan& o) const {
        return valid == o.valid && project == o.project && remoteFolder == o.remoteFolder &&
               relativePath == o.relativePath && record.path == o.record.path &&
               record.items.size() == o.record.items.size();
    }
};

// Items chosen in the list, all inside folder: inside the local project folder
// (both folders set) they go to the same place below the remote project
// folder, otherwise into the folder open on the remote side.
LocalUploadPlan PlanListUpload(const ProjectFolders& folders, const QString& folder,
                               std::vector<LocalItem> items, const QByteArray& openRemoteFolder);

// A folder of the tree. Outside the project it is uploaded, as a folder, into
// the folder open remotely. Inside it is uploaded to its twin: the project
// folder itself by its contents, any folder below it as a folder into the twin
// of its parent (so an empty folder is still created). readContents is called
// only for the project folder itself; an unreadable one plans nothing.
LocalUploadPlan PlanTreeUpload(const ProjectFolders& folders, const QString& folderPath,
                               const LocalFolderReader& readContents,
                               const QByteArray& openRemoteFolder);
