// The loops over a scripted server: what goes on the wire, in which order, and
// what their owners are told.
#include "remote/task_status.h"
#include "support/session_harness.h"
#include "workspace/loop_starters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <memory>

using Lines = QList<QByteArray>;

namespace {

QByteArray mlsd(const Lines& files, const Lines& folders = {}) {
    QByteArray out;
    for (const QByteArray& n : files)
        out += "type=file;size=12;modify=20240101120000; " + n + "\r\n";
    for (const QByteArray& n : folders)
        out += "type=dir;modify=20240101120000; " + n + "\r\n";
    return out;
}

void serveListing(SessionHarness& h, const QByteArray& listing) {
    h.reply("250 Directory changed\r\n");
    h.serveData(listing, 5100);
}

struct CaseOwner : QObject, ChangeCaseOwner {
    QStringList events;
    void caseRenamed(const CaseRename& r, bool success) override {
        events << QStringLiteral("%1 %2 -> %3%4")
                      .arg(QString::fromUtf8(r.folder), QString::fromUtf8(r.oldName),
                           QString::fromUtf8(r.newName), success ? "" : " failed");
    }
    void caseClash(const CaseRename& r) override {
        events << QStringLiteral("clash %1").arg(QString::fromUtf8(r.oldName));
    }
};

ChangeCaseOptions upper(quint8 bits) {
    return {ChangeCaseOptions::Upper, bits};
}

constexpr quint8 kFile = ChangeCaseOptions::File;
constexpr quint8 kFolder = ChangeCaseOptions::Folder;
constexpr quint8 kSub = ChangeCaseOptions::SubFolders;

}  // namespace

