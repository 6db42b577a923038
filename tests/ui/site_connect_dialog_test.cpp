#include <gtest/gtest.h>

#include "support/desktop_recorders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "app/publish_settings.h"
#include "app/site_list.h"
#include "app/site_rules.h"
#include "app/ui/site_connect_dialog.h"
#include "app/ui/site_list_model.h"
#include "app/ui/site_name_dialog.h"
#include "app/ui/site_pages.h"

namespace {

SiteRecord site(const char* name) {
    SiteRecord r;
    r.Name = QString::fromLatin1(name);
    r.Host = QStringLiteral("ftp.") + r.Name + QStringLiteral(".org");
    r.User = QStringLiteral("u");
    r.Password = QStringLiteral("p");
    return r;
}

struct SiteDialogFixture : ::testing::Test {
    SiteList sites;
    ScriptedPrompter prompter;
    RecordingHelp help;

    std::unique_ptr<SiteConnectDialog> open(const QString& name = {}) {
        auto dialog = std::make_unique<SiteConnectDialog>(sites, prompter, help);
        dialog->setNameAsker([name](SiteNameDialog::Mode, int, const SiteConnectDialog::NameTexts&)
                                 -> std::optional<SiteConnectDialog::NameTexts> {
            return SiteConnectDialog::NameTexts{name, QStringLiteral("c")};
        });
        dialog->show();
        return dialog;
    }
};

TEST_F(SiteDialogFixture, NewSiteThenConnectStoresAndSelectsIt) {
    sites.Records.push_back(site("old"));
    auto dialog = open(QStringLiteral("home"));
    dialog->newSite();
    ASSERT_EQ(sites.Records.size(), 2u);
    EXPECT_EQ(dialog->selectedRow(), 1);
    EXPECT_EQ(dialog->view()->currentIndex().row(), 1);
    SitePages* pages = dialog->pages();
    EXPECT_EQ(pages->portEdit()->text(), QStringLiteral("21"));  // a fresh default record

    pages->hostEdit()->setText(QStringLiteral("ftp.home.net"));
    pages->userEdit()->setText(QStringLiteral("me"));
    // Missing password: refused, stays open.
    dialog->connectButton()->click();
    EXPECT_EQ(prompter.messages(), QStringList{SiteMessages::kInputPassword});
    EXPECT_TRUE(dialog->isVisible());

    pages->passwordEdit()->setText(QStringLiteral("secret"));
    dialog->connectButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(sites.SelectedIndex, 1);
    EXPECT_EQ(sites.Records[1].Name, QStringLiteral("home"));
    EXPECT_EQ(sites.Records[1].Host, QStringLiteral("ftp.home.net"));
    EXPECT_EQ(sites.Records[1].Password, QStringLiteral("secret"));
}

// Tab leaves the site list for the fields: a keyboard reaches every page.
TEST_F(SiteDialogFixture, TabLeavesTheSiteList) {
    sites.Records.push_back(site("a"));
    sites.Records.push_back(site("b"));
    auto dialog = open();
    dialog->activateWindow();
    dialog->view()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->view()->hasFocus(); }, 2000));
    QTest::keyClick(dialog->view(), Qt::Key_Tab);
    EXPECT_FALSE(dialog->view()->hasFocus());
}

TEST_F(SiteDialogFixture, TypedLineBreaksNeverReachTheRecord) {
    sites.Records.push_back(site("a"));
    const SiteRecord before = sites.Records[0];
    const struct {
        QLineEdit* (SitePages::*field)() const;
        QString message;
    } cases[] = {
        {&SitePages::hostEdit, SiteMessages::kHostLineBreak},
        {&SitePages::userEdit, SiteMessages::kUserLineBreak},
        {&SitePages::passwordEdit, SiteMessages::kPasswordLineBreak},
    };
    for (const auto& c : cases) {
        ScriptedPrompter local;
        SiteConnectDialog dialog(sites, local, help);
        dialog.show();
        (dialog.pages()->*c.field)()->setText(QStringLiteral("x\r\nQUIT"));
        dialog.connectButton()->click();
        dialog.saveButton()->click();
        EXPECT_EQ(local.messages(), (QStringList{c.message, c.message}));
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(sites.Records[0], before) << c.message.toStdString();
    }
}

