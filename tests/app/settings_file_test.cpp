#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "app/settings_file.h"

namespace {

// Writes `budget` bytes, then reports a failure, as a full disk or a crash would.
class FailingWriter final : public SettingsChunkWriter {
public:
    explicit FailingWriter(qint64 budget) : budget_(budget) {}
    qint64 writeChunk(QIODevice& device, const char* data, qint64 size) override {
        ++calls;
        const qint64 allowed = qMin(size, budget_);
        budget_ -= allowed;
        const qint64 written = device.write(data, allowed);
        return allowed < size ? -1 : written;
    }
    int calls = 0;

private:
    qint64 budget_;
};

class CountingWriter final : public SettingsChunkWriter {
public:
    qint64 writeChunk(QIODevice& device, const char* data, qint64 size) override {
        sizes.push_back(size);
        return device.write(data, size);
    }
    std::vector<qint64> sizes;
};

QByteArray pattern(int size, char seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i % 251);
    return bytes;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 0777;
}

TEST(SettingsFileTest, ReadGivesNothingForMissingEmptyOrFolder) {
    QTemporaryDir dir;
    EXPECT_FALSE(SettingsFile::read(dir.filePath(QStringLiteral("none.set"))));
    QFile empty(dir.filePath(QStringLiteral("empty.set")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_FALSE(SettingsFile::read(empty.fileName()));
    EXPECT_FALSE(SettingsFile::read(dir.path()));
}

TEST(SettingsFileTest, SavesInChunksOf1024AndReadsBackWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.set"));
    const QByteArray data = pattern(2500, 'a');
    CountingWriter writer;
    SettingsFile::SaveOptions options;
    options.writer = &writer;
    ASSERT_TRUE(SettingsFile::save(path, data, options));
    EXPECT_EQ(writer.sizes, (std::vector<qint64>{1024, 1024, 452}));
    EXPECT_EQ(SettingsFile::read(path), data);
}

TEST(SettingsFileTest, InterruptedSaveLeavesThePreviousFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.set"));
    const QByteArray old = pattern(3000, 'o');
    ASSERT_TRUE(SettingsFile::save(path, old));

    for (qint64 budget : {0, 100, 1024, 1500}) {
        FailingWriter writer(budget);
        SettingsFile::SaveOptions options;
        options.writer = &writer;
        options.permissions = SettingsFile::privateMode();
        EXPECT_FALSE(SettingsFile::save(path, pattern(3000, 'n'), options)) << budget;
        EXPECT_EQ(contents(path), old) << budget;
        // No half-written temporary file is left behind.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("site.set")});
    }
}

TEST(SettingsFileTest, PrivateModeAppliesToNewAndExistingFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.set"));
    SettingsFile::SaveOptions options;
    options.permissions = SettingsFile::privateMode();
    ASSERT_TRUE(SettingsFile::save(path, "secret", options));
    EXPECT_EQ(modeOf(path), 0600u);

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_TRUE(SettingsFile::save(path, "secret2", options));
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(contents(path), QByteArray("secret2"));
}

TEST(SettingsFileTest, SaveFailsWhenTheFolderCannotBeMade) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("plain-file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(SettingsFile::save(blocker + QStringLiteral("/sub/x.set"), "data"));
}

}  // namespace
