#include "session/command_check.h"
#include "support/qt_printers.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace {

QString Support(const QList<CommandCheckRow>& rows) {
    QString out;
    for (const CommandCheckRow& r : rows)
        out += r.command + QLatin1Char('=') + CommandSupportText(r.supported) + QLatin1Char(' ');
    return out.trimmed();
}

}  // namespace

TEST(CommandCheck, SupportColumnFromFeatAndHelp) {
    struct Case {
        const char* name;
        QList<QByteArray> feat;
        QList<QByteArray> help;
        const char* expected;
    };
    const Case cases[] = {
        {"nothing known", {}, {}, "FEAT=No MLSD=No MLST=No"},
        {"features in two letters confirm FEAT", {"MLST", "REST"}, {}, "FEAT=Yes MLSD=No MLST=Yes"},
        {"features in one letter do not", {"MLST", "MDTM"}, {}, "FEAT=No MLSD=No MLST=Yes"},
        {"one letter but FEAT named in HELP",
         {"MLST"},
         {"FEAT", "LIST"},
         "FEAT=Yes MLSD=No MLST=Yes"},
        {"MLSD from HELP alone", {}, {"LIST", "MLSD", "RETR"}, "FEAT=No MLSD=Yes MLST=No"},
        {"words are compared as given", {"mlsd", "size"}, {}, "FEAT=Yes MLSD=No MLST=No"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<CommandCheckRow> rows =
            CommandCheckRows(SessionHarness::indexOf(c.feat), SessionHarness::indexOf(c.help));
        EXPECT_EQ(QString::fromLatin1(c.expected), Support(rows));
    }
    const QList<CommandCheckRow> rows = CommandCheckRows({}, {});
    ASSERT_EQ(3, rows.size());
    EXPECT_EQ(QStringLiteral("Get searver's features"), rows[0].usage);
    EXPECT_EQ(QStringLiteral("Read item list"), rows[1].usage);
    EXPECT_EQ(QStringLiteral("Read an item"), rows[2].usage);
}

TEST(CommandCheck, CheckMessages) {
    const CommandIndex feat = SessionHarness::indexOf({"MLST", "SIZE", "UTF8"});
    const CommandIndex help = SessionHarness::indexOf({"LIST", "RETR", "SITE"});
    struct Case {
        const char* typed;
        const char* expected;
    };
    const Case cases[] = {
        {"", "Please input an advanced command for checking"},
        {" \t\r\n", "Please input an advanced command for checking"},
        {"FEAT", "The command is in list already"},
        {"  MLSD\r\n", "The command is in list already"},
        {"mlsd", "The command is un-supported or unsure."},
        {"SIZE", "The command is supported."},
        {"\tRETR ", "The command is supported."},
        {"size", "The command is supported."},
        {"MDTM", "The command is un-supported or unsure."},
        {"\vSIZE", "The command is un-supported or unsure."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(QString::fromLatin1(c.expected),
                  CommandCheckMessage(QString::fromLatin1(c.typed), feat, help));
    }
}
