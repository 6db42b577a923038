#include "session/checksum_step.h"

#include "session/command_group.h"
#include "session/command_step.h"

bool ChecksumStep::plan(GroupHost* host) {
    ServerFeatures* f = host ? host->serverFeatures() : nullptr;
    hash_ = f ? f->hashCommand() : HashCommand();
    if (!hash_.command.isEmpty())
        return true;
    if (f && !f->noHashReported && host) {
        f->noHashReported = true;
        // A notice, not a failure: the files themselves arrive as they should.
        host->log(LogChannel::Status,
                  QStringLiteral("The server offers no checksum command (HASH, XSHA256, XSHA1, "
                                 "XMD5, XCRC): transfers are not verified"));
    }
    return false;
}

bool ChecksumStep::asks(const CommandStep& step) const {
    return !hash_.command.isEmpty() && step.nameIs(hash_.command.constData());
}

void ChecksumStep::takeReply(const CommandStep& step, const Reply& reply) {
    const int code = reply.code();
    if (!asks(step) || code < 200 || code >= 300 || check.answered())
        return;
    check.takeReply(reply, hash_);
    awaiting_ = true;
}

bool ChecksumStep::judge(const QString& what, QString* failure) {
    const ContentCheck::Verdict v = check.verdict();
    if (v == ContentCheck::Verdict::Waiting)
        return false;
    awaiting_ = false;
    if (v == ContentCheck::Verdict::Match)
        return false;
    *failure = QStringLiteral("%1, %2: %3")
                   .arg(v == ContentCheck::Verdict::Mismatch ? QStringLiteral("Checksum differs")
                                                             : QStringLiteral("Not verified"),
                        what, check.why());
    return true;
}
