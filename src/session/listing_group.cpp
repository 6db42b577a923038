#include "session/listing_group.h"

bool ListingGroup::usesListCommand() const {
    for (const CommandStep& s : steps())
        if (s.nameIs("LIST"))
            return true;
    return false;
}

int ListingGroup::listingStepIndex() const {
    for (int i = 0; i < steps().size(); ++i)
        if (steps()[i].nameIs("LIST") || steps()[i].nameIs("MLSD"))
            return i;
    return -1;
}

void ListingGroup::collect() {
    if (overflow_) {
        QByteArray discard;
        receiveAll(&discard);
        return;
    }
    receiveAll(&collected_);
    if (collected_.size() > kMaxListingBytes) {
        overflow_ = true;
        collected_.truncate(collected_.lastIndexOf('\n') + 1);
        if (GroupHost* h = host())
            h->log(LogChannel::Error,
                   QStringLiteral("Listing of %1 is too large, the rest is ignored")
                       .arg(QString::fromUtf8(folder)));
    }
}

void ListingGroup::onDataEvent(SocketEvent event) {
    if (event == SocketEvent::Read) {
        collect();
    } else if (event == SocketEvent::Close) {
        collect();
        if (!finished) {
            finished = true;
            processListing(collected_);
            collected_.clear();
        }
    }
}
