#include "session/direct_download_group.h"
#include "session/listing_group.h"
#include "session/user_listing_group.h"
#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using Lines = QList<QByteArray>;

namespace {

// A loop's listing: owned by a window through a token.
class OwnedListing : public ListingGroup {
public:
    OwnedListing(ActionKind kind, quintptr token, const StepList& steps)
        : ListingGroup(kind, "/loop", steps), token_(token) {}
    quintptr ownerToken() const override { return token_; }
    void clearOwner() override { token_ = 0; }

protected:
    void processListing(const QByteArray&) override {}

private:
    quintptr token_;
};

StepList listing(const QByteArray& folder) {
    return {{"CWD", folder}, {"PASV", {}}, {"LIST", {}}};
}

// Marks the first `sent` steps of a group as sent.
void markSent(CommandGroup& g, int sent) {
    for (int i = 0; i < sent; ++i)
        g.steps()[i].sent = true;
}

}  // namespace

TEST(CommandQueue, ThreeCommandsGoOutOneAtATime) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.session.sendCommand("NOOP");
    h.session.sendCommand("PWD");
    h.session.sendCommand("SYST");
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_EQ(h.session.queue().size(), 3);
    h.reply("200 NOOP ok\r\n");
    EXPECT_EQ(h.sentSince(before), (Lines{"NOOP", "PWD"}));
    h.reply("257 \"/\"\r\n");
    EXPECT_EQ(h.sentSince(before), (Lines{"NOOP", "PWD", "SYST"}));
    h.reply("215 UNIX Type: L8\r\n");
    EXPECT_EQ(h.sentSince(before), (Lines{"NOOP", "PWD", "SYST"}));
    EXPECT_TRUE(h.session.queue().isEmpty());
}

TEST(CommandQueue, AddingToABusyQueueSendsNothing) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.session.sendCommand("NOOP");
    h.session.queue().addCommand("PWD");
    h.session.sendGroup({{"PASV", {}}, {"LIST", {}}});
    h.engine.refresh("/www");
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_EQ(h.session.queue().size(), 4);
}

TEST(CommandQueue, MarkersAreConsumedAndTheNextGroupSentInTheSamePass) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    QStringList events;
    QObject::connect(&h.session, &FtpSession::taskMarker,
                     [&](int kind, int value, const QString& caption, quintptr token) {
                         events << QStringLiteral("marker %1 %2 %3 %4")
                                       .arg(kind)
                                       .arg(value)
                                       .arg(caption)
                                       .arg(token);
                     });
    QObject::connect(&h.session, &FtpSession::downloadToFolder,
                     [&](const QString& folder) { events << "folder " + folder; });
    QObject::connect(&h.session, &FtpSession::logLine, [&](const LogLine& l) {
        if (l.channel == LogChannel::Sent)
            events << "sent " + l.text;
    });
    QSignalSpy idle(&h.session, &FtpSession::idle);

    CommandQueue& q = h.session.queue();
    q.addFakeStart("Start deleting files");
    q.insertDownloadToFolder(q.size(), "/tmp/down");
    q.addCommand("DELE", "a.txt");
    q.addFakeCompleted(3, "Deleting files completed");
    q.addFakeCompleted(5, "Comparing completed", 77);
    h.session.advance(false);
    EXPECT_EQ(events, (QStringList{"marker 1 0 Start deleting files 0", "folder /tmp/down",
                                   "sent DELE a.txt"}));
    EXPECT_EQ(q.size(), 3);

    events.clear();
    h.reply("250 Deleted\r\n");
    EXPECT_EQ(events, (QStringList{"marker 2 3 Deleting files completed 0",
                                   "marker 2 5 Comparing completed 77"}));
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(h.sentSince(before), Lines{"DELE a.txt"});
    EXPECT_EQ(idle.count(), 1);
}

