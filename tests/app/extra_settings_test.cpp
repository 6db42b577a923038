// Settings kept beside the fixed records: what a file says, what is kept of
// lines this version does not know, and what happens to values it cannot use.
#include "app/extra_settings.h"
#include "app/general_options.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

bool writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

QByteArray readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ExtraSettings, ReadWhatTheFileSaysKeepTheRestAndNameWhatCannotBeUsed) {
    struct Case {
        const char* name;
        std::optional<QByteArray> file;  // nullopt: no file
        ExtraSettingsState state;
        int transfers;
        int problems;
        QByteArray saved;  // what a save writes back
    };
    const Case cases[] = {
        {"no file", std::nullopt, ExtraSettingsState::Missing, 2, 0, "SimultaneousTransfers=2\n"},
        {"a value", "SimultaneousTransfers=4\n", ExtraSettingsState::Read, 4, 0,
         "SimultaneousTransfers=4\n"},
        {"0 and blanks, CR LF", " SimultaneousTransfers = 0 \r\n\r\n", ExtraSettingsState::Read, 0,
         0, "SimultaneousTransfers=0\n"},
        {"unknown lines kept", "Future=yes\nSimultaneousTransfers=8\n# note\n",
         ExtraSettingsState::Read, 8, 0, "SimultaneousTransfers=8\nFuture=yes\n# note\n"},
        {"too many", "SimultaneousTransfers=9\n", ExtraSettingsState::Damaged, 2, 1,
         "SimultaneousTransfers=2\n"},
        {"not a number", "SimultaneousTransfers=four\nOther=1\n", ExtraSettingsState::Damaged, 2, 1,
         "SimultaneousTransfers=2\nOther=1\n"},
        {"negative", "SimultaneousTransfers=-1\n", ExtraSettingsState::Damaged, 2, 1,
         "SimultaneousTransfers=2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(ExtraSettings::fileName());
        if (c.file) {
            ASSERT_TRUE(writeText(path, *c.file));
        }
        ExtraSettings s;
        s.SimultaneousTransfers = 7;  // a load starts from the defaults
        QStringList problems;
        EXPECT_EQ(LoadExtraSettings(s, path, &problems), c.state);
        EXPECT_EQ(s.SimultaneousTransfers, c.transfers);
        ASSERT_EQ(problems.size(), c.problems);
        if (c.problems) {
            EXPECT_TRUE(problems[0].contains(QStringLiteral("from 0 to 8")))
                << problems[0].toStdString();
        }
        ASSERT_TRUE(SaveExtraSettings(s, path));
        EXPECT_EQ(readText(path), c.saved);
    }
}

TEST(ExtraSettings, TheGeneralSheetEditsTheNumberOfTransfersBesideTheRecord) {
    AppSettings stored;
    stored.Extra.SimultaneousTransfers = 3;
    GeneralOptions o = GeneralOptionsFrom(stored);
    EXPECT_EQ(o.simultaneousTransfers, 3);
    EXPECT_TRUE(SameStoredSettings(WithGeneralOptions(stored, o), stored));
    o.simultaneousTransfers = 0;
    const AppSettings changed = WithGeneralOptions(stored, o);
    EXPECT_EQ(changed.Extra.SimultaneousTransfers, 0);
    // A change only there is a change: "Apply" does not say "No change".
    EXPECT_FALSE(SameStoredSettings(changed, stored));
    o.simultaneousTransfers = 12;
    EXPECT_EQ(WithGeneralOptions(stored, o).Extra.SimultaneousTransfers, 8);
}

}  // namespace
