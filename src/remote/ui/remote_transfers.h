#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "remote/local_folder_record.h"
#include "remote/remote_item.h"

class ActionEngine;
class HelpViewer;
class QWidget;

// Starting transfers from a view: the direction's file-action dialog first
// when its options ask for it (closed without "Apply": nothing is queued),
// then the engine's starter. Any view of the program may call these, e.g. a
// local tree that remote entries were dropped on.

// Downloads the entries of a remote folder (every one when items is empty)
// into a local folder. False when
// nothing was queued.
bool LaunchDownload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                    const QByteArray& remoteFolder, const std::vector<RemoteItem>& items,
                    const QString& localFolder);

// Uploads local records into a remote folder; a folder inside the remote
// project folder gets the pair upload, which creates the missing folders of
// the way. False when nothing was queued.
bool LaunchUpload(ActionEngine& engine, HelpViewer& help, QWidget* parent,
                  const QByteArray& remoteFolder, const std::vector<LocalFolderRecord>& records);