TEST_F(SiteDialogFixture, CurrentSiteCannotBeDeleted) {
    sites.Records = {site("a"), site("b"), site("c")};
    sites.Current.Site = sites.Records[0];
    auto dialog = open();
    prompter.expectQuestion(SiteMessages::kDeleteQuestion, true);
    dialog->deleteRow(0);
    EXPECT_EQ(prompter.messages(), QStringList{SiteMessages::kCannotDeleteCurrent});
    EXPECT_EQ(sites.Records.size(), 3u);

    prompter.expectQuestion(SiteMessages::kDeleteQuestion, false);
    dialog->deleteRow(2);
    EXPECT_EQ(sites.Records.size(), 3u);

    // The last row goes: its predecessor is selected and shown.
    prompter.expectQuestion(SiteMessages::kDeleteQuestion, true);
    dialog->deleteRow(2);
    ASSERT_EQ(sites.Records.size(), 2u);
    EXPECT_EQ(dialog->selectedRow(), 1);
    EXPECT_EQ(dialog->pages()->hostEdit()->text(), QStringLiteral("ftp.b.org"));
}

TEST_F(SiteDialogFixture, DeletingTheOnlySiteShowsADefaultRecord) {
    sites.Records = {site("a")};
    auto dialog = open();
    prompter.answer(true);
    dialog->deleteRow(0);
    EXPECT_TRUE(sites.Records.empty());
    EXPECT_EQ(dialog->selectedRow(), -1);
    EXPECT_FALSE(dialog->connectButton()->isEnabled());
    EXPECT_FALSE(dialog->saveButton()->isEnabled());
    EXPECT_TRUE(dialog->pages()->hostEdit()->text().isEmpty());
    EXPECT_EQ(dialog->pages()->portEdit()->text(), QStringLiteral("21"));
}

TEST_F(SiteDialogFixture, SavingTheCurrentSiteAsksOrRefuses) {
    sites.Records = {site("a")};
    sites.Current.Site = sites.Records[0];
    auto dialog = open();
    SitePages* pages = dialog->pages();

    // A field that does not define the connection: asked, stored in both on Yes.
    pages->httpBaseEdit()->setText(QStringLiteral("www.a.org"));
    prompter.expectQuestion(SiteMessages::kChangingCurrentQuestion, true);
    dialog->saveButton()->click();
    EXPECT_EQ(sites.Records[0].HttpBase, QStringLiteral("www.a.org"));
    EXPECT_EQ(sites.Current.Site.HttpBase, QStringLiteral("www.a.org"));

    // The host defines it: refused, nothing stored.
    pages->hostEdit()->setText(QStringLiteral("other.org"));
    dialog->saveButton()->click();
    EXPECT_EQ(prompter.messages(), QStringList{SiteMessages::kCannotChangeCurrent});
    EXPECT_EQ(sites.Records[0].Host, QStringLiteral("ftp.a.org"));
    EXPECT_EQ(sites.Current.Site.Host, QStringLiteral("ftp.a.org"));
}

