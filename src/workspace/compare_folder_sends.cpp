#include "workspace/compare_folder_sends.h"

void CompareFolderSends::started(const std::vector<QByteArray>& folders) {
    ++inFlight_;
    for (const QByteArray& folder : folders)
        folders_.insert(folder);
}

std::vector<QByteArray> CompareFolderSends::ended(bool clean) {
    if (inFlight_ == 0)
        return {};
    failed_ = failed_ || !clean;
    if (--inFlight_ > 0)
        return {};
    std::vector<QByteArray> settled;
    if (!failed_)
        settled.assign(folders_.cbegin(), folders_.cend());
    folders_.clear();
    failed_ = false;
    return settled;
}

void CompareFolderSends::forget() {
    folders_.clear();
    inFlight_ = 0;
    failed_ = false;
}
