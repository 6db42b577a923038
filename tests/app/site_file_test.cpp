#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <set>

#include "app/site_file.h"
#include "app/test_bytes.h"

using test_bytes::hex;
using test_bytes::le32;
using test_bytes::wide;

namespace {

// A record whose texts are all empty, port 21, logon 0, binary, flags 0x01.
QByteArray emptyTextRecord() {
    return le32(0) + le32(0) + le32(0)  // Name, Comment, Host
           + le32(21)                   // Port
           + hex("00")                  // LogonType
           + le32(0) + le32(0)          // User, Password
           + hex("01"
                 "00"
                 "00")                              // TransferType, TransferMode, NameEncoding
           + le32(0) + le32(0) + le32(0) + le32(0)  // project folders, concerned file, HttpBase
           + le32(0) + le32(0) + le32(0)            // abundant strings
           + le32(1);                               // SiteFlags
}

QByteArray fullRecord() {
    return wide("web") + wide("main") + wide("ftp.example.org") + le32(2121) + hex("04") +
           wide("bob") + wide("pw") +
           hex("02"
               "01"
               "02") +
           wide("/home/bob/site") + wide("/public_html/site") + wide("/logs/error_log") +
           wide("www.example.org") + wide("/a") + wide("/b") + wide("/c") + le32(3);
}

void expectFullRecord(const SiteRecord& r) {
    EXPECT_EQ(r.Name, QStringLiteral("web"));
    EXPECT_EQ(r.Comment, QStringLiteral("main"));
    EXPECT_EQ(r.Host, QStringLiteral("ftp.example.org"));
    EXPECT_EQ(r.Port, 2121);
    EXPECT_EQ(r.LogonType, 4);
    EXPECT_EQ(r.User, QStringLiteral("bob"));
    EXPECT_EQ(r.Password, QStringLiteral("pw"));
    EXPECT_EQ(r.TransferType, 2);
    EXPECT_EQ(r.TransferMode, 1);
    EXPECT_EQ(r.NameEncoding, 2);
    EXPECT_EQ(r.LocalProjectFolder, QStringLiteral("/home/bob/site"));
    EXPECT_EQ(r.RemoteProjectFolder, QStringLiteral("/public_html/site"));
    EXPECT_EQ(r.ConcernedFile, QStringLiteral("/logs/error_log"));
    EXPECT_EQ(r.HttpBase, QStringLiteral("www.example.org"));
    EXPECT_EQ(r.AbundantString1, QStringLiteral("/a"));
    EXPECT_EQ(r.AbundantString2, QStringLiteral("/b"));
    EXPECT_EQ(r.AbundantString3, QStringLiteral("/c"));
    EXPECT_EQ(r.SiteFlags, 3);
}

class SiteFileTest : public testing::Test {
protected:
    QString path() const { return dir_.filePath(QStringLiteral("site.set")); }
    void writeFile(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray readFile() {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QTemporaryDir dir_;
};

TEST_F(SiteFileTest, EmptyListIsEightBytes) {
    SiteList list;
    ASSERT_TRUE(SaveSites(list, path()));
    EXPECT_EQ(readFile().toHex(), hex("ffffffff"
                                      "00000000")
                                      .toHex());
}

TEST_F(SiteFileTest, RecordWithEmptyTextsIsSixtyBytes) {
    SiteList list;
    SiteRecord record;
    record.AbundantString1.clear();
    record.AbundantString2.clear();
    list.Records.push_back(record);
    list.SelectedIndex = 0;
    ASSERT_TRUE(SaveSites(list, path()));
    const QByteArray expected = le32(0) + le32(1) + emptyTextRecord();
    ASSERT_EQ(emptyTextRecord().size(), 60);
    EXPECT_EQ(readFile().toHex(), expected.toHex());
}

TEST_F(SiteFileTest, FieldsAreWrittenInTableOrder) {
    SiteList list;
    SiteRecord record;
    SiteFileState state = SiteFileState::Missing;
    writeFile(le32(0) + le32(1) + fullRecord());
    state = LoadSites(list, path());
    ASSERT_EQ(state, SiteFileState::Complete);
    ASSERT_EQ(list.Records.size(), 1u);
    expectFullRecord(list.Records[0]);

    ASSERT_TRUE(SaveSites(list, path()));
    EXPECT_EQ(readFile().toHex(), (le32(0) + le32(1) + fullRecord()).toHex());
}

TEST_F(SiteFileTest, MissingOrEmptyFileGivesAnEmptyList) {
    SiteList list;
    list.Records.resize(2);
    list.SelectedIndex = 1;
    EXPECT_EQ(LoadSites(list, path()), SiteFileState::Missing);
    EXPECT_TRUE(list.Records.empty());
    EXPECT_EQ(list.SelectedIndex, -1);
    writeFile(QByteArray());
    EXPECT_EQ(LoadSites(list, path()), SiteFileState::Missing);
    EXPECT_EQ(list.SelectedIndex, -1);
}

TEST_F(SiteFileTest, RecordCutShortKeepsDefaultsForTheRest) {
    // Second record stops after its port.
    writeFile(le32(1) + le32(2) + fullRecord() + wide("second") + le32(0) + wide("h2") + le32(990));
    SiteList list;
    EXPECT_EQ(LoadSites(list, path()), SiteFileState::Incomplete);
    ASSERT_EQ(list.Records.size(), 2u);
    expectFullRecord(list.Records[0]);
    const SiteRecord& cut = list.Records[1];
    EXPECT_EQ(cut.Name, QStringLiteral("second"));
    EXPECT_EQ(cut.Host, QStringLiteral("h2"));
    EXPECT_EQ(cut.Port, 990);
    EXPECT_EQ(cut.TransferType, 1);
    EXPECT_EQ(cut.AbundantString1, QStringLiteral("/public_html"));
    EXPECT_EQ(cut.AbundantString2, QStringLiteral("/www"));
    EXPECT_EQ(cut.SiteFlags, 1);
    EXPECT_EQ(list.SelectedIndex, 1);
}

TEST_F(SiteFileTest, DamagedCountsAndLengthsAddNoPhantomRecords) {
    struct Case {
        const char* name;
        QByteArray bytes;
        size_t records;
        qint32 selected;
    };
    const Case cases[] = {
        {"count beyond the data", le32(0) + le32(5) + emptyTextRecord(), 1, 0},
        {"huge count", le32(0) + le32(0x7FFFFFFF) + emptyTextRecord(), 1, 0},
        {"negative count", le32(0) + le32(quint32(-3)) + emptyTextRecord(), 0, -1},
        {"only the index", le32(2), 0, -1},
        {"odd name length", le32(0) + le32(2) + le32(3) + hex("616200") + emptyTextRecord(), 1, 0},
        {"over-long host", le32(0) + le32(1) + wide("n") + le32(0) + le32(1000) + hex("4100"), 1,
         0},
        {"selection outside", le32(7) + le32(1) + emptyTextRecord(), 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(c.bytes);
        SiteList list;
        LoadSites(list, path());
        EXPECT_EQ(list.Records.size(), c.records);
        EXPECT_EQ(list.SelectedIndex, c.selected);
    }
}

// Bytes after the records are either one whole keyring mark or damage: a save over them would
// drop sites or the keyring choice unseen, so the file is reported and kept aside first.
TEST_F(SiteFileTest, OnlyAWholeKeyringMarkMayFollowTheRecords) {
    const QByteArray mark = QByteArray("VLMKEYR1") + hex("02") + le32(2) + hex("0100");
    struct Case {
        const char* name;
        QByteArray after;
        SiteFileState state;
    };
    const Case cases[] = {
        {"nothing", {}, SiteFileState::Complete},
        {"a whole mark", mark, SiteFileState::Complete},
        {"a cut mark", mark.left(mark.size() - 1), SiteFileState::Incomplete},
        {"a mark and more", mark + hex("00"), SiteFileState::Incomplete},
        {"a record past the count", emptyTextRecord(), SiteFileState::Incomplete},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(le32(0) + le32(2) + fullRecord() + emptyTextRecord() + c.after);
        SiteList list;
        EXPECT_EQ(LoadSites(list, path()), c.state);
        EXPECT_EQ(list.Records.size(), 2u);
    }
}

TEST_F(SiteFileTest, OddNameLengthKeepsTheRecordDefaults) {
    writeFile(le32(0) + le32(1) + le32(3) + hex("616200") + emptyTextRecord());
    SiteList list;
    EXPECT_EQ(LoadSites(list, path()), SiteFileState::Incomplete);
    ASSERT_EQ(list.Records.size(), 1u);
    EXPECT_TRUE(list.Records[0].Name.isEmpty());
    EXPECT_EQ(list.Records[0].Port, 21);
    EXPECT_EQ(list.Records[0].AbundantString2, QStringLiteral("/www"));
}

TEST_F(SiteFileTest, RoundTripGivesFreshDistinctIdsAndMode0600) {
    SiteList list;
    for (int i = 0; i < 20; ++i) {
        SiteRecord record;
        record.Name = QStringLiteral("site %1").arg(i);
        record.Password = QStringLiteral("p\u00e4ss%1").arg(i);
        record.Port = -1;
        list.Records.push_back(record);
    }
    list.SelectedIndex = 7;
    ASSERT_TRUE(SaveSites(list, path()));
    const QFileDevice::Permissions mode = QFileInfo(path()).permissions();
    EXPECT_TRUE(mode.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_FALSE(mode & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                         QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                         QFileDevice::ExeOwner));

    SiteList loaded;
    ASSERT_EQ(LoadSites(loaded, path()), SiteFileState::Complete);
    ASSERT_EQ(loaded.Records.size(), list.Records.size());
    EXPECT_EQ(loaded.SelectedIndex, 7);
    std::set<qint32> ids;
    for (size_t i = 0; i < loaded.Records.size(); ++i) {
        SiteRecord expected = list.Records[i];
        expected.Id = loaded.Records[i].Id;
        EXPECT_EQ(loaded.Records[i], expected);
        ids.insert(loaded.Records[i].Id);
    }
    EXPECT_EQ(ids.size(), loaded.Records.size());
    EXPECT_EQ(ids.count(loaded.Current.Site.Id), 0u);
}

}  // namespace