TEST(CommandQueue, AppendedTaskStartsAtOnceWhenIdle) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    QStringList captions;
    QObject::connect(&h.session, &FtpSession::taskMarker,
                     [&](int, int, const QString& caption, quintptr) { captions << caption; });
    std::vector<std::unique_ptr<CommandGroup>> groups;
    groups.push_back(std::make_unique<PureGroup>(StepList{{"CWD", "/www"}, {"DELE", "x"}}));
    h.engine.appendTask("Start deleting files", std::move(groups), "Deleting files completed", 3);
    EXPECT_EQ(captions, QStringList{"Start deleting files"});
    EXPECT_EQ(h.sentSince(before), Lines{"CWD /www"});
    h.reply("250 OK\r\n");
    h.reply("250 Deleted\r\n");
    EXPECT_EQ(captions, (QStringList{"Start deleting files", "Deleting files completed"}));
    EXPECT_EQ(h.sentSince(before), (Lines{"CWD /www", "DELE x"}));
}

struct RemoveHeadCase {
    const char* name;
    QList<QByteArray> answers;  // replies before the removal
    Lines expectedAfterRemoval;
    bool abort;
    bool dataOpened;
};

class RemoveRunningHead : public ::testing::TestWithParam<RemoveHeadCase> {};

TEST_P(RemoveRunningHead, AbortFollowsOnlyAfterPasv) {
    const RemoveHeadCase& c = GetParam();
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.session.sendGroup({{"CWD", "/www"}, {"PASV", {}}, {"LIST", {}}});
    h.session.sendCommand("NOOP");
    for (const QByteArray& a : c.answers)
        h.reply(a);
    const int dataIndex = h.factory.count() - 1;
    ASSERT_EQ(h.factory.count() > 2, c.dataOpened);

    h.session.removeGroup(h.session.queue().head());
    h.settle();
    EXPECT_EQ(h.sentSince(before), c.expectedAfterRemoval);
    if (c.dataOpened) {
        EXPECT_TRUE(h.factory.record(dataIndex).closedByClient);
    }
    if (c.abort) {
        ASSERT_EQ(h.session.queue().size(), 2);
        EXPECT_EQ(h.session.queue().at(0)->steps().first().name, "ABOR");
        // The abort completes and the queue goes on.
        h.reply("226 Abort successful\r\n");
        EXPECT_EQ(h.sent().last(), "NOOP");
    } else {
        EXPECT_EQ(h.session.queue().size(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , RemoveRunningHead,
    ::testing::Values(
        RemoveHeadCase{"beforePasv", {}, {"CWD /www", "NOOP"}, false, false},
        RemoveHeadCase{"afterPasvSent", {"250 OK\r\n"}, {"CWD /www", "PASV", "ABOR"}, true, false},
        RemoveHeadCase{"whileListing",
                       {"250 OK\r\n", SessionHarness::pasv(5001)},
                       {"CWD /www", "PASV", "LIST", "ABOR"},
                       true,
                       true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandQueue, RemovingAWaitingGroupSendsNothing) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    h.session.sendCommand("NOOP");
    h.session.sendCommand("PWD");
    h.session.sendCommand("SYST");
    h.session.removeGroup(h.session.queue().at(1));
    h.settle();
    EXPECT_EQ(h.sentSince(before), Lines{"NOOP"});
    EXPECT_EQ(h.session.queue().size(), 2);
    h.reply("200 NOOP ok\r\n");
    EXPECT_EQ(h.sentSince(before), (Lines{"NOOP", "SYST"}));
}

struct ClearCase {
    const char* name;
    bool runningTransfer;
    Lines expected;
};

class ClearQueue : public ::testing::TestWithParam<ClearCase> {};

TEST_P(ClearQueue, EmptiesTheQueue) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    if (GetParam().runningTransfer) {
        h.session.sendGroup({{"PASV", {}}, {"LIST", {}}});
        h.reply(SessionHarness::pasv(5003));
    } else {
        h.session.sendCommand("NOOP");
    }
    h.session.sendCommand("PWD");
    h.engine.refresh("/a");
    h.session.clearQueue();
    h.settle();
    EXPECT_EQ(h.sentSince(before), GetParam().expected);
    // Only the abort of a running transfer may remain.
    EXPECT_EQ(h.session.queue().size(), GetParam().runningTransfer ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(, ClearQueue,
                         ::testing::Values(ClearCase{"pureHead", false, {"NOOP"}},
                                           ClearCase{
                                               "transferHead", true, {"PASV", "LIST", "ABOR"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandQueue, CancelForOwnerRemovesOnlyItsUnstartedWork) {
    SessionHarness h;
    h.loginIdle();
    const int before = int(h.sent().size());
    CommandQueue& q = h.session.queue();
    const quintptr token = 0x4711;
    // Nothing is on the wire yet: the head itself is the owner's and unsent.
    PureGroup* ownedHead = q.addCommands({{"MKD", "a"}}, token);
    PureGroup* otherOwner = q.addCommands({{"MKD", "b"}}, token + 1);
    PureGroup* noOwner = q.addCommand("MKD", "c");
    q.append(std::make_unique<OwnedListing>(ActionKind::SearchItems, token, listing("/s")));
    auto* refreshWithToken = static_cast<OwnedListing*>(
        q.append(std::make_unique<OwnedListing>(ActionKind::RefreshFolder, token, listing("/r"))));
    PureGroup* ownedTail = q.addCommands({{"RMD", "d"}}, token);
    ASSERT_EQ(q.size(), 6);
    (void)ownedHead;
    (void)ownedTail;

    h.session.cancelForOwner(token);
    ASSERT_EQ(q.size(), 3);
    EXPECT_EQ(q.at(0), otherOwner);
    EXPECT_EQ(q.at(1), noOwner);
    EXPECT_EQ(q.at(2), refreshWithToken);
    // The new head goes out.
    EXPECT_EQ(h.sentSince(before), Lines{"MKD b"});
}

TEST(CommandQueue, CancelForOwnerKeepsStartedWork) {
    SessionHarness h;
    h.loginIdle();
    CommandQueue& q = h.session.queue();
    const quintptr token = 0x4711;
    h.session.queue().addCommands({{"MKD", "a"}}, token);
    h.session.advance(false);  // MKD a is on the wire
    // A loop listing whose LIST went out already only loses its owner.
    auto* started = static_cast<OwnedListing*>(
        q.append(std::make_unique<OwnedListing>(ActionKind::CompareItems, token, listing("/c"))));
    markSent(*started, 3);
    auto* waiting = q.append(
        std::make_unique<OwnedListing>(ActionKind::ChangeCaseRename, token, listing("/w")));
    (void)waiting;
    const int before = int(h.sent().size());

    h.session.cancelForOwner(token);
    ASSERT_EQ(q.size(), 2);
    EXPECT_EQ(q.at(0)->steps().first().wireText(), "MKD a");
    EXPECT_EQ(q.at(1), started);
    EXPECT_EQ(started->ownerToken(), 0u);
    EXPECT_EQ(int(h.sent().size()), before);
}

TEST(CommandQueue, RemoveDirectDownloadTakesOnlyThatPurposeAndFile) {
    SessionHarness h;
    h.loginIdle();
    CommandQueue& q = h.session.queue();
    auto fetch = [&](DirectPurpose purpose, const QByteArray& folder, const QByteArray& name) {
        TransferInfo info;
        info.remoteFolder = folder;
        info.fileName = name;
        return q.append(std::make_unique<DirectDownloadGroup>(
            purpose, info, StepList{{"PASV", {}}, {"RETR", name}}));
    };
    const CommandGroup* head = q.addCommand("NOOP");
    const CommandGroup* kept[] = {fetch(DirectPurpose::ConcernedFile, "/www", "a.txt"),
                                  fetch(DirectPurpose::Viewer, "/www", "b.txt"),
                                  fetch(DirectPurpose::Viewer, "/old", "a.txt")};
    fetch(DirectPurpose::Viewer, "/www", "a.txt");
    ASSERT_EQ(q.findDirectDownload(DirectPurpose::Viewer, "/www", "a.txt"), 4);
    EXPECT_EQ(q.findDirectDownload(DirectPurpose::Stream, "/www", "a.txt"), -1);

    for (int round = 0; round < 2; ++round) {  // the second finds nothing to take
        h.session.removeDirectDownload(DirectPurpose::Viewer, "/www", "a.txt");
        ASSERT_EQ(q.size(), 4);
        EXPECT_EQ(q.at(0), head);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(q.at(i + 1), kept[i]);
    }
}

TEST(CommandQueue, OwnerIsToldWhenItsGroupSucceeds) {
    SessionHarness h;
    h.loginIdle();
    QSignalSpy owners(&h.session, &FtpSession::ownerNotified);
    h.session.queue().addCommands({{"CWD", "/a"}, {"MKD", "x"}}, 42);
    h.session.queue().addCommands({{"MKD", "y"}}, 43);
    h.session.advance(false);
    h.reply("250 OK\r\n");
    h.reply("257 \"/a/x\" created\r\n");
    ASSERT_EQ(owners.count(), 1);
    EXPECT_EQ(owners.at(0).at(0).value<quintptr>(), quintptr(42));
    h.reply("550 exists\r\n");  // a failure is not announced
    EXPECT_EQ(owners.count(), 1);
    EXPECT_TRUE(h.session.queue().isEmpty());
}

struct DescribeCase {
    const char* name;
    Lines steps;
    int sent;
    int marked;
    QByteArray expected;
};

class Describe : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(Describe, NamesSentStepsAndBracesTheRest) {
    const DescribeCase& c = GetParam();
    PureGroup g;
    for (const QByteArray& s : c.steps)
        g.addStep(s, "argument");
    markSent(g, c.sent);
    EXPECT_EQ(CommandQueue::describe(g, c.marked), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    , Describe,
    ::testing::Values(
        DescribeCase{"firstSent", {"CWD", "PASV", "LIST"}, 1, -1, "CWD  {PASV, LIST}"},
        DescribeCase{"twoSent", {"CWD", "PASV", "LIST"}, 2, -1, "CWD, PASV  {LIST}"},
        DescribeCase{"allSent", {"CWD", "PASV", "LIST"}, 3, -1, "CWD, PASV, LIST"},
        DescribeCase{"noneSent", {"CWD", "PASV", "LIST"}, 0, -1, "{CWD, PASV, LIST}"},
        DescribeCase{"markedWithRest", {"CWD", "PASV", "LIST"}, 1, 0, "<CWD>  {PASV, LIST}"},
        DescribeCase{"markedMiddle", {"PASV", "REST", "RETR"}, 3, 1, "PASV, <REST>, RETR"},
        DescribeCase{"markedLast", {"CWD", "DELE"}, 2, 1, "CWD, <DELE>"},
        DescribeCase{"single", {"NOOP"}, 1, -1, "NOOP"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandQueue, MarkerDescribesItsNeverSentStep) {
    FakeGroup f(FakeKind::Start, 0, "Start");
    EXPECT_EQ(CommandQueue::describe(f), "{ACTION}");
}

struct ExpectationCase {
    QByteArray name;
    QList<int> success;
    QList<int> error;
};

class Expectations : public ::testing::TestWithParam<ExpectationCase> {};

TEST_P(Expectations, ComeFromTheExactName) {
    const ReplyExpectation e = CommandStep(GetParam().name, "x").expectation;
    EXPECT_EQ(e.successCodes, GetParam().success);
    EXPECT_EQ(e.errorCodes, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    , Expectations,
    ::testing::Values(ExpectationCase{"RETR", {226}, {500, 550}},
                      ExpectationCase{"LIST", {150, 226}, {0, 0}},
                      ExpectationCase{"STOR", {150, 226}, {425, 426, 450, 451, 452, 552, 553}},
                      ExpectationCase{"SITE CHMOD", {200}, {0}},
                      ExpectationCase{"RNTO", {250}, {451, 550, 553, 503}},
                      ExpectationCase{"USER", {230, 331}, {0}},
                      // Lower case and unknown names expect nothing.
                      ExpectationCase{"list", {}, {}}, ExpectationCase{"SITE", {}, {}},
                      ExpectationCase{"XCWD", {}, {}}));

TEST(CommandQueue, PendingTransferCountsTransfersAndTheirListings) {
    SessionHarness h;
    CommandQueue& q = h.session.queue();
    q.addCommand("NOOP");
    q.append(std::make_unique<OwnedListing>(ActionKind::RefreshFolder, 0, listing("/")));
    q.append(std::make_unique<UserListingGroup>(ListingPurpose::User,
                                                StepList{{"PASV", {}}, {"LIST", {}}}));
    EXPECT_FALSE(q.hasPendingTransfer());
    q.append(std::make_unique<OwnedListing>(ActionKind::Download, 0, listing("/d")));
    EXPECT_TRUE(q.hasPendingTransfer());
}
