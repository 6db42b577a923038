#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "session/control_socket.h"
#include "session/reply_assembler.h"

#include <QCoreApplication>

#include <memory>

namespace {

// The server's side of the control connection: hands out one delivery at a
// time, in pieces as small as the reader asks for.
class DeliveryTransport : public Transport {
public:
    QByteArray pending;

    bool connectToHost(const QString&, quint16) override { return true; }
    qint64 send(const char*, qint64 size) override { return size; }
    qint64 receive(char* buffer, qint64 maxSize) override {
        const qint64 n = qMin<qint64>(maxSize, pending.size());
        std::memcpy(buffer, pending.constData(), size_t(n));
        pending.remove(0, n);
        return n;
    }
    qint64 bytesAvailable() const override { return pending.size(); }
    void close(bool) override {}
    QString peerAddress() const override { return QStringLiteral("127.0.0.1"); }
};

class DeliveryFactory : public TransportFactory {
public:
    DeliveryTransport* last = nullptr;
    std::unique_ptr<Transport> create() override {
        auto t = std::make_unique<DeliveryTransport>();
        last = t.get();
        return t;
    }
};

qsizetype digitRun(const QByteArray& line) {
    qsizetype n = 0;
    while (n < line.size() && line[n] >= '0' && line[n] <= '9')
        ++n;
    return n;
}

// What every reply the assembler hands out must look like.
void checkReply(const Reply& r) {
    FUZZ_CHECK(r.complete);
    FUZZ_CHECK(!r.lines.isEmpty());
    FUZZ_CHECK(r.lines.size() <= ReplyAssembler::kMaxReplyLines + 1);
    const QByteArray& first = r.lines.first();
    // The code is the leading digits of the first line, nothing else.
    FUZZ_CHECK(r.codeText == first.left(digitRun(first)));
    switch (r.errorKind) {
        case Reply::NoNumber:
            FUZZ_CHECK(r.codeText.isEmpty() && r.lines.size() == 1);
            FUZZ_CHECK(r.code() == -1);
            return;
        case Reply::NumberMismatch:
            FUZZ_CHECK(!r.codeText.isEmpty());
            break;
        case Reply::WellFormed: {
            FUZZ_CHECK(!r.codeText.isEmpty());
            // Closed by its own number and a blank.
            const QByteArray& last = r.lines.last();
            FUZZ_CHECK(last.startsWith(r.codeText + ' '));
            FUZZ_CHECK(digitRun(last) == r.codeText.size());
            break;
        }
        default:
            FUZZ_CHECK(false);
    }
    // Numbered lines inside the reply carry its own number and do not close it.
    for (qsizetype i = 1; i + 1 < r.lines.size(); ++i) {
        const QByteArray& line = r.lines[i];
        const qsizetype d = digitRun(line);
        if (d > 0) {
            FUZZ_CHECK(line.left(d) == r.codeText);
            FUZZ_CHECK(d == line.size() || line[d] != ' ');
        }
    }
    const int code = r.code();
    FUZZ_CHECK(code >= 0 && code <= 999999999);
}

void checkReplies(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    DeliveryFactory factory;
    ControlSocket socket(&factory);
    if (!socket.open(QStringLiteral("h"), 21) || !factory.last)
        return;
    ReplyAssembler assembler;
    QByteArray fed;      // every line handed to the assembler, in order
    QByteArray emitted;  // every line of every reply handed out, in order
    bool stopped = false;
    const auto takeReplies = [&] {
        for (const Reply& r : assembler.takeComplete()) {
            checkReply(r);
            // Nothing is handed out twice or made up: the lines come out as
            // they went in.
            for (const QByteArray& line : r.lines) {
                FUZZ_CHECK(QByteArrayView(fed).sliced(emitted.size()).startsWith(line));
                emitted += line;
            }
        }
    };
    while (in.remaining() > 0 && !stopped) {
        const size_t length = in.byte();
        factory.last->pending = in.take(length == 0 ? 4096 : length);
        QList<QByteArray> lines;
        const bool ok = socket.readLines(&lines);
        for (const QByteArray& line : lines) {
            FUZZ_CHECK(line.endsWith('\n') && line.indexOf('\n') == line.size() - 1);
            fed += line;
            assembler.feed(line);
        }
        // The session closes the connection on either of these.
        if (assembler.overflowed() || !ok)
            stopped = true;
        takeReplies();
    }
    if (stopped)
        return;
    // A numbered line with a blank ends whatever is open: then every line fed
    // must have come out, none lost.
    const QByteArray closing = "1 end\n";
    fed += closing;
    assembler.feed(closing);
    takeReplies();
    FUZZ_CHECK(emitted == fed);
}

}  // namespace

// Input: deliveries, each a length byte and that many bytes, as the server's
// packets would arrive; the lines are cut and assembled as the session does.
int fuzzReplyAssembler(const uint8_t* data, size_t size) {
    checkReplies(data, size);
    // The socket hands its transport to deleteLater; without an event loop the
    // transport would pile up from one input to the next.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
