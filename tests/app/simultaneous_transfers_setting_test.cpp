// "Simultaneous transfers" is kept after the fixed records of setting.set, only
// when it is not the default: what a file says, what is ignored, and what
// happens to values that cannot be used.
#include "app/app_settings.h"
#include "app/general_options.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray le32(qint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

TEST(SimultaneousTransfersSetting, ReadAfterTheRecordsWrittenOnlyWhenNotTheDefault) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setting.set"));
    ASSERT_TRUE(SaveAppSettings(AppSettings{}, path));
    const QByteArray records = readBytes(path);  // the default holds no trailer
    ASSERT_EQ(records.size(), 297);

    struct Case {
        const char* name;
        QByteArray after;  // bytes after the records
        int transfers;
        bool problem;
        QByteArray saved;  // what a save writes after the records
    };
    const QByteArray mark("VLMXFER1");
    const Case cases[] = {
        {"nothing after", {}, 2, false, {}},
        {"four", mark + le32(4), 4, false, mark + le32(4)},
        {"none beside the main one", mark + le32(0), 0, false, mark + le32(0)},
        {"eight", mark + le32(8), 8, false, mark + le32(8)},
        {"too many", mark + le32(9), 2, true, {}},
        {"negative", mark + le32(-1), 2, true, {}},
        {"cut short", mark + QByteArray("\x04\x00", 2), 2, true, {}},
        {"another writer's bytes", QByteArray("OTHER123") + le32(4), 2, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path, records + c.after));
        AppSettings s;
        s.SimultaneousTransfers = 7;  // a load starts from the defaults
        QStringList problems;
        EXPECT_TRUE(LoadAppSettings(s, path, &problems));
        EXPECT_EQ(s.SimultaneousTransfers, c.transfers);
        ASSERT_EQ(problems.size(), c.problem ? 1 : 0);
        if (c.problem) {
            EXPECT_TRUE(problems[0].contains(QStringLiteral("from 0 to 8")))
                << problems[0].toStdString();
        }
        ASSERT_TRUE(SaveAppSettings(s, path));
        EXPECT_EQ(readBytes(path), records + c.saved);
    }
}

TEST(SimultaneousTransfersSetting, TheGeneralSheetEditsIt) {
    AppSettings stored;
    stored.SimultaneousTransfers = 3;
    GeneralOptions o = GeneralOptionsFrom(stored);
    EXPECT_EQ(o.simultaneousTransfers, 3);
    EXPECT_TRUE(SameStoredSettings(WithGeneralOptions(stored, o), stored));
    o.simultaneousTransfers = 0;
    const AppSettings changed = WithGeneralOptions(stored, o);
    EXPECT_EQ(changed.SimultaneousTransfers, 0);
    // A change only there is a change: "Apply" does not say "No change".
    EXPECT_FALSE(SameStoredSettings(changed, stored));
    o.simultaneousTransfers = 12;
    EXPECT_EQ(WithGeneralOptions(stored, o).SimultaneousTransfers, 8);
}

}  // namespace
