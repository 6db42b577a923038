// What the publishing steps read from the server and write to it: the
// features that decide them, checksum replies, times, temporary names.
#include "session/content_check.h"
#include "session/publish_plan.h"
#include "session/reply_assembler.h"
#include "session/server_features.h"
#include "session/stored_size_check.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

Reply replyOf(const QByteArray& text) {
    ReplyAssembler a;
    for (const QByteArray& line : text.split('\n'))
        if (!line.isEmpty())
            a.feed(line + '\n');
    const QList<Reply> replies = a.takeComplete();
    return replies.isEmpty() ? Reply() : replies.first();
}

}  // namespace

TEST(PublishRules, FeaturesChooseTheChecksumCommand) {
    struct Case {
        const char* what;
        QByteArray feat;
        QByteArray help;
        QByteArray command;
        HashAlgorithm algorithm;
    };
    const Case cases[] = {
        {"HASH answers in its starred algorithm",
         "211-F\r\n HASH SHA-1;SHA-256*;MD5\r\n XSHA256\r\n211 E\r\n", "", "HASH",
         HashAlgorithm::Sha256},
        {"without a star, in the first", "211-F\r\n HASH MD5;SHA-1\r\n211 E\r\n", "", "HASH",
         HashAlgorithm::Md5},
        {"HASH naming nothing known is passed over", "211-F\r\n HASH BLAKE3*\r\n XMD5\r\n211 E\r\n",
         "", "XMD5", HashAlgorithm::Md5},
        {"the strongest X command", "211-F\r\n XCRC\r\n XSHA1\r\n XMD5\r\n211 E\r\n", "", "XSHA1",
         HashAlgorithm::Sha1},
        {"X commands named only by HELP", "211-F\r\n MDTM\r\n211 E\r\n",
         "214-Commands\r\n XCRC NOOP\r\n214 OK\r\n", "XCRC", HashAlgorithm::Crc32},
        {"none", "211-F\r\n MDTM\r\n MFMT\r\n211 E\r\n", "", "", HashAlgorithm::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Reply feat = replyOf(c.feat);
        const ServerFeatures f =
            featuresOf(feat, indexFeatReply(feat), indexHelpReply(replyOf(c.help)));
        EXPECT_EQ(f.hashCommand().command, c.command);
        EXPECT_EQ(f.hashCommand().algorithm, c.algorithm);
    }
}

TEST(PublishRules, ChecksumReplies) {
    const QByteArray sha = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
    struct Case {
        const char* what;
        HashCommand asked;
        QByteArray reply;
        HashAlgorithm algorithm;  // None: unreadable
        QByteArray hex;
    };
    const Case cases[] = {
        {"HASH",
         {"HASH", HashAlgorithm::Sha256},
         "213 SHA-256 0-6 " + sha + " a b.txt\r\n",
         HashAlgorithm::Sha256,
         sha},
        {"HASH in another algorithm than asked",
         {"HASH", HashAlgorithm::Sha256},
         "213 MD5 0-6 B1946AC92492D2347C6235B4D2611184 a.txt\r\n",
         HashAlgorithm::Md5,
         "b1946ac92492d2347c6235b4d2611184"},
        {"CRC without its leading zeros",
         {"HASH", HashAlgorithm::Crc32},
         "213 CRC32 0-6 3a3020 a.txt\r\n",
         HashAlgorithm::Crc32,
         "003a3020"},
        {"X command, digest alone",
         {"XSHA256", HashAlgorithm::Sha256},
         "250 " + sha + "\r\n",
         HashAlgorithm::Sha256,
         sha},
        {"X command, name first",
         {"XMD5", HashAlgorithm::Md5},
         "213 a.txt b1946ac92492d2347c6235b4d2611184\r\n",
         HashAlgorithm::Md5,
         "b1946ac92492d2347c6235b4d2611184"},
        {"digest of the wrong length",
         {"XSHA1", HashAlgorithm::Sha1},
         "250 abcdef\r\n",
         HashAlgorithm::None,
         {}},
        {"HASH without a digest",
         {"HASH", HashAlgorithm::Sha256},
         "213 SHA-256\r\n",
         HashAlgorithm::None,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<ServerDigest> d = parseHashReply(replyOf(c.reply), c.asked);
        if (c.algorithm == HashAlgorithm::None) {
            EXPECT_FALSE(d);
            continue;
        }
        ASSERT_TRUE(d);
        EXPECT_EQ(d->algorithm, c.algorithm);
        EXPECT_EQ(d->hex, c.hex);
    }
}

TEST(PublishRules, LocalDigestsMatchWhatServersCompute) {
    const QByteArray hello = "hello\n";
    EXPECT_EQ(bytesDigest(hello, HashAlgorithm::Crc32), "363a3020");
    EXPECT_EQ(bytesDigest(hello, HashAlgorithm::Md5), "b1946ac92492d2347c6235b4d2611184");
    EXPECT_EQ(bytesDigest({}, HashAlgorithm::Crc32), "00000000");
    QString error;
    EXPECT_TRUE(fileDigest(QStringLiteral("/no/such/file"), HashAlgorithm::Sha1, &error).isEmpty());
    EXPECT_TRUE(error.contains("/no/such/file"));
}

TEST(PublishRules, TimesAndTemporaryNames) {
    EXPECT_EQ(ftpTimeText(0), "19700101000000");
    EXPECT_EQ(parseFtpTime("20240105103000"), 1704450600);
    EXPECT_EQ(parseFtpTime("20240105103000.123"), 1704450600);
    for (const char* bad : {"2024010510300", "2024013210300x", "20241305103000", ""})
        EXPECT_FALSE(parseFtpTime(bad)) << bad;

    EXPECT_EQ(uploadTemporaryName("a b.html"), ".a b.html.velmora-upload");
    EXPECT_EQ(uploadTemporaryTarget(".a b.html.velmora-upload"), "a b.html");
    EXPECT_EQ(uploadTemporaryTarget(".velmora-upload"), "");
    EXPECT_EQ(uploadTemporaryTarget("a.velmora-upload"), "");
    EXPECT_FALSE(isUploadTemporaryName("..velmora-upload"));

    // Tagged: each upload its own temporary; the tag starts with the version.
    EXPECT_EQ(uploadTemporaryName("a.html", "0123abcd4567"), ".a.html.0123abcd4567.velmora-upload");
    EXPECT_EQ(uploadTemporaryTarget(".a.html.0123abcd4567.velmora-upload"), "a.html");
    EXPECT_EQ(uploadTemporaryTag(".a.html.0123abcd4567.velmora-upload"), "0123abcd4567");
    for (const char* untagged : {".a.html.velmora-upload", ".a.html.0123ABCD4567.velmora-upload",
                                 ".a.0123abcd456.velmora-upload", "a.0123abcd4567.velmora-upload"})
        EXPECT_TRUE(uploadTemporaryTag(untagged).isEmpty()) << untagged;
    const QByteArray version = contentVersion("bytes");
    ASSERT_EQ(version.size(), 8);
    EXPECT_NE(version, contentVersion("other bytes"));
    const QByteArray tag = newUploadTag(version);
    EXPECT_TRUE(uploadTagOfVersion(tag, version));
    EXPECT_NE(tag, newUploadTag(version));
    EXPECT_FALSE(uploadTagOfVersion(tag, contentVersion("other bytes")));

    // A local file's version changes with it, even to the same size and time.
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("one") == 3);
    f.close();
    const QByteArray before = localFileVersion(path);
    EXPECT_EQ(before, localFileVersion(path));
    const QDateTime time = QFileInfo(path).lastModified();
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.write("two") == 3);
    ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_NE(before, localFileVersion(path));
    EXPECT_TRUE(localFileVersion(dir.filePath("missing")).isEmpty());
}

