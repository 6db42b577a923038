#include "session/reply_assembler.h"

static qsizetype digitRun(const QByteArray& line) {
    qsizetype n = 0;
    while (n < line.size() && line[n] >= '0' && line[n] <= '9')
        ++n;
    return n;
}

bool ReplyAssembler::acceptLine(const QByteArray& line) {
    if (replies_.empty() || replies_.back().complete)
        replies_.emplace_back();
    Reply& r = replies_.back();
    const qsizetype d = digitRun(line);
    const char after = d < line.size() ? line[d] : '\0';
    if (r.lines.isEmpty()) {
        r.lines.append(line);
        if (d == 0) {
            r.errorKind = Reply::NoNumber;
            r.complete = true;
        } else {
            r.codeText = line.left(d);
            r.complete = after == ' ';
        }
        return true;
    }
    if (d == 0) {
        r.lines.append(line);
    } else if (line.left(d) != r.codeText) {
        r.errorKind = Reply::NumberMismatch;
        r.complete = true;
        return false;
    } else {
        r.lines.append(line);
        if (after == ' ')
            r.complete = true;
    }
    if (r.lines.size() > kMaxReplyLines)
        overflowed_ = true;
    return true;
}

void ReplyAssembler::feed(const QByteArray& line) {
    if (!acceptLine(line))
        acceptLine(line);
}

QList<Reply> ReplyAssembler::takeComplete() {
    QList<Reply> out;
    while (!replies_.empty() && replies_.front().complete) {
        out.append(std::move(replies_.front()));
        replies_.pop_front();
    }
    return out;
}

void ReplyAssembler::clear() {
    replies_.clear();
    overflowed_ = false;
}