// The LIST time offset is kept per server beside the sites: a text that is no
// offset is refused with nothing stored, an empty one forgets it.
TEST_F(SiteDialogFixture, TimeOffsetIsCheckedAndKeptForTheServer) {
    sites.Records = {site("a"), site("b")};
    PublishSettings publish;
    publish.setOffset(QStringLiteral("ftp.a.org"), 21, 2 * 3600);
    auto dialog = open();
    dialog->setPublishSettings(&publish);
    QLineEdit* offset = dialog->pages()->timeOffsetEdit();
    dialog->selectRow(0);
    EXPECT_EQ(offset->text(), QStringLiteral("+02:00"));
    dialog->selectRow(1);
    EXPECT_EQ(offset->text(), QString());

    const struct {
        const char* typed;
        bool refused;
        std::optional<qint32> kept;
    } rows[] = {
        {"+25:00", true, std::nullopt},
        {"soon", true, std::nullopt},
        {"-05:30", false, -(5 * 3600 + 30 * 60)},
        {"", false, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const qsizetype told = prompter.messages().size();
        offset->setText(QString::fromLatin1(row.typed));
        dialog->saveButton()->click();
        EXPECT_EQ(prompter.messages().size() > told, row.refused);
        EXPECT_EQ(publish.offsetFor(QStringLiteral("ftp.b.org"), 21), row.kept);
    }
    EXPECT_EQ(publish.offsetFor(QStringLiteral("ftp.a.org"), 21), 2 * 3600);
}

TEST_F(SiteDialogFixture, PagesFollowTheRowsAndTheirRules) {
    sites.Records = {site("a"), site("b")};
    sites.Records[1].LogonType = SiteRecord::kLogonAnonymous;
    sites.Records[1].LocalProjectFolder = QStringLiteral("/home/me/site");
    sites.SelectedIndex = 7;  // out of range: normalised to 0
    auto dialog = open();
    EXPECT_EQ(dialog->selectedRow(), 0);
    EXPECT_TRUE(dialog->pages()->userEdit()->isEnabled());

    dialog->view()->setCurrentIndex(dialog->model()->index(1, 0));
    EXPECT_EQ(dialog->selectedRow(), 1);
    SitePages* pages = dialog->pages();
    EXPECT_FALSE(pages->userEdit()->isEnabled());  // anonymous
    pages->logonCombo()->setCurrentIndex(SiteRecord::kLogonNormal);
    EXPECT_TRUE(pages->userEdit()->isEnabled());

    // "x" asks first and empties the field on Yes.
    ASSERT_TRUE(pages->removeLocalFolderButton()->isEnabled());
    prompter.expectQuestion(QStringLiteral("Remove local project Folder?"), false);
    pages->removeLocalFolderButton()->click();
    EXPECT_FALSE(pages->localFolderEdit()->text().isEmpty());
    prompter.expectQuestion(QStringLiteral("Remove local project Folder?"), true);
    pages->removeLocalFolderButton()->click();
    EXPECT_TRUE(pages->localFolderEdit()->text().isEmpty());
    EXPECT_FALSE(pages->removeLocalFolderButton()->isEnabled());
}

TEST_F(SiteDialogFixture, DropMovesTheSiteAfterTheTarget) {
    sites.Records = {site("a"), site("b"), site("c"), site("d")};
    auto dialog = open();
    SiteListModel* model = dialog->model();
    const auto names = [&] {
        QStringList out;
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString();
        return out;
    };
    const auto drop = [&](int row, int target) {
        std::unique_ptr<QMimeData> data(model->mimeData({model->index(row, 0)}));
        const QModelIndex on = target >= 0 ? model->index(target, 0) : QModelIndex();
        model->dropMimeData(data.get(), Qt::MoveAction, -1, -1, on);
    };
    drop(0, 2);
    EXPECT_EQ(names(), (QStringList{"b", "c", "a", "d"}));
    EXPECT_EQ(dialog->selectedRow(), 2);
    EXPECT_EQ(dialog->pages()->hostEdit()->text(), QStringLiteral("ftp.a.org"));
    drop(3, 2);   // on the row just above: nothing changes
    drop(1, -1);  // outside every row
    EXPECT_EQ(names(), (QStringList{"b", "c", "a", "d"}));
    drop(3, 0);
    EXPECT_EQ(names(), (QStringList{"b", "d", "c", "a"}));
    EXPECT_EQ(sites.Records[1].Name, QStringLiteral("d"));
}

TEST_F(SiteDialogFixture, NameDialogChecksTheList) {
    sites.Records = {site("a")};
    const struct {
        SiteNameDialog::Mode mode;
        const char* name;
        QString message;
    } cases[] = {
        {SiteNameDialog::Mode::New, "", SiteMessages::kInputName},
        {SiteNameDialog::Mode::New, "a", SiteMessages::kNameCommentUsed},
        {SiteNameDialog::Mode::Edit, "a", SiteMessages::kChangeNameOrComment},
        {SiteNameDialog::Mode::New, "b", QString()},
    };
    for (const auto& c : cases) {
        ScriptedPrompter local;
        SiteNameDialog dialog(sites, c.mode, 0, local);
        EXPECT_EQ(dialog.windowTitle(), c.mode == SiteNameDialog::Mode::New
                                            ? QStringLiteral("New site")
                                            : QStringLiteral("Edit site"));
        dialog.show();
        dialog.setTexts(QString::fromLatin1(c.name), QString());
        dialog.okButton()->click();
        EXPECT_EQ(local.messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.message.isEmpty()) << c.name;
    }
}

TEST_F(SiteDialogFixture, HelpButtonsOpenTheirTopics) {
    auto dialog = open();
    for (QPushButton* button : dialog->pages()->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Help"))
            button->click();
    }
    help.topics.sort();
    EXPECT_EQ(help.topics, (QStringList{QStringLiteral("http.htm#HTTP_issues"),
                                        QStringLiteral("pages.htm#Local_project_page")}));
}

}  // namespace