// The results of direct uploads wait for their folder's listing: a file
// listed short fails, one not listed is trusted, and none is lost when the
// listing never comes or a result arrives after it.
TEST(PublishRules, StoredSizesAreJudgedByTheFolderListing) {
    struct Case {
        const char* what;
        std::optional<qint64> listed;  // the listing's size of the file; nothing: not listed
        bool listingCame;
        bool resultAfterListing;
        const char* error;  // nothing: the upload stands
    };
    const char* const shortText =
        "Upload of /up/a.bin failed: the server's file has 500 bytes, the local one 1,000";
    const Case cases[] = {
        {"listed whole", 1000, true, false, nullptr},
        {"listed short", 500, true, false, shortText},
        {"listed longer", 1500, true, false,
         "Upload of /up/a.bin failed: the server's file has 1,500 bytes, the local one 1,000"},
        {"not listed", std::nullopt, true, false, nullptr},
        {"no listing", 500, false, false, nullptr},
        {"result after the listing", 500, true, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<TransferResult> told;
        auto check =
            std::make_shared<StoredSizeCheck>([&told](const TransferResult& r) { told << r; });
        TransferResult r;
        r.info.remoteFolder = "/up";
        r.info.fileName = "a.bin";
        r.info.total = 1000;
        r.success = true;
        r.info.publish.sizeCheck = check;
        const auto listing = [&](const QByteArray& name) {
            return name == "a.bin" ? c.listed : std::nullopt;
        };
        QStringList failures;
        if (!c.resultAfterListing) {
            check->hold(r);
            EXPECT_TRUE(told.isEmpty());
        }
        if (c.listingCame)
            failures = check->settle(listing);
        if (c.resultAfterListing)
            check->hold(r);
        r.info.publish.sizeCheck.reset();
        check.reset();  // the last owner goes: nothing may stay untold
        ASSERT_EQ(told.size(), 1);
        EXPECT_EQ(told[0].success, c.error == nullptr);
        EXPECT_FALSE(told[0].info.publish.sizeCheck);
        EXPECT_EQ(told[0].error, QString::fromUtf8(c.error ? c.error : ""));
        EXPECT_EQ(failures, c.error ? QStringList{QString::fromUtf8(c.error)} : QStringList());
    }
}
