#pragma once

#include "remote/transfer_starters.h"
#include "workspace/loop_owner.h"

#include <QString>

#include <vector>

// Downloading found entries: each row goes where "Download to" sends the
// entries of its folder, the rows of one folder together. Rows with nowhere to
// go (outside the project, no local folder open) are left out.
std::vector<DownloadPart> SearchDownloadParts(const std::vector<SearchRow>& rows,
                                              const QString& localProject,
                                              const QString& remoteProject,
                                              const QString& openLocalFolder);
