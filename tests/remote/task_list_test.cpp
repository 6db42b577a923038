#include "remote/task_list.h"

#include "session/direct_download_group.h"
#include "support/session_harness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

TransferInfo Info(const char* folder, const char* name, qint64 total, qint64 offset = 0) {
    TransferInfo info;
    info.socketKind = 3;
    info.remoteFolder = folder;
    info.fileName = name;
    info.localPath = QStringLiteral("/tmp/") + QString::fromLatin1(name);
    info.total = total;
    info.startOffset = offset;
    return info;
}

std::unique_ptr<DirectDownloadGroup> Group(const char* name) {
    TransferInfo info;
    info.fileName = name;
    return std::make_unique<DirectDownloadGroup>(DirectPurpose::Stream, info,
                                                 StepList{{"PASV", {}}, {"RETR", name}});
}

QList<QByteArray> Names(const TaskList& list) {
    QList<QByteArray> out;
    for (const TaskBox& b : list.boxes())
        out << b.info.fileName;
    return out;
}

}  // namespace

TEST(TaskList, BoxesFollowStartProgressAndEndInOrder) {
    auto a = Group("a");
    auto b = Group("b");
    auto c = Group("c");
    TaskList list;
    QSignalSpy added(&list, &TaskList::boxAdded);
    QSignalSpy changed(&list, &TaskList::boxChanged);
    QSignalSpy removed(&list, &TaskList::boxRemoved);

    list.onTransferStarted(a.get(), Info("/pub", "a.zip", 5000));
    list.onTransferStarted(b.get(), Info("/pub", "b.zip", -1, 300));
    list.onTransferStarted(c.get(), Info("/doc", "c.txt", 10));
    EXPECT_EQ((QList<QByteArray>{"a.zip", "b.zip", "c.txt"}), Names(list));
    EXPECT_EQ(3, added.count());
    EXPECT_EQ(2, added.at(2).at(0).toInt());

    const TaskBox& second = list.at(1);
    EXPECT_EQ(b.get(), second.group);
    EXPECT_EQ(3, second.info.socketKind);
    EXPECT_EQ(QByteArray("/pub"), second.info.remoteFolder);
    EXPECT_EQ(QStringLiteral("/tmp/b.zip"), second.info.localPath);
    EXPECT_EQ(-1, second.info.total);
    EXPECT_EQ(300, second.position);  // a resumed transfer starts at its offset

    list.onTransferProgress(b.get(), 4096);
    EXPECT_EQ(4096, list.at(1).position);
    EXPECT_EQ(0, list.at(0).position);
    ASSERT_EQ(1, changed.count());
    EXPECT_EQ(1, changed.at(0).at(0).toInt());

    list.onTransferEnded(b.get());
    EXPECT_EQ((QList<QByteArray>{"a.zip", "c.txt"}), Names(list));
    ASSERT_EQ(1, removed.count());
    EXPECT_EQ(1, removed.at(0).at(0).toInt());
    EXPECT_EQ(1, list.indexOf(c.get()));
    EXPECT_EQ(-1, list.indexOf(b.get()));
}

TEST(TaskList, StrayAndRepeatedReportsKeepOneBoxPerTransfer) {
    auto a = Group("a");
    auto other = Group("other");
    TaskList list;
    QSignalSpy added(&list, &TaskList::boxAdded);
    QSignalSpy removed(&list, &TaskList::boxRemoved);
    list.onTransferStarted(a.get(), Info("/", "a", 10));
    list.onTransferStarted(a.get(), Info("/", "a2", 20));
    EXPECT_EQ(1, list.count());
    EXPECT_EQ(1, added.count());
    EXPECT_EQ(QByteArray("a2"), list.at(0).info.fileName);
    list.onTransferProgress(other.get(), 5);
    list.onTransferEnded(other.get());
    list.onTransferStarted(nullptr, Info("/", "null", 1));
    EXPECT_EQ(1, list.count());
    EXPECT_EQ(0, list.at(0).position);
    EXPECT_EQ(0, removed.count());
    list.onTransferEnded(a.get());
    list.onTransferEnded(a.get());
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(1, removed.count());
}

TEST(TaskList, FollowsTheTransfersOfASession) {
    SessionHarness h;
    h.loginIdle();
    TaskList list;
    list.connectTo(h.session);
    std::vector<qint64> positions;
    QObject::connect(&list, &TaskList::boxChanged,
                     [&](int index) { positions.push_back(list.at(index).position); });

    auto* first = h.session.queue().append(Group("one.txt"));
    auto* second = h.session.queue().append(Group("two.txt"));
    ASSERT_EQ(2, list.count());
    EXPECT_EQ(first, list.at(0).group);
    EXPECT_EQ(second, list.at(1).group);
    EXPECT_EQ(4, list.at(0).info.socketKind);

    h.session.advance(false);
    h.serveData("hello world");
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(11, positions.back());
    ASSERT_EQ(1, list.count());
    EXPECT_EQ(second, list.at(0).group);

    h.serveData("x");
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(h.session.queue().isEmpty());
}

// A box whose transfer can not go on says why: the failure it waits on, or
// the connection lost under it (and the queue's other transfers with it).
TEST(TaskList, BoxesSayWhyTheirTransferCanNotGoOn) {
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "connection lost" : "unexpected failure");
        SessionHarness h;
        h.loginIdle();
        TaskList list;
        list.connectTo(h.session);
        h.session.queue().append(Group("one.txt"));
        h.session.queue().append(Group("two.txt"));
        h.session.advance(false);
        h.reply(SessionHarness::pasv(5001));
        h.acceptData();
        if (lost) {
            h.control()->hangUp();
            h.settle();
            ASSERT_EQ(2, list.count());
            for (int i = 0; i < 2; ++i)
                EXPECT_EQ(QStringLiteral("The server closed the connection; retry after "
                                         "re-connecting"),
                          list.at(i).problem);
        } else {
            h.reply("451 Local error in processing\r\n");
            ASSERT_EQ(2, list.count());
            EXPECT_EQ(QStringLiteral(
                          "RETR one.txt: 451 Local error in processing (remove the task to go on)"),
                      list.at(0).problem);
            EXPECT_TRUE(list.at(1).problem.isEmpty());
        }
    }
}
