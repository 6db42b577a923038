#include "session/direct_upload_group.h"

#include <utility>

DirectUploadGroup::DirectUploadGroup(TransferInfo info, QByteArray content, const StepList& steps)
    : SendingGroup(steps), info_(std::move(info)), content_(std::move(content)) {
    info_.socketKind = int(SocketKind::DirectUpload);
    info_.total = content_.size();
    data().text = info_.remoteFolder;
}

DirectUploadGroup::~DirectUploadGroup() {
    announceEnd();
}

void DirectUploadGroup::onAttached() {
    announceStart(info_);
}

void DirectUploadGroup::onFinished(bool success) {
    if (auto report = std::exchange(onResult, nullptr))
        report(info_, position_, success && position_ == content_.size());
}

void DirectUploadGroup::sendMore() {
    if (data().dataClosed || !data().socket)
        return;
    if (!sentAnything_) {
        sentAnything_ = true;
        reportSent(0, true);
    }
    while (position_ < content_.size()) {
        const qint64 n =
            data().socket->send(content_.constData() + position_, content_.size() - position_);
        if (n <= 0) {
            data().socket->setWritable(false);
            return;
        }
        position_ += n;
        reportSent(position_);
    }
    finishData();
}
