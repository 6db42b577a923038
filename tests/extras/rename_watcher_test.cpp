#include "extras/rename_watcher.h"

#include <gtest/gtest.h>

namespace {

LogLine sent(const QString& text) {
    LogLine l;
    l.channel = LogChannel::Sent;
    l.text = text;
    return l;
}

LogLine reply(const QByteArray& text) {
    LogLine l;
    l.channel = LogChannel::Reply;
    l.lines = {text};
    l.text = QString::fromUtf8(text);
    return l;
}

}  // namespace

TEST(RenameWatcher, ReportsOnlyRenamesTheServerConfirmed) {
    RenameWatcher w;
    QStringList seen;
    const auto feed = [&](const LogLine& line) {
        if (auto r = w.onLogLine(line))
            seen << r->from + QStringLiteral(" -> ") + r->to;
    };
    // A rename in the folder the session stands in.
    feed(sent("CWD /www/logs"));
    feed(reply("250 OK"));
    feed(sent("RNFR error_log"));
    feed(reply("350 Ready"));
    feed(sent("RNTO old_log"));
    feed(reply("250 Renamed"));
    // A move to another folder.
    feed(sent("RNFR old_log"));
    feed(reply("350 Ready"));
    feed(sent("RNTO /archive/old_log"));
    feed(reply("250 Renamed"));
    // A refused rename and a refused CWD change nothing.
    feed(sent("RNFR a"));
    feed(reply("550 No such file"));
    feed(sent("RNTO b"));
    feed(reply("503 Bad sequence"));
    feed(sent("CWD /nowhere"));
    feed(reply("550 No"));
    feed(sent("RNFR c"));
    feed(reply("350 Ready"));
    feed(sent("RNTO d"));
    feed(reply("553 Not allowed"));
    // PWD tells the folder too.
    feed(sent("PWD"));
    feed(reply("257 \"/home/u\" is the current directory"));
    feed(sent("RNFR x"));
    feed(reply("350 Ready"));
    feed(sent("RNTO y"));
    feed(reply("250 Renamed"));
    EXPECT_EQ(seen,
              (QStringList{"/www/logs/error_log -> /www/logs/old_log",
                           "/www/logs/old_log -> /archive/old_log", "/home/u/x -> /home/u/y"}));
}

TEST(RenameWatcher, FollowsTheFileAndTheFoldersAboveIt) {
    const struct {
        QString path, from, to, expected;
    } cases[] = {
        {"/www/logs/error_log", "/www/logs/error_log", "/www/logs/e.txt", "/www/logs/e.txt"},
        {"/www/logs/error_log", "/www/logs", "/www/log2", "/www/log2/error_log"},
        {"/www/logs/error_log", "/www", "/old/www", "/old/www/logs/error_log"},
        {"/www/logs/error_log", "/www/log", "/www/x", ""},
        {"/www/logs/error_log", "/www/logs/error_log.1", "/a", ""},
        {"", "/a", "/b", ""},
        {"/a", "/a", "/a", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FollowRenamedPath(c.path, c.from, c.to), c.expected)
            << c.path.toStdString() << " " << c.from.toStdString();
}

TEST(RenameWatcher, ResolvesArgumentsAgainstTheFolder) {
    const struct {
        QString folder, argument, expected;
    } cases[] = {
        {"/www/logs", "a", "/www/logs/a"},
        {"/", "a", "/a"},
        {"/www/", "a", "/www/a"},
        // An absolute argument does not join the folder.
        {"/www", "/archive/a", "/archive/a"},
        // Nothing known yet: the session stands in the root.
        {"", "a", "/a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveRemotePath(c.folder, c.argument), c.expected)
            << c.folder.toStdString() << " " << c.argument.toStdString();
}
