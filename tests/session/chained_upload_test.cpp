#include "session/chained_upload_group.h"
#include "support/session_harness.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Uploads sharing a cursor send CWD only when the upload before left the
// server in another folder or did not get into its own.
TEST(ChainedUpload, ChangesFolderOnlyWhenNeededAndAfterARefusal) {
    SessionHarness h;
    h.loginIdle();
    QTemporaryDir dir;
    const QString source = dir.filePath("f.bin");
    QFile f(source);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("data") == 4);
    f.close();

    auto cursor = std::make_shared<ChainedUploadGroup::Cursor>();
    struct Step {
        QByteArray folder;
        bool cwdRefused;
        QList<QByteArray> sent;  // what the upload sends
        bool success;
    } const steps[] = {
        {"/a", false, {"CWD /a", "PASV", "STOR f.bin"}, true},
        {"/a", false, {"PASV", "STOR f.bin"}, true},
        {"/b", true, {"CWD /b"}, false},
        {"/b", false, {"CWD /b", "PASV", "STOR f.bin"}, true},
        {"/b", false, {"PASV", "STOR f.bin"}, true},
    };
    std::vector<bool> results;
    for (const Step& s : steps) {
        TransferInfo info;
        info.remoteFolder = s.folder;
        info.fileName = "f.bin";
        info.localPath = source;
        auto g = std::make_unique<ChainedUploadGroup>(info, cursor);
        g->onResult = [&results](const TransferResult& r) { results.push_back(r.success); };
        h.session.queue().append(std::move(g));
    }
    h.engine.sendIfIdle();
    int start = int(h.sent().size()) - 1;  // each upload's first line
    for (const Step& s : steps) {
        SCOPED_TRACE(s.folder.toStdString() + " " + s.sent.first().toStdString());
        if (s.sent.first().startsWith("CWD"))
            h.reply(s.cwdRefused ? "550 No such folder\r\n" : "250 Ok\r\n");
        if (!s.cwdRefused) {
            h.reply(SessionHarness::pasv(5020));
            h.factory.last()->accept();
            h.settle();
            h.reply("150 Ok to send data\r\n");
            h.reply("226 Transfer complete\r\n");
        }
        EXPECT_EQ(h.sent().mid(start, s.sent.size()), s.sent);
        start = int(h.sent().size()) - 1;
    }
    EXPECT_EQ(results, (std::vector<bool>{true, true, false, true, true}));
}
