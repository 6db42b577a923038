#include "session/sending_group.h"

#include "platform/format.h"
#include "session/reply.h"

bool SendingGroup::storeSent() const {
    for (const CommandStep& s : steps())
        if (s.sent && (s.nameIs("STOR") || s.nameIs("APPE")))
            return true;
    return false;
}

QString SendingGroup::prepareToSend() {
    const QString refusal = SocketGroup::prepareToSend();
    if (!refusal.isEmpty())
        return refusal;
    GroupHost* h = host();
    if (h && h->checksStoredSize() && !steps().isEmpty() && steps().last().nameIs("STOR"))
        addStep("SIZE", steps().last().argument);
    return {};
}

void SendingGroup::replyArrived(const Reply& reply) {
    const int last = lastSentIndex();
    if (last < 0 || !steps()[last].nameIs("SIZE"))
        return;
    if (reply.code() != 213 || !storedSizeError_.isEmpty())
        return;
    const qint64 expected = storedSizeExpected();
    const QByteArray value = reply.strippedLines().isEmpty()
                                 ? QByteArray()
                                 : reply.strippedLines().last().mid(3).trimmed();
    bool ok = false;
    const qint64 stored = value.toLongLong(&ok);
    if (expected < 0 || (ok && stored == expected))
        return;
    storedSizeError_ =
        QStringLiteral("Upload of %1 failed: the server's file has %2 bytes, the local one %3")
            .arg(displayText(data().text + (data().text.endsWith('/') ? "" : "/") +
                             steps()[last].argument),
                 ok ? FormatGrouped(quint64(qMax<qint64>(stored, 0))) : displayText(value),
                 FormatGrouped(quint64(expected)));
    if (GroupHost* h = host())
        h->reportFailure(storedSizeError_);
}
