#pragma once

#include "remote/local_folder_record.h"

// The reader uploads use: the local side's show filters, linked folders and
// special files left out and reported.
LocalFolderReader MakeUploadFolderReader(int localShowFlags);
