#include "session/user_listing_group.h"

void UserListingGroup::onDataEvent(SocketEvent event) {
    if (event != SocketEvent::Read && event != SocketEvent::Close)
        return;
    QByteArray chunk;
    receiveAll(&chunk);
    if (collected_.size() < kMaxBytes)
        collected_.append(chunk.left(kMaxBytes - collected_.size()));
    if (event != SocketEvent::Close)
        return;
    const bool listed =
        hasSentStepNamed("LIST") || hasSentStepNamed("MLSD") || hasSentStepNamed("NLST");
    GroupHost* h = host();
    if (!listed || !h)
        return;
    if (purpose == ListingPurpose::User || h->showActiveServerFiles()) {
        QByteArray text = collected_;
        text.replace('\r', ' ');
        h->info(0, QString::fromUtf8(text));
    }
}
