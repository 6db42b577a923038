// Times a large Unix listing on its way to the remote list: parsing and
// sorting, then filling the explorer's tree and list and painting it once,
// then scrolling and selecting in it. Prints one figure per line.
//
//   listing_bench [--lines N] [--keep FILE]
//   listing_bench --lines N --write FILE     (only writes the listing)
//
// Exit status 0 when every goal is met, 2 when one is missed.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTextStream>

#include <cstdio>
#include <ctime>

#include "platform/help_viewer.h"
#include "platform/prompter.h"
#include "platform/ui/explorer_host.h"
#include "remote/action_engine.h"
#include "remote/remote_item_list.h"
#include "remote/remote_list_columns.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "remote/ui/remote_list_model.h"
#include "session/ftp_session.h"
#include "session/tcp_transport.h"

namespace {

class QuietHost : public ExplorerHost, public Prompter, public HelpViewer {
public:
    bool askYesNo(const QString&) override { return false; }
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::Cancel; }
    void showMessage(const QString&) override {}
    void showTopic(const QString&) override {}
    Prompter& prompter() override { return *this; }
    HelpViewer& help() override { return *this; }
    QString localProjectFolder() const override { return {}; }
    QString remoteProjectFolder() const override { return {}; }
    void storeLocalProjectFolder(const QString&) override {}
    void storeRemoteProjectFolder(const QString&) override {}
    void storeConcernedFile(const QString&) override {}
    void fillViewEditMenu(QMenu*, bool, bool, const QString&) override {}
    QString httpAddress(const QString&) const override { return {}; }
    bool loopAvailable(Loop) const override { return false; }
    void startLoop(Loop, const QByteArray&) override {}
};

// Names with blanks, mixed case, UTF-8 and a few folders and links, in no
// particular order, as ls -l writes them.
QByteArray MakeListing(int lines) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QByteArray text;
    text.reserve(qsizetype(lines) * 72);
    text += "total " + QByteArray::number(lines * 4) + "\r\n";
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xffffff;
    };
    for (int i = 0; i < lines; ++i) {
        const quint32 r = next();
        const int kind = r % 50;
        QByteArray name = (r & 1 ? "File_" : "file ") + QByteArray::number(next() % 1000000);
        if (r % 7 == 0)
            name += " caf\xc3\xa9";
        if (kind == 0) {
            text += "drwxr-xr-x   2 user  group      4096 ";
        } else if (kind == 1) {
            text += "lrwxrwxrwx   1 user  group        12 ";
        } else {
            text += "-rw-r--r--   1 user  group  ";
            text += QByteArray::number(next() % 100000000).rightJustified(8);
            text += ' ';
            name += ".txt";
        }
        text += months[r % 12];
        text += r & 2 ? " 12 10:15 " : " 3  2021 ";
        text += name;
        if (kind == 1)
            text += " -> /target/" + QByteArray::number(i);
        text += "\r\n";
    }
    return text;
}

// CPU time of this process: on a shared machine wall time mostly measures the
// other processes.
qint64 CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

qint64 PeakRssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int lines = 100000;
    QString keep;
    bool writeOnly = false;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--lines")) {
            lines = args[i + 1].toInt();
        } else if (args[i] == QLatin1String("--keep") || args[i] == QLatin1String("--write")) {
            keep = args[i + 1];
            writeOnly = args[i] == QLatin1String("--write");
        }
    }
    const QByteArray listing = MakeListing(lines);
    if (!keep.isEmpty()) {
        QFile out(keep);
        if (!out.open(QIODevice::WriteOnly) || out.write(listing) != listing.size()) {
            std::fprintf(stderr, "can not write %s\n", qPrintable(keep));
            return 1;
        }
    }
    if (writeOnly)
        return 0;
    const qint64 rssBefore = PeakRssKb();

    QElapsedTimer clock;
    clock.start();
    qint64 cpu = CpuMs();
    RemoteItemList items;
    items.parse(listing, true);
    const qint64 parseWallMs = clock.elapsed();
    const qint64 parseMs = CpuMs() - cpu;

    TcpTransportFactory transports;
    FtpSession session(&transports);
    ActionEngine engine(session);
    QuietHost host;
    RemoteExplorer explorer(engine, session, host, RemoteExplorer::Role::Normal);
    explorer.resize(1200, 800);
    explorer.show();
    app.processEvents();

    // What the engine does when a listing of the shown folder is processed:
    // hand it on; then paint once.
    clock.restart();
    cpu = CpuMs();
    engine.announceRoot("/big", items);
    explorer.listView()->viewport()->repaint();
    app.processEvents();
    const qint64 showWallMs = clock.elapsed();
    const qint64 showMs = CpuMs() - cpu;
    const int rows = explorer.listModel()->rowCount();

    // Scrolling page by page through the first 200 pages, and select all.
    QScrollBar* bar = explorer.listView()->verticalScrollBar();
    qint64 worstScroll = 0;
    for (int page = 0; page < 200; ++page) {
        clock.restart();
        bar->setValue(bar->value() + bar->pageStep());
        explorer.listView()->viewport()->repaint();
        worstScroll = qMax(worstScroll, clock.elapsed());
    }
    clock.restart();
    bar->setValue(bar->maximum());
    explorer.listView()->viewport()->repaint();
    worstScroll = qMax(worstScroll, clock.elapsed());
    clock.restart();
    explorer.listView()->selectAll();
    explorer.listView()->viewport()->repaint();
    const qint64 selectMs = clock.elapsed();

    // Header clicks: every column sorted up and down, one row selected (the
    // selection follows its entry), and painted.
    explorer.listView()->clearSelection();
    explorer.listView()->setCurrentIndex(explorer.listModel()->index(rows / 2, 0));
    qint64 worstSort = 0;
    for (int column = 1; column <= kRemoteListColumnCount; ++column) {
        for (const bool descending : {false, true}) {
            clock.restart();
            explorer.setListSort({column % kRemoteListColumnCount, descending});
            explorer.listView()->viewport()->repaint();
            worstSort = qMax(worstSort, clock.elapsed());
        }
    }
    const qint64 rssAfter = PeakRssKb();
    const qint64 memoryMb = (rssAfter - rssBefore) / 1024;

    const bool ok = parseMs < 100 && parseMs + showMs < 300 && memoryMb < 100 && worstScroll < 50 &&
                    selectMs < 100 && worstSort <= 150;
    std::printf("lines                      %d\n", lines);
    std::printf("rows shown                 %d\n", rows);
    std::printf("parse and sort             %lld ms CPU (goal < 100), %lld ms wall\n",
                (long long)parseMs, (long long)parseWallMs);
    std::printf("fill tree + list, paint    %lld ms CPU, %lld ms wall\n", (long long)showMs,
                (long long)showWallMs);
    std::printf("listing to shown list      %lld ms CPU (goal < 300), %lld ms wall\n",
                (long long)(parseMs + showMs), (long long)(parseWallMs + showWallMs));
    std::printf("memory for the listing     %lld MB (goal < 100; peak RSS growth)\n",
                (long long)memoryMb);
    std::printf("worst scroll step          %lld ms (goal < 50)\n", (long long)worstScroll);
    std::printf("select all and paint       %lld ms (goal < 100)\n", (long long)selectMs);
    std::printf("worst sort by a column     %lld ms (goal <= 150)\n", (long long)worstSort);
    std::printf("%s\n", ok ? "all goals met" : "a goal was missed");
    return ok ? 0 : 2;
}