namespace {

TEST(SitePagesTest, CollectKeepsWhatThePagesCannotShow) {
    ScriptedPrompter prompter;
    RecordingHelp help;
    SitePages pages(prompter, help);
    SiteRecord stored;
    stored.LogonType = 7;     // shows as "Normal"
    stored.TransferType = 9;  // shows as the first choice
    stored.TransferMode = 5;  // the reserved page is never read back
    stored.NameEncoding = 2;
    stored.SiteFlags = SiteRecord::kBypassProxy;  // "always LIST"
    stored.Port = -1;
    pages.showRecord(stored);
    EXPECT_EQ(pages.logonCombo()->currentIndex(), 0);
    EXPECT_TRUE(pages.portEdit()->text().isEmpty());
    EXPECT_EQ(pages.collect(stored), stored);

    pages.logonCombo()->setCurrentIndex(SiteRecord::kLogonAnonymous);
    pages.transferTypeCombo()->setCurrentIndex(SiteRecord::kTransferAscii);
    pages.portEdit()->setText(QStringLiteral("2121"));
    const SiteRecord collected = pages.collect(stored);
    EXPECT_EQ(collected.LogonType, SiteRecord::kLogonAnonymous);
    EXPECT_EQ(collected.TransferType, SiteRecord::kTransferAscii);
    EXPECT_EQ(collected.Port, 2121);
    EXPECT_EQ(collected.TransferMode, 5);
    EXPECT_EQ(collected.SiteFlags, SiteRecord::kBypassProxy);
}

}  // namespace

TEST_F(SiteDialogFixture, AHostTypedBeforeNewSiteStaysWithIt) {
    // No site yet: what the pages hold becomes the new site.
    auto dialog = open(QStringLiteral("typed"));
    SitePages* pages = dialog->pages();
    pages->hostEdit()->setText(QStringLiteral("ftp.example.org"));
    pages->userEdit()->setText(QStringLiteral("me"));
    dialog->newSite();
    ASSERT_EQ(sites.Records.size(), 1u);
    EXPECT_EQ(sites.Records[0].Name, "typed");
    EXPECT_EQ(sites.Records[0].Host, "ftp.example.org");
    EXPECT_EQ(pages->hostEdit()->text(), "ftp.example.org");
    EXPECT_EQ(pages->userEdit()->text(), "me");

    // A site selected and edited: its edits are offered to it first.
    pages->passwordEdit()->setText(QStringLiteral("pw"));
    prompter.expectQuestion("Save the changes made to the site \"typed\" first?", true);
    dialog->newSite();
    ASSERT_EQ(sites.Records.size(), 2u);
    EXPECT_EQ(sites.Records[0].Password, "pw");
    EXPECT_EQ(sites.Records[1].Host, "");
    EXPECT_EQ(dialog->selectedRow(), 1);
}

