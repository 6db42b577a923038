#include "session/direct_download_group.h"

DirectDownloadGroup::DirectDownloadGroup(int directPurpose, TransferInfo info,
                                         const StepList& steps)
    : SocketGroup(steps), purpose(directPurpose), info_(std::move(info)) {
    info_.socketKind = int(SocketKind::DirectDownload);
    data().text = info_.remoteFolder;
}

DirectDownloadGroup::~DirectDownloadGroup() {
    if (reportedStart_ && host())
        host()->transferEnded(this);
}

void DirectDownloadGroup::onAttached() {
    if (!reportedStart_ && host()) {
        reportedStart_ = true;
        host()->transferStarted(this, info_);
    }
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
    if (purpose != 0)
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
        if (GroupHost* h = host())
            h->directContent(purpose, info_.remoteFolder, info_.fileName, content_);
    }
}
