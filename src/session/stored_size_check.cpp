#include "session/stored_size_check.h"

#include "platform/format.h"

void StoredSizeCheck::hold(TransferResult result) {
    // The result must not keep its own check alive.
    result.info.publish.sizeCheck.reset();
    if (settled_) {
        if (announce_)
            announce_(result);
        return;
    }
    held_.push_back(std::move(result));
}

QStringList StoredSizeCheck::settle(const ListedSize& listed, QStringList* unlisted) {
    QStringList failures;
    std::vector<TransferResult> held;
    held.swap(held_);
    settled_ = true;
    for (TransferResult& r : held) {
        QByteArray path = r.info.remoteFolder;
        if (!path.endsWith('/'))
            path += '/';
        const QString shown = QString::fromUtf8(path + r.info.fileName);
        const std::optional<qint64> size = listed(r.info.fileName);
        const qint64 expected = r.info.total;
        if (!size) {
            // A listing that hides the name tells nothing, as a refused SIZE.
            if (unlisted)
                unlisted->append(shown);
        } else if (expected >= 0 && *size != expected) {
            r.success = false;
            r.error = QStringLiteral(
                          "Upload of %1 failed: the server's file has %2 bytes, the local one %3")
                          .arg(shown, FormatGrouped(quint64(qMax<qint64>(*size, 0))),
                               FormatGrouped(quint64(expected)));
            failures.append(r.error);
        }
        if (announce_)
            announce_(r);
    }
    return failures;
}

void StoredSizeCheck::release() {
    std::vector<TransferResult> held;
    held.swap(held_);
    settled_ = true;
    for (const TransferResult& r : held)
        if (announce_)
            announce_(r);
}