TEST(ChangeCaseLoop, RenamesBeforeTheSecondListingAndDescendsIntoTheNewNames) {
    SessionHarness h;
    h.loginIdle();
    auto owner = std::make_unique<CaseOwner>();
    QStringList markers;
    QObject::connect(&h.session, &FtpSession::taskMarker,
                     [&](int kind, int value, const QString& caption, quintptr token) {
                         markers << QStringLiteral("%1 %2 %3 %4")
                                        .arg(kind)
                                        .arg(value)
                                        .arg(caption)
                                        .arg(token == quintptr(owner.get()) ? "owner" : "-");
                     });
    const int before = int(h.sent().size());
    LoopStarters starters(h.engine);
    ASSERT_TRUE(starters.startChangeCase("/site", upper(kFile | kFolder | kSub),
                                         {owner.get(), owner.get()}));
    serveListing(h, mlsd({"ReadMe.TXT", "123.TXT"}, {"Img", "DOCS"}));
    h.reply("350 Ready\r\n");
    h.reply("250 Renamed\r\n");
    h.reply("350 Ready\r\n");
    h.reply("250 Renamed\r\n");
    serveListing(h, mlsd({"README.TXT", "123.TXT"}, {"IMG", "DOCS"}));
    serveListing(h, mlsd({}));
    serveListing(h, mlsd({"a.gif"}));
    h.reply("350 Ready\r\n");
    h.reply("550 Permission denied\r\n");

    EXPECT_EQ(h.sentSince(before),
              (Lines{"CWD /site", "PASV", "MLSD", "RNFR Img", "RNTO IMG", "RNFR ReadMe.TXT",
                     "RNTO README.TXT", "CWD /site", "PASV", "MLSD", "CWD /site/DOCS", "PASV",
                     "MLSD", "CWD /site/IMG", "PASV", "MLSD", "RNFR a.gif", "RNTO A.GIF"}));
    EXPECT_EQ(owner->events, (QStringList{"/site Img -> IMG", "/site ReadMe.TXT -> README.TXT",
                                          "/site/IMG a.gif -> A.GIF failed"}));
    EXPECT_EQ(markers,
              (QStringList{"1 0 Start changing case -", "2 5 Changing case completed owner"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(ChangeCaseLoop, AStoppedRunStillListsTheShownFolderItRenamedIn) {
    SessionHarness h;
    h.loginIdle();
    h.engine.setShownFolders([](const QByteArray& folder) { return folder == "/site"; });
    TaskStatus status;
    status.connectTo(h.session);
    CaseOwner owner;
    LoopStarters starters(h.engine);
    ASSERT_TRUE(starters.startChangeCase("/site", upper(kFile | kFolder | kSub), {&owner, &owner}));
    serveListing(h, mlsd({"a.txt", "b.txt"}, {"Img"}));
    const int before = int(h.sent().size());
    h.reply("350 Ready\r\n");
    // Stopped with one rename on the wire: it finishes, the others are
    // dropped, and the folder is listed so the views show what changed.
    starters.stop(quintptr(&owner));
    h.reply("250 Renamed\r\n");
    serveListing(h, mlsd({"a.txt", "b.txt"}, {"IMG"}));
    EXPECT_EQ(h.sentSince(before), (Lines{"RNTO IMG", "CWD /site", "PASV", "MLSD"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(status.displayText().toStdString(), "Changing case stopped");
}

TEST(ChangeCaseLoop, WhatIsSentForEachListing) {
    struct Case {
        const char* what;
        ChangeCaseOptions options;
        QByteArray listing;
        Lines sent;  // after the first listing
        QStringList events;
    };
    const Case cases[] = {
        {"nothing to change: lower case, no capital letter",
         {ChangeCaseOptions::Lower, kFile},
         mlsd({"123.txt", "readme"}),
         {},
         {}},
        {"target taken: logged, nothing renamed over it",
         upper(kFile),
         mlsd({"readme", "README", "Other"}),
         {"RNFR Other", "RNTO OTHER"},
         {"clash readme", "/f Other -> OTHER"}},
        {"two names becoming one: only the first goes",
         upper(kFile),
         mlsd({"aB", "Ab"}),
         {"RNFR aB", "RNTO AB"},
         {"clash Ab", "/f aB -> AB"}},
        {"non-ASCII letters keep their case",
         upper(kFile),
         mlsd({"\xc3\xa9t\xc3\xa9.html"}),
         {"RNFR \xc3\xa9t\xc3\xa9.html", "RNTO \xc3\xa9T\xc3\xa9.HTML"},
         {QString::fromUtf8("/f \xc3\xa9t\xc3\xa9.html -> \xc3\xa9T\xc3\xa9.HTML")}},
        {"folders off, sub-folders on: entered directly under the old name",
         upper(kFile | kSub),
         mlsd({}, {"Img"}),
         {"CWD /f/Img", "PASV", "MLSD"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionHarness h;
        h.loginIdle();
        CaseOwner owner;
        LoopStarters(h.engine).startChangeCase("/f", c.options, {&owner, &owner});
        const int before = int(h.sent().size());
        serveListing(h, c.listing);
        for (const QByteArray& line : c.sent) {
            if (line.startsWith("RNFR"))
                h.reply("350 Ready\r\n");
            else if (line.startsWith("RNTO"))
                h.reply("250 Renamed\r\n");
        }
        if (!c.sent.isEmpty() && c.sent.first() == "CWD /f/Img")
            serveListing(h, mlsd({}));
        EXPECT_EQ(h.sentSince(before), (Lines{"PASV", "MLSD"} + c.sent));
        EXPECT_EQ(owner.events, c.events);
        EXPECT_TRUE(h.session.queue().isEmpty());
    }
}

namespace {

struct FindOwner : QObject, SearchOwner {
    QStringList rows;
    int steps = 0;
    bool searchResult(const SearchRow& row) override {
        rows << QStringLiteral("%1 %2 %3")
                    .arg(QString::fromUtf8(row.folder), QString::fromUtf8(row.item.name))
                    .arg(row.matchIndex);
        return true;
    }
    void searchProgressStep() override { ++steps; }
};

QByteArray linkLine(const QByteArray& name) {
    return "type=OS.unix=slink:/s;modify=20240101120000; " + name + "\r\n";
}

}  // namespace

TEST(SearchLoop, AFolderHoldingItselfEndsAtTheDepthLimit) {
    SessionHarness h;
    h.loginIdle();
    FindOwner owner;
    SearchRequest request;
    request.kinds = SearchCriteria::File;
    request.name = "index.*";
    SearchCriteria criteria;
    ASSERT_TRUE(ValidateSearch(request, &criteria).isEmpty());
    ASSERT_TRUE(LoopStarters(h.engine).startSearch("/s", criteria, {&owner, &owner}));
    const QByteArray listing = mlsd({"index.html", "index.php", "other.txt"}) + linkLine("loop");
    QByteArray folder = "/s";
    for (int level = 0; level <= FolderWalk::kMaxDepth; ++level) {
        ASSERT_EQ(h.sent().last(), "CWD " + folder) << level;
        serveListing(h, listing);
        folder += "/loop";
    }
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(owner.rows.size(), 2 * (FolderWalk::kMaxDepth + 1));
    EXPECT_EQ(owner.rows[0], "/s index.html 0");
    EXPECT_EQ(owner.rows[1], "/s index.php 1");
    EXPECT_EQ(owner.steps, 4 * (FolderWalk::kMaxDepth + 1));
    const QStringList errors = h.texts(LogChannel::Error);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Not entered, 64 levels below the start folder: /s/loop"))
        << errors[0].toStdString();
}

TEST(SearchLoop, StopDropsTheQueuedFoldersAndAClosedOwnerGetsNothing) {
    SessionHarness h;
    h.loginIdle();
    auto owner = std::make_unique<FindOwner>();
    SearchRequest request;
    request.kinds = SearchCriteria::AllKinds;
    request.name = "*a*";
    SearchCriteria criteria;
    ASSERT_TRUE(ValidateSearch(request, &criteria).isEmpty());
    QList<quintptr> ended;
    QObject::connect(&h.session, &FtpSession::taskMarker,
                     [&](int kind, int value, const QString&, quintptr token) {
                         if (kind == 2 && value == 5)
                             ended << token;
                     });
    LoopStarters starters(h.engine);
    ASSERT_TRUE(starters.startSearch("/s", criteria, {owner.get(), owner.get()}));
    EXPECT_FALSE(starters.startSearch("/s", criteria, {owner.get(), owner.get()}))
        << "the session is busy";
    serveListing(h, mlsd({"a1"}, {"a", "b"}));
    EXPECT_EQ(owner->rows, (QStringList{"/s a 0", "/s a1 1"}));
    // /s/a is on the wire; /s/b waits.
    starters.stop(quintptr(owner.get()));
    owner.reset();
    serveListing(h, mlsd({"a2"}, {"deeper"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(ended.size(), 1) << "the end still arrives";
}

namespace {

struct DiffOwner : QObject, CompareOwner {
    QStringList results;
    bool compareResult(const FolderCompareResult& r) override {
        QStringList names;
        for (const CompareItem& i : r.items)
            names << i.name();
        results << QString::fromUtf8(r.relativePath) + ": " + names.join(',');
        return true;
    }
};

}  // namespace

TEST(CompareLoop, WalksFoldersPresentOnBothSidesInResultOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // "B" pairs with the server's "b" (case ignored) and is read as spelt here.
    for (const char* path : {"B/x", "a/y", "only-local"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(path));
    SessionHarness h;
    h.loginIdle();
    DiffOwner owner;
    CompareParams params{dir.path(), "/www", CompareOptions::SubFolders, ""};
    const int before = int(h.sent().size());
    ASSERT_TRUE(LoopStarters(h.engine).startCompare(params, {&owner, &owner}));
    // Files of its own on the server are no difference.
    serveListing(h, mlsd({"remote.txt", ".velmora-deploy", ".r.txt.velmora-upload"}, {"a", "b"}));
    serveListing(h, mlsd({}, {"y"}));  // /www/a
    serveListing(h, mlsd({}, {}));     // /www/a/y
    serveListing(h, mlsd({}, {}));     // /www/b
    EXPECT_TRUE(h.session.queue().isEmpty());
    EXPECT_EQ(h.sentSince(before),
              (Lines{"CWD /www", "PASV", "MLSD", "CWD /www/a", "PASV", "MLSD", "CWD /www/a/y",
                     "PASV", "MLSD", "CWD /www/b", "PASV", "MLSD"}));
    EXPECT_EQ(owner.results, (QStringList{": a,b,only-local,remote.txt", "a: y", "a/y: ", "b: x"}));
}

TEST(ChangeCaseLoop, PreviewQuestionCountsWhatChangesAndWhatStays) {
    struct Case {
        int planned, taken;
        const char* question;
    };
    const Case cases[] = {
        {1, 0, "Rename the item as listed?"},
        {3, 0, "Rename the 3 items as listed?"},
        {1, 1, "Rename the item as listed?\n\nOne item keeps its name: its new name is taken."},
        {2, 5,
         "Rename the 2 items as listed?\n\n5 items keep their names: their new names are taken."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangeCaseQuestion(c.planned, c.taken), QString::fromLatin1(c.question));
    const CaseRename r{"/w", '-', "a.txt", "A.TXT"};
    EXPECT_EQ(CaseRowNewNameText(r, CaseRowMark::Planned), "A.TXT");
    EXPECT_EQ(CaseRowNewNameText(r, CaseRowMark::Taken), "A.TXT  (taken: not renamed)");
}
