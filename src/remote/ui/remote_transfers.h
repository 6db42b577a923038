#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "remote/file_action_dialog_rules.h"
#include "remote/local_folder_record.h"
#include "remote/remote_item.h"
#include "remote/remote_item_list.h"
#include "remote/transfer_conflicts.h"

#include <functional>
#include <memory>

class ActionEngine;
class HelpViewer;
class QWidget;

// Starting transfers from a view: the direction's file-action dialog first
// when its options ask for it and something of the same name is at the
// target (or the target folder was never listed); closed without "Apply",
// nothing is queued. Then the engine's starter. Any view of the program may
// call these, e.g. a local tree that remote entries were dropped on.

// A server folder's last listing as the views hold it; null when never listed.
using KnownListing = std::function<SharedRemoteItems(const QByteArray& folder)>;

// Downloads the entries of a remote folder (every one when items is empty:
// then `folderListing` names them, null when unknown) into a local folder.
// False when nothing was queued.
bool LaunchDownload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                    const QByteArray& remoteFolder, const std::vector<RemoteItem>& items,
                    const QString& localFolder, const RemoteItemList* folderListing = nullptr);

// Uploads local records into a remote folder; a folder inside the remote
// project folder gets the pair upload, which creates the missing folders of
// the way. False when nothing was queued.
bool LaunchUpload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                  const QByteArray& remoteFolder, const std::vector<LocalFolderRecord>& records,
                  const KnownListing& known = {});

// Asks the direction's file-action question when the options want it and the
// conflicts are worth it; false when the user closed it without "Apply".
bool ConfirmFileAction(ActionEngine& engine, TransferDirection direction,
                       const TransferConflicts& conflicts, HelpViewer& help, QWidget* parent);
