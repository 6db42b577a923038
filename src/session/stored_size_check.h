#pragma once

#include "session/transfer_info.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The sizes of the files that direct uploads stored in one folder, checked by
// one listing of the folder after them instead of a SIZE after each file: a
// server that kept less than it was sent has not stored the file. The
// uploads' results wait here until the listing has judged them, so none is
// told as done before it is known to be whole.
class StoredSizeCheck {
public:
    using Announce = std::function<void(const TransferResult&)>;
    // The listed size of a file of the folder; nothing when it is not listed
    // as a file.
    using ListedSize = std::function<std::optional<qint64>(const QByteArray& name)>;

    explicit StoredSizeCheck(Announce announce) : announce_(std::move(announce)) {}
    ~StoredSizeCheck() { release(); }
    StoredSizeCheck(const StoredSizeCheck&) = delete;
    StoredSizeCheck& operator=(const StoredSizeCheck&) = delete;

    // A successful upload into the folder; told at once once the check is over.
    void hold(TransferResult result);
    // The folder's listing: an upload held fails when its file is listed with
    // another size than the local one. Tells them all; returns the failures'
    // texts, and in `unlisted` the files the listing does not show (trusted,
    // as when the server will not answer SIZE).
    QStringList settle(const ListedSize& listed, QStringList* unlisted = nullptr);
    // No listing will come (it failed or was taken out): what is held is told
    // as the server confirmed it.
    void release();
    bool settled() const { return settled_; }

private:
    Announce announce_;
    std::vector<TransferResult> held_;
    bool settled_ = false;
};
