#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QStringList>

#include <functional>

#include "app/site_list.h"
#include "app/site_rules.h"

namespace {

SiteRecord validSite(const QString& name, const QString& comment = {}) {
    SiteRecord r;
    r.Name = name;
    r.Comment = comment;
    r.Host = QStringLiteral("ftp.example.org");
    r.User = QStringLiteral("u");
    r.Password = QStringLiteral("p");
    return r;
}

SiteList listOf(std::initializer_list<const char*> names) {
    SiteList list;
    for (const char* name : names)
        list.Records.push_back(validSite(QString::fromUtf8(name)));
    list.SelectedIndex = list.Records.empty() ? -1 : 0;
    return list;
}

QStringList namesOf(const SiteList& list) {
    QStringList names;
    for (const SiteRecord& r : list.Records)
        names << r.Name;
    return names;
}

TEST(SiteRulesTest, BasicFtpValidationInOrder) {
    struct Case {
        const char* host;
        quint8 logon;
        const char* user;
        const char* password;
        QString message;
        int port = 21;
    };
    const Case cases[] = {
        {"", 0, "", "", QStringLiteral("Please input host")},
        {"h", 0, "u", "p", SiteMessages::kBadPort, 0},
        {"h", 0, "u", "p", SiteMessages::kBadPort, 65536},
        {"h", 0, "u", "p", SiteMessages::kBadPort, -1},  // not a number
        {"h", 0, "u", "p", QString(), 65535},
        {"h", 0, "", "", QStringLiteral("Please input user name")},
        {"h", 2, "", "p", QStringLiteral("Please input user name")},
        {"h", 1, "", "", QString()},  // anonymous sends "anonymous@"
        {"h", 0, "u", "", QStringLiteral("Please input password")},
        {"h", 1, "", "guest@", QString()},
        {"h", 0, "u", "p", QString()},
    };
    for (const Case& c : cases) {
        SiteRecord r;
        r.Host = QString::fromUtf8(c.host);
        r.LogonType = c.logon;
        r.User = QString::fromUtf8(c.user);
        r.Password = QString::fromUtf8(c.password);
        r.Port = c.port;
        EXPECT_EQ(ValidateBasicFtp(r), c.message) << c.host << int(c.logon) << c.user << c.port;
    }
}

TEST(SiteRulesTest, LineBreaksAndNulNeverReachTheWire) {
    const QString nul(QChar(0));
    struct Case {
        QString host;
        quint8 logon;
        QString user;
        QString password;
        QString message;
    };
    const Case cases[] = {
        {QStringLiteral("h\r\nDELE x"), 0, QStringLiteral("u"), QStringLiteral("p"),
         SiteMessages::kHostLineBreak},
        // refused before the empty fields are looked at
        {QStringLiteral("h\n"), 0, {}, {}, SiteMessages::kHostLineBreak},
        {QStringLiteral("h"), 0, QStringLiteral("u\nPASS x"), QStringLiteral("p"),
         SiteMessages::kUserLineBreak},
        {QStringLiteral("h"), 0, QStringLiteral("u") + nul, {}, SiteMessages::kUserLineBreak},
        {QStringLiteral("h"), 0, QStringLiteral("u"), QStringLiteral("p\r"),
         SiteMessages::kPasswordLineBreak},
        {QStringLiteral("h"), 1, {}, nul, SiteMessages::kPasswordLineBreak},
        // anonymous logon sends a fixed user name, so a stale one does not matter
        {QStringLiteral("h"), 1, QStringLiteral("old\n"), QStringLiteral("guest@"), QString()},
        {QStringLiteral("h"), 0, QStringLiteral("u"), QStringLiteral("p\tq"), QString()},
    };
    for (const Case& c : cases) {
        SiteRecord r;
        r.Host = c.host;
        r.LogonType = c.logon;
        r.User = c.user;
        r.Password = c.password;
        EXPECT_EQ(ValidateBasicFtp(r), c.message)
            << c.host.toStdString() << int(c.logon) << c.user.toStdString();
    }
    // "Connect" uses the same check and stores nothing on refusal.
    SiteList list = listOf({"a"});
    SiteRecord collected = list.Records[0];
    collected.Password = QStringLiteral("p\r\nQUIT");
    QString message;
    EXPECT_FALSE(ConnectSite(list, 0, collected, &message));
    EXPECT_EQ(message, SiteMessages::kPasswordLineBreak);
    EXPECT_EQ(list.Records[0].Password, QStringLiteral("p"));
}

TEST(SiteRulesTest, NameDialogOk) {
    SiteList list;
    list.Records.push_back(validSite(QStringLiteral("a"), QStringLiteral("x")));
    list.Records.push_back(validSite(QStringLiteral("b")));
    struct Case {
        const char* name;
        const char* comment;
        int editedRow;
        QString message;
    };
    const Case cases[] = {
        {"", "x", -1, QStringLiteral("Input name please")},
        {"", "", 0, QStringLiteral("Input name please")},
        {"a", "x", -1,
         QStringLiteral("Name/Comment has been used,\nplease use other Name/Comment")},
        {"a", "x", 1, QStringLiteral("Name/Comment has been used,\nplease use other Name/Comment")},
        {"a", "x", 0, QStringLiteral("Please change Name or Comment.")},
        {"a", "", -1, QString()},   // same name, other comment
        {"A", "x", -1, QString()},  // compared with case
        {"b", "x", 1, QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckSiteName(list, QString::fromUtf8(c.name), QString::fromUtf8(c.comment),
                                c.editedRow),
                  c.message)
            << c.name << "/" << c.comment << " row " << c.editedRow;
    }
}

TEST(SiteRulesTest, SaveOfAnotherSiteStoresInTheListOnly) {
    SiteList list = listOf({"a", "b"});
    list.Current.Site = list.Records[0];
    SiteRecord collected = list.Records[1];
    collected.Host = QStringLiteral("changed");
    const SiteSaveDecision decision = DecideSiteSave(collected, list.Current);
    EXPECT_EQ(decision.outcome, SiteSaveOutcome::StoreInList);
    StoreSite(list, collected, false);
    EXPECT_EQ(list.Records[1].Host, QStringLiteral("changed"));
    EXPECT_EQ(list.Current.Site.Host, QStringLiteral("ftp.example.org"));
}

TEST(SiteRulesTest, SaveOfCurrentSiteAsksWhenTheConnectionStaysTheSame) {
    SiteList list = listOf({"a"});
    list.Current.Site = list.Records[0];
    list.Current.SessionFlag = 1;
    SiteRecord collected = list.Records[0];
    collected.Password = QStringLiteral("new");
    collected.HttpBase = QStringLiteral("www.example.org");
    collected.TransferMode = 2;
    collected.SiteFlags = 0;
    const SiteSaveDecision decision = DecideSiteSave(collected, list.Current);
    EXPECT_EQ(decision.outcome, SiteSaveOutcome::AskThenStoreInBoth);
    EXPECT_EQ(decision.message, QStringLiteral("You are changing setting for current connection,\n"
                                               "do you still want to continue?"));
    StoreSite(list, collected, true);
    EXPECT_EQ(list.Records[0].HttpBase, QStringLiteral("www.example.org"));
    EXPECT_EQ(list.Current.Site.Password, QStringLiteral("new"));
    EXPECT_EQ(list.Current.SessionFlag, 1);
}

TEST(SiteRulesTest, SaveOfCurrentSiteRefusesConnectionChanges) {
    const QString refusal = QStringLiteral(
        "You can not change those values for current site,\n"
        "please click button 'Connect' to establish new connection for the modifications.");
    SiteList list = listOf({"a"});
    list.Current.Site = list.Records[0];
    const std::function<void(SiteRecord&)> changes[] = {
        [](SiteRecord& r) { r.Host = QStringLiteral("other"); },
        [](SiteRecord& r) { r.Port = 2121; },
        [](SiteRecord& r) { r.LogonType = 1; },
        [](SiteRecord& r) { r.User = QStringLiteral("v"); },
        [](SiteRecord& r) { r.TransferType = 2; },
        [](SiteRecord& r) { r.LocalProjectFolder = QStringLiteral("/l"); },
        [](SiteRecord& r) { r.RemoteProjectFolder = QStringLiteral("/r"); },
        [](SiteRecord& r) { r.ConcernedFile = QStringLiteral("/c"); },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        SiteRecord collected = list.Records[0];
        changes[i](collected);
        const SiteSaveDecision decision = DecideSiteSave(collected, list.Current);
        EXPECT_EQ(decision.outcome, SiteSaveOutcome::Refuse) << i;
        EXPECT_EQ(decision.message, refusal) << i;
    }
}

TEST(SiteRulesTest, SaveValidatesFirst) {
    SiteList list = listOf({"a"});
    list.Current.Site = list.Records[0];
    SiteRecord collected = list.Records[0];
    collected.Host.clear();
    const SiteSaveDecision decision = DecideSiteSave(collected, list.Current);
    EXPECT_EQ(decision.outcome, SiteSaveOutcome::Invalid);
    EXPECT_EQ(decision.message, QStringLiteral("Please input host"));
}

TEST(SiteRulesTest, ConnectStoresAndSelects) {
    SiteList list = listOf({"a", "b", "c"});
    SiteRecord collected = list.Records[2];
    collected.Port = 990;
    QString message;
    ASSERT_TRUE(ConnectSite(list, 2, collected, &message));
    EXPECT_EQ(list.SelectedIndex, 2);
    EXPECT_EQ(list.Records[2].Port, 990);

    ASSERT_TRUE(list.ChooseSelectedSite());
    EXPECT_EQ(list.Current.Site, list.Records[2]);
    EXPECT_TRUE(list.IsCurrentSite(list.Records[2]));

    collected.Password.clear();
    EXPECT_FALSE(ConnectSite(list, 1, collected, &message));
    EXPECT_EQ(message, QStringLiteral("Please input password"));
    EXPECT_EQ(list.SelectedIndex, 2);
}

TEST(SiteRulesTest, NewAndDuplicateGetFreshIds) {
    SiteList list = listOf({"a"});
    list.Records[0].LocalProjectFolder = QStringLiteral("/l");
    const int added = AddSite(list, QStringLiteral("n"), QStringLiteral("c"));
    ASSERT_EQ(added, 1);
    EXPECT_EQ(list.Records[1].Name, QStringLiteral("n"));
    EXPECT_EQ(list.Records[1].Port, 21);
    EXPECT_TRUE(list.Records[1].Host.isEmpty());

    const int copy = DuplicateSite(list, 0, QStringLiteral("a2"), QStringLiteral("copy"));
    ASSERT_EQ(copy, 2);
    const SiteRecord& dup = list.Records[2];
    EXPECT_EQ(dup.Name, QStringLiteral("a2"));
    EXPECT_EQ(dup.Comment, QStringLiteral("copy"));
    EXPECT_EQ(dup.LocalProjectFolder, QStringLiteral("/l"));
    EXPECT_EQ(dup.Host, list.Records[0].Host);
    EXPECT_NE(dup.Id, list.Records[0].Id);
    EXPECT_NE(list.Records[1].Id, list.Records[0].Id);
    EXPECT_EQ(DuplicateSite(list, 9, QStringLiteral("x"), {}), -1);

    ASSERT_TRUE(RenameSite(list, 1, QStringLiteral("renamed"), QString()));
    EXPECT_EQ(namesOf(list), (QStringList{"a", "renamed", "a2"}));
}

TEST(SiteRulesTest, DeleteSelectsTheRowAtTheSamePlace) {
    SiteList list = listOf({"a", "b", "c"});
    list.SelectedIndex = 2;
    SiteDeleteResult r = DeleteSite(list, 1);
    EXPECT_TRUE(r.deleted);
    EXPECT_EQ(r.selectedRow, 1);
    EXPECT_EQ(namesOf(list), (QStringList{"a", "c"}));
    EXPECT_EQ(list.SelectedIndex, 1);  // still "c"

    r = DeleteSite(list, 1);  // the last row: the new last one is selected
    EXPECT_EQ(r.selectedRow, 0);
    EXPECT_EQ(list.SelectedIndex, 0);

    r = DeleteSite(list, 0);
    EXPECT_TRUE(r.deleted);
    EXPECT_EQ(r.selectedRow, -1);
    EXPECT_EQ(list.SelectedIndex, -1);
    EXPECT_EQ(r.shown.Port, 21);
    EXPECT_EQ(r.shown.TransferType, SiteRecord::kTransferBinary);
    EXPECT_EQ(r.shown.AbundantString1, QStringLiteral("/public_html"));
    EXPECT_EQ(r.shown.AbundantString2, QStringLiteral("/www"));
}

TEST(SiteRulesTest, CurrentSiteCannotBeDeleted) {
    SiteList list = listOf({"a", "b"});
    list.Current.Site = list.Records[1];
    const SiteDeleteResult r = DeleteSite(list, 1);
    EXPECT_FALSE(r.deleted);
    EXPECT_EQ(r.message, QStringLiteral("Can not delete current site, please close first."));
    EXPECT_EQ(list.Records.size(), 2u);
}

TEST(SiteRulesTest, DragMovesRightAfterTheTarget) {
    struct Case {
        int row;
        int target;
        int result;
        QStringList order;
    };
    const Case cases[] = {
        {0, 2, 2, {"b", "c", "a", "d"}},   {0, 3, 3, {"b", "c", "d", "a"}},
        {3, 0, 1, {"a", "d", "b", "c"}},   {3, 1, 2, {"a", "b", "d", "c"}},
        {1, 1, -1, {"a", "b", "c", "d"}},   // over itself
        {2, 1, -1, {"a", "b", "c", "d"}},   // over the row just above
        {2, -1, -1, {"a", "b", "c", "d"}},  // outside every row
        {2, 4, -1, {"a", "b", "c", "d"}},
    };
    for (const Case& c : cases) {
        SiteList list = listOf({"a", "b", "c", "d"});
        EXPECT_EQ(MoveSiteAfter(list, c.row, c.target), c.result) << c.row << "->" << c.target;
        EXPECT_EQ(namesOf(list), c.order) << c.row << "->" << c.target;
    }
}

TEST(SiteRulesTest, DragKeepsTheSelectedSite) {
    SiteList list = listOf({"a", "b", "c", "d"});
    list.SelectedIndex = 2;  // "c"
    MoveSiteAfter(list, 0, 3);
    EXPECT_EQ(list.Records[list.SelectedIndex].Name, QStringLiteral("c"));
    MoveSiteAfter(list, 3, 0);
    EXPECT_EQ(list.Records[list.SelectedIndex].Name, QStringLiteral("c"));
    MoveSiteAfter(list, list.SelectedIndex, 3);
    EXPECT_EQ(list.Records[list.SelectedIndex].Name, QStringLiteral("c"));
}

TEST(SiteListTest, NormaliseSelectedIndex) {
    SiteList list;
    list.SelectedIndex = 3;
    list.NormaliseSelectedIndex();
    EXPECT_EQ(list.SelectedIndex, -1);
    list = listOf({"a", "b"});
    for (qint32 value : {-1, 2, 99}) {
        list.SelectedIndex = value;
        list.NormaliseSelectedIndex();
        EXPECT_EQ(list.SelectedIndex, 0) << value;
    }
    list.SelectedIndex = 1;
    list.NormaliseSelectedIndex();
    EXPECT_EQ(list.SelectedIndex, 1);
}

TEST(SiteListTest, SettersWriteTheCurrentSiteAndItsRecord) {
    SiteList list = listOf({"a", "b"});
    list.SelectedIndex = 1;
    ASSERT_TRUE(list.ChooseSelectedSite());
    list.SetLocalProjectFolder(QStringLiteral("/home/me/site"));
    list.SetRemoteProjectFolder(QStringLiteral("/public_html"));
    list.SetConcernedFile(QStringLiteral("/logs/error_log"));
    for (const SiteRecord* r : {&list.Current.Site, &list.Records[1]}) {
        EXPECT_EQ(r->LocalProjectFolder, QStringLiteral("/home/me/site"));
        EXPECT_EQ(r->RemoteProjectFolder, QStringLiteral("/public_html"));
        EXPECT_EQ(r->ConcernedFile, QStringLiteral("/logs/error_log"));
    }
    EXPECT_TRUE(list.Records[0].LocalProjectFolder.isEmpty());

    // Once the record is gone only the current site changes.
    list.Current.Site.Id = list.FreshId();
    list.SetConcernedFile(QString());
    EXPECT_TRUE(list.Current.Site.ConcernedFile.isEmpty());
    EXPECT_EQ(list.Records[1].ConcernedFile, QStringLiteral("/logs/error_log"));
    EXPECT_EQ(list.FindSite(list.Current.Site.Id), nullptr);
    EXPECT_EQ(list.FindSite(list.Records[0].Id), &list.Records[0]);
}

TEST(SiteListTest, CloseResetsTheConnectionSettingsOnly) {
    SiteList list;
    SiteRecord& s = list.Current.Site;
    s = validSite(QStringLiteral("n"), QStringLiteral("c"));
    s.Port = 2121;
    s.LogonType = 4;
    s.TransferType = 2;
    s.TransferMode = 2;
    s.NameEncoding = 1;
    s.SiteFlags = 0x02;
    s.AbundantString1 = QStringLiteral("/a");
    s.AbundantString2 = QStringLiteral("/b");
    s.AbundantString3 = QStringLiteral("/c");
    s.LocalProjectFolder = QStringLiteral("/l");
    s.HttpBase = QStringLiteral("w");
    list.Current.SessionFlag = 1;
    const qint32 id = s.Id;

    list.ResetCurrentSiteOnClose();
    EXPECT_EQ(s.Port, 21);
    EXPECT_EQ(s.LogonType, 0);
    EXPECT_EQ(s.TransferType, 1);
    EXPECT_EQ(s.TransferMode, 0);
    EXPECT_EQ(s.NameEncoding, 0);
    EXPECT_EQ(s.SiteFlags, 0x01);
    EXPECT_EQ(s.AbundantString1, QStringLiteral("/public_html"));
    EXPECT_EQ(s.AbundantString2, QStringLiteral("/www"));
    EXPECT_EQ(list.Current.SessionFlag, 0);
    EXPECT_EQ(s.AbundantString3, QStringLiteral("/c"));
    EXPECT_EQ(s.Host, QStringLiteral("ftp.example.org"));
    EXPECT_EQ(s.User, QStringLiteral("u"));
    EXPECT_EQ(s.Password, QStringLiteral("p"));
    EXPECT_EQ(s.LocalProjectFolder, QStringLiteral("/l"));
    EXPECT_EQ(s.HttpBase, QStringLiteral("w"));
    EXPECT_EQ(s.Id, id);
}

}  // namespace
