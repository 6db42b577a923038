#include "session/direct_download_group.h"

#include "session/reply.h"

DirectDownloadGroup::DirectDownloadGroup(DirectPurpose directPurpose, TransferInfo info,
                                         const StepList& steps)
    : SocketGroup(steps), purpose(directPurpose), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::DirectDownload);
    data().text = info_.remoteFolder;
    size_.listed = info_.total;
}

void DirectDownloadGroup::replyArrived(const Reply& reply) {
    if (reply.code() == 150 && hasSentStepNamed("RETR"))
        size_.announced = TransferSize::announcedIn(reply.lastLine());
}

DirectDownloadGroup::~DirectDownloadGroup() {
    announceEnd();
}

void DirectDownloadGroup::onAttached() {
    announceStart(info_);
}

void DirectDownloadGroup::receive() {
    GroupHost* h = host();
    QByteArray chunk;
    receiveAll(&chunk);
    if (chunk.isEmpty())
        return;
    if (received_ == 0 && h)
        h->transferProgress(this, 0);
    received_ += chunk.size();
    if (purpose != DirectPurpose::Stream)
        content_.append(chunk);
    if (h) {
        h->directData(purpose, info_.remoteFolder, info_.fileName, chunk);
        h->transferProgress(this, received_);
    }
}

void DirectDownloadGroup::onDataEvent(SocketEvent event) {
    if (event == SocketEvent::Read) {
        if (!hasUnsentStep())
            receive();
    } else if (event == SocketEvent::Close) {
        receive();
        GroupHost* h = host();
        if (!h)
            return;
        const QString shortfall = size_.shortfall(received_, 0, h->binaryTransfers());
        if (!shortfall.isEmpty()) {
            QByteArray path = info_.remoteFolder;
            if (!path.endsWith('/'))
                path += '/';
            h->reportFailure(QStringLiteral("Download of %1 stopped short: %2")
                                 .arg(displayText(path + info_.fileName), shortfall));
            return;
        }
        h->directContent(purpose, info_.remoteFolder, info_.fileName, content_,
                         info_.remoteModified);
    }
}
