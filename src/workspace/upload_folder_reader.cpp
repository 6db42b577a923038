#include "workspace/upload_folder_reader.h"

#include "workspace/local_listing.h"

LocalFolderReader MakeUploadFolderReader(int localShowFlags) {
    return [localShowFlags](const QString& folder, std::vector<LocalItem>* items,
                            QStringList* skipped) {
        const LocalListing listing = ListLocalFolderForUpload(folder, localShowFlags);
        if (!listing.ok)
            return false;
        for (const LocalEntry& e : listing.entries)
            items->push_back({e.name, e.kind == QLatin1Char('d'), e.size});
        *skipped += listing.skipped;
        return true;
    };
}
