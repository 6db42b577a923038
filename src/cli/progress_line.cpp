#include "cli/progress_line.h"

#include "cli/cli_session.h"
#include "platform/format.h"

ProgressLine::ProgressLine(CliSession& cli) : cli_(cli) {
    if (!cli_.printer())
        return;
    // The transfer started last is the one shown, on whichever connection.
    const auto started = [this](const SocketGroup* g, const TransferInfo& info) {
        group_ = g;
        info_ = info;
        started_.start();
        rate_.start(0, info.startOffset);
        lastShown_.invalidate();
    };
    const auto progress = [this](const SocketGroup* g, qint64 position) {
        if (g == group_)
            show(position, false);
    };
    const auto ended = [this](const SocketGroup* g) {
        if (g == group_) {
            group_ = nullptr;
            if (cli_.printer())
                cli_.printer()->endProgress();
        }
    };
    FtpSession& s = cli_.session();
    QObject::connect(&s, &FtpSession::transferStartedSignal, &receiver_, started);
    QObject::connect(&s, &FtpSession::transferProgressSignal, &receiver_, progress);
    QObject::connect(&s, &FtpSession::transferEndedSignal, &receiver_, ended);
    TransferPool& p = cli_.pool();
    QObject::connect(&p, &TransferPool::transferStarted, &receiver_, started);
    QObject::connect(&p, &TransferPool::transferProgress, &receiver_, progress);
    QObject::connect(&p, &TransferPool::transferEnded, &receiver_, ended);
}

void ProgressLine::show(qint64 position, bool force) {
    if (!force && lastShown_.isValid() && lastShown_.elapsed() < 100)
        return;
    lastShown_.start();
    const qint64 ms = started_.elapsed();
    rate_.note(ms, position);
    QString line =
        QString::fromUtf8(info_.fileName) + QStringLiteral("  ") + FormatSizeLong(position);
    if (info_.total > 0)
        line += QStringLiteral("  %1%").arg(position * 100 / info_.total);
    line += QStringLiteral("  ") + FormatSpeed(rate_.bytesPerSecond(ms, position)) +
            QStringLiteral("/s");
    cli_.printer()->progress(line);
}
