#pragma once

#include "remote/file_transfer.h"
#include "remote/remote_item.h"

#include <vector>

// The temporaries earlier uploads of a file left beside it, as its folder lists
// them: an upload sent whole (`whole`) under atomic publishing continues the
// longest one of the very version of its local file; the others, another
// upload's perhaps, are never written into and go once the file is in place.
void PlanUploadLeftovers(FileTransfer& transfer, const std::vector<RemoteItem>& left, bool whole);