// Edits of a site are offered to it before another site is shown or the
// dialog closes; a save that is refused keeps the site and its edits.
TEST_F(SiteDialogFixture, EditsAreOfferedBeforeTheyWouldGo) {
    enum How { Close, Choose, Delete, Duplicate };  // the first site's edits, then this
    const struct {
        const char* what;
        How how;
        const char* user;  // typed into the first site
        bool yes;
        const char* stored;  // the first site's user afterwards
        bool left;           // the dialog closed or another site shown
    } cases[] = {
        {"close, saved", Close, "me", true, "me", true},
        {"close, thrown away", Close, "me", false, "u", true},
        {"another site, saved", Choose, "me", true, "me", true},
        {"another site, thrown away", Choose, "me", false, "u", true},
        {"close, the save refused", Close, "", true, "u", false},
        {"another site, the save refused", Choose, "", true, "u", false},
        {"another site deleted, saved", Delete, "me", true, "me", true},
        {"duplicated, the save refused", Duplicate, "", true, "u", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sites = SiteList{};
        sites.Records = {site("one"), site("two"), site("three")};
        ScriptedPrompter asked;
        SiteConnectDialog dialog(sites, asked, help);
        dialog.setNameAsker([](SiteNameDialog::Mode, int, const SiteConnectDialog::NameTexts&) {
            return std::optional(SiteConnectDialog::NameTexts{"copy", ""});
        });
        dialog.show();
        ASSERT_EQ(dialog.selectedRow(), 0);
        dialog.pages()->userEdit()->setText(QString::fromLatin1(c.user));
        if (c.how == Delete)
            asked.expectQuestion(SiteMessages::kDeleteQuestion, true);
        asked.expectQuestion("Save the changes made to the site \"one\" first?", c.yes);
        switch (c.how) {
            case Close:
                QTest::keyClick(&dialog, Qt::Key_Escape);
                break;
            case Choose:
                dialog.view()->selectRow(1);
                break;
            case Delete:
                dialog.deleteRow(2);
                break;
            case Duplicate:
                dialog.duplicateRow(1);
                break;
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(sites.Records[0].User, QString::fromLatin1(c.stored));
        if (c.how == Close)
            EXPECT_EQ(dialog.isVisible(), !c.left);
        else
            EXPECT_EQ(dialog.selectedRow() != 0, c.left);
        if (!c.left) {
            EXPECT_EQ(asked.messages(), QStringList{SiteMessages::kInputUser});
            EXPECT_EQ(dialog.view()->currentIndex().row(), 0);
            EXPECT_EQ(dialog.pages()->userEdit()->text(), QString::fromLatin1(c.user));
        }
    }
}

TEST_F(SiteDialogFixture, ProjectFoldersAreTypedOrBrowsedAndChecked) {
    QTemporaryDir folder;
    SiteRecord r = site("web");
    r.Password = QStringLiteral("pw");
    sites.Records.push_back(r);
    auto dialog = open();
    SitePages* pages = dialog->pages();
    EXPECT_FALSE(pages->localFolderEdit()->isReadOnly());
    EXPECT_FALSE(pages->remoteFolderEdit()->isReadOnly());
    EXPECT_FALSE(pages->concernedFileEdit()->isReadOnly());

    QString offered;
    pages->setFolderChooser([&](const QString& current) {
        offered = current;
        return folder.path() + QStringLiteral("/");
    });
    pages->localFolderEdit()->setText(QStringLiteral("/start"));
    pages->browseLocalFolderButton()->click();
    EXPECT_EQ(offered, "/start");
    EXPECT_EQ(pages->localFolderEdit()->text(), QDir::cleanPath(folder.path()));

    // Typed paths that name nothing usable are refused with the reason.
    struct Typed {
        QString local, remote, concerned, message;
    };
    const Typed cases[] = {
        {folder.filePath("missing"), "", "",
         "The local project folder does not exist:\n" + folder.filePath("missing")},
        {"relative/dir", "", "", "The local project folder does not exist:\nrelative/dir"},
        {"", "www", "", "The remote project folder is a server path beginning with /"},
        {"", "", "/logs/",
         "The concerned file is a server path beginning with / and ending with the file's name"},
    };
    for (const Typed& t : cases) {
        pages->localFolderEdit()->setText(t.local);
        pages->remoteFolderEdit()->setText(t.remote);
        pages->concernedFileEdit()->setText(t.concerned);
        dialog->saveButton()->click();
        EXPECT_EQ(prompter.messages().last(), t.message);
        EXPECT_EQ(sites.Records[0].LocalProjectFolder, "");
    }
    pages->localFolderEdit()->setText(folder.path());
    pages->remoteFolderEdit()->setText("/www");
    pages->concernedFileEdit()->setText("/logs/error_log");
    dialog->saveButton()->click();
    EXPECT_EQ(sites.Records[0].LocalProjectFolder, folder.path());
    EXPECT_EQ(sites.Records[0].RemoteProjectFolder, "/www");
    EXPECT_EQ(sites.Records[0].ConcernedFile, "/logs/error_log");
}
