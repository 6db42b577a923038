#include "platform/trash_can.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The trash of the test's own data folder, set for the test's length.
class TrashCanTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        oldData_ = qgetenv("XDG_DATA_HOME");
        setData(dir_.filePath("share"));
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", oldData_); }
    void setData(const QString& path) { qputenv("XDG_DATA_HOME", QFile::encodeName(path)); }
    QTemporaryDir dir_;
    QByteArray oldData_;
};

// Each file lands under its own name, a second of the same name beside the
// first, with the record file managers restore it from; the data folder is
// made when missing.
TEST_F(TrashCanTest, FilesGoToTheHomeTrashWithTheirRecords) {
    const QString trash = dir_.filePath("share/Trash");
    EXPECT_EQ(TrashCan::homeTrash(), trash);
    const struct {
        const char* name;
        const char* inTrash;
        QByteArray encodedName;
    } cases[] = {{"index.html", "index.html", "index.html"},
                 {"index.html", "index.html.2", "index.html"},
                 {"my caf\u00e9.txt", "my caf\u00e9.txt", "my%20caf%C3%A9.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.inTrash);
        const QString path = dir_.filePath(QStringLiteral("site/") + QString::fromUtf8(c.name));
        ASSERT_TRUE(write(path, c.inTrash));
        QString error;
        const QString where = TrashCan::put(path, &error);
        EXPECT_EQ(where, trash + "/files/" + QString::fromUtf8(c.inTrash)) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(readAll(where), c.inTrash);
        const QByteArray info =
            readAll(trash + "/info/" + QString::fromUtf8(c.inTrash) + ".trashinfo");
        EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=" + QFile::encodeName(dir_.path()) +
                                    "/site/" + c.encodedName + "\nDeletionDate=20"))
            << info.toStdString();
    }
    // The longest name a disk takes leaves no room for ".trashinfo": it is
    // shortened in the trash, its extension kept.
    const QString longName = QString(251, 'n') + ".txt";
    ASSERT_TRUE(write(dir_.filePath("site/" + longName), "long"));
    QString error;
    const QString where = TrashCan::put(dir_.filePath("site/" + longName), &error);
    EXPECT_EQ(where, trash + "/files/" + QString(241, 'n') + ".txt") << error.toStdString();
    EXPECT_EQ(readAll(where), "long");

    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(trash).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace
