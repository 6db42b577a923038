#include "remote/transfer_decision.h"

static TransferDecision whole() {
    return {TransferDecision::Whole, 0};
}
static TransferDecision skip() {
    return {TransferDecision::Skip, 0};
}

static TransferDecision resumeFrom(qint64 offset, bool restSupported) {
    // Without REST the server can only take or give the whole file.
    return restSupported ? TransferDecision{TransferDecision::Resume, offset} : whole();
}

TransferDecision decideDownload(const TransferAlertOptions& options, bool targetExists,
                                qint64 localSize, qint64 remoteSize, bool restSupported) {
    const qint64 L = targetExists ? localSize : 0;
    const qint64 R = remoteSize;
    switch (options.fileAction) {
        case TransferAlertOptions::OverwriteAlways:
            return whole();
        case TransferAlertOptions::SkipIfExists:
            // A file that is not there yet is fetched: there is nothing to skip.
            return targetExists ? skip() : whole();
        case TransferAlertOptions::Resume:
            if (L == 0)
                return whole();
            if (L == R)
                return skip();
            if (L < R)
                return resumeFrom(L, restSupported);
            return options.ifLarger == TransferAlertOptions::Skip ? skip() : whole();
        case TransferAlertOptions::OverwriteIfDifferent:
        default:
            return L != R || !targetExists ? whole() : skip();
    }
}

TransferDecision decideUpload(const TransferAlertOptions& options, bool targetExists,
                              qint64 localSize, qint64 remoteSize, bool restSupported) {
    if (!targetExists)
        return whole();
    const qint64 L = localSize;
    const qint64 R = remoteSize;
    switch (options.fileAction) {
        case TransferAlertOptions::OverwriteAlways:
            return whole();
        case TransferAlertOptions::SkipIfExists:
            return skip();
        case TransferAlertOptions::Resume:
            if (R == 0)
                return whole();
            if (L == R)
                return skip();
            if (L > R)
                return resumeFrom(R, restSupported);
            return options.ifLarger == TransferAlertOptions::Skip ? skip() : whole();
        case TransferAlertOptions::OverwriteIfDifferent:
        default:
            return L == R ? skip() : whole();
    }
}

QString SkippedFilesText(int count, const QString& folder) {
    return count == 1 ? QStringLiteral(
                            "1 file in %1 was skipped: it is there already, and the "
                            "file action leaves it")
                            .arg(folder)
                      : QStringLiteral(
                            "%1 files in %2 were skipped: they are there already, and "
                            "the file action leaves them")
                            .arg(count)
                            .arg(folder);
}
