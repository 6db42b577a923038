#include "extras/ui/concerned_file_page.h"
#include "extras/ui/ftp_wizard_window.h"
#include "extras/ui/image_canvas.h"
#include "extras/ui/wizard_registry.h"

#include "app/log_font_image.h"
#include "app/site_file.h"
#include "app/workbench.h"
#include "extras/content_rules.h"
#include "session/tcp_transport.h"
#include "support/pyftpdlib_server.h"
#include "support/scripted_prompter.h"
#include "support/server_account.h"
#include "workbench_harness.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThreadPool>

namespace {

// A workbench logged in to a real pyftpdlib server.
struct LiveSite {
    PyftpdlibServer server;
    QTemporaryDir folder;
    TcpTransportFactory transports;
    WorkbenchHarness fakes;
    std::unique_ptr<Workbench> workbench;

    bool connect(const QString& concernedFile) {
        if (!server.start())
            return false;
        SiteRecord site = SiteFor(server, QStringLiteral("Shop"), QStringLiteral("live"));
        site.ConcernedFile = concernedFile;
        workbench = std::make_unique<Workbench>(folder.path(), fakes.services(transports));
        workbench->settings().KeepAliveInterval = 0;
        workbench->sites().Records.push_back(site);
        workbench->sites().SelectedIndex = 0;
        return workbench->connectSelectedSite();
    }
    FtpSession& session() { return workbench->session(); }
    bool idle(int ms = 15000) {
        return WorkbenchHarness::waitFor(
            [&] { return session().loggedIn() && !session().isBusy(); }, ms);
    }
};

QByteArray pngBytes(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

TEST(ConcernedFilePage, RoundTripAgainstARealServer) {
    LiveSite live;
    const QByteArray original("caf\xe9 started\r\nPHP Warning: x\r\n");
    ASSERT_TRUE(live.server.makeDir("logs"));
    ASSERT_TRUE(live.server.writeFile("logs/error_log", original));
    ASSERT_TRUE(live.connect(QStringLiteral("/logs/error_log")))
        << live.server.lastError().toStdString();

    ScriptedPrompter prompter;
    QStringList stored;
    ConcernedFilePage::Hooks hooks;
    hooks.storeConcernedFile = [&](const QString& p) {
        stored << p;
        live.workbench->sites().SetConcernedFile(p);
    };
    ConcernedFilePage page(live.session(), live.workbench->engine(),
                           FontFromLogFont(LogFontImage::textPageDefault()), prompter, hooks);
    EXPECT_TRUE(page.pane()->toPlainText().startsWith("Remark:\n"));
    EXPECT_TRUE(page.pane()->isReadOnly());

    // After login the stored path is fetched and shown; Latin-1 bytes and
    // CR LF line ends read as text.
    const QString shown = QString::fromUtf8("caf\xc3\xa9 started\nPHP Warning: x\n");
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == shown; }, 15000))
        << page.pane()->toPlainText().toStdString();
    EXPECT_EQ(page.nameLabel()->text(), "error_log");
    EXPECT_EQ(page.folderLabel()->text(), "/logs");
    EXPECT_FALSE(page.pane()->isReadOnly());
    EXPECT_FALSE(page.remarkLabel()->isVisibleTo(&page));
    ASSERT_TRUE(live.idle());

    // Changed on the server since it was fetched: the first upload leaves the
    // server's copy and says why; the second, over that change, sends the
    // unedited text back byte for byte.
    ASSERT_TRUE(live.server.writeFile("logs/error_log", "changed meanwhile"));
    for (const QByteArray& after : {QByteArray("changed meanwhile"), original}) {
        prompter.expectQuestion("Upload the concerned file?", true);
        page.upload();
        ASSERT_TRUE(live.idle());
        EXPECT_EQ(live.server.readFile("logs/error_log"), after);
    }

    // Edited, in the encoding and line ends it was shown with.
    page.pane()->moveCursor(QTextCursor::End);
    page.pane()->insertPlainText(QString::fromUtf8("d\xc3\xa9j\xc3\xa0 vu\n"));
    prompter.expectQuestion("Upload the concerned file?", true);
    page.upload();
    ASSERT_TRUE(live.idle());
    const QByteArray edited = original + "d\xe9j\xe0 vu\r\n";
    EXPECT_EQ(live.server.readFile("logs/error_log"), edited);

    // Busy: refused, nothing queued.
    live.session().sendGroup({{"PASV", {}}, {"LIST", {}}});
    ASSERT_TRUE(live.session().isBusy());
    const int queued = live.session().queue().size();
    page.upload();
    EXPECT_EQ(prompter.messages().value(0), "Server is busy, can not upload now.");
    EXPECT_EQ(live.session().queue().size(), queued);
    ASSERT_TRUE(live.idle());

    // Setting the same file again fetches nothing; Refresh fetches the
    // server's bytes.
    ASSERT_TRUE(live.server.writeFile("logs/error_log", "\n\n  \n"));
    page.setConcernedFile("/logs", "error_log");
    EXPECT_FALSE(live.session().isBusy());
    page.refresh();
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.remarkLabel()->isVisibleTo(&page); }, 15000));
    EXPECT_EQ(page.remarkLabel()->text(), "(The file content is empty,\nfile size is 5 bytes)");
    ASSERT_TRUE(live.idle());

    // A rename on the server is followed without fetching.
    live.session().queue().addCommands(
        {{"CWD", "/logs"}, {"RNFR", "error_log"}, {"RNTO", "old_log"}});
    live.session().advance(false);
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(page.path(), "/logs/old_log");
    EXPECT_EQ(page.nameLabel()->text(), "old_log");
    EXPECT_EQ(live.workbench->sites().Current.Site.ConcernedFile, "/logs/old_log");

    // A file that is not there says so instead of waiting.
    page.setConcernedFile("/logs", "nothing");
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return page.remarkLabel()->text() == "The file was not found on the server."; },
        15000));
    EXPECT_TRUE(page.pane()->toPlainText().startsWith("Remark:\n"));
    ASSERT_TRUE(live.idle());

    // "x" clears the page and the site.
    prompter.expectQuestion("Remove concerned file?", true);
    page.remove();
    EXPECT_EQ(page.path(), "");
    EXPECT_EQ(stored.last(), "");
    EXPECT_TRUE(page.pane()->toPlainText().startsWith("Remark:\n"));

    // Logging in to a site with a path shows it; to one without clears it.
    page.loginPath("/logs/old_log");
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "\n\n  \n"; }, 15000));
    ASSERT_TRUE(live.idle());
    page.loginPath("");
    EXPECT_EQ(page.path(), "");
    EXPECT_EQ(page.nameLabel()->text(), "");
    EXPECT_TRUE(page.pane()->toPlainText().startsWith("Remark:\n"));
    EXPECT_FALSE(live.session().isBusy());
}

TEST(ConcernedFilePage, EditsNotUploadedAreOnlyDroppedWhenTheUserSaysSo) {
    LiveSite live;
    ASSERT_TRUE(live.server.makeDir("logs"));
    ASSERT_TRUE(live.server.writeFile("logs/error_log", "one\n"));
    ASSERT_TRUE(live.server.writeFile("logs/other_log", "other\n"));
    ASSERT_TRUE(live.connect(QStringLiteral("/logs/error_log")))
        << live.server.lastError().toStdString();
    ScriptedPrompter prompter;
    ConcernedFilePage::Hooks hooks;
    hooks.storeConcernedFile = [&](const QString& p) {
        live.workbench->sites().SetConcernedFile(p);
    };
    ConcernedFilePage page(live.session(), live.workbench->engine(),
                           FontFromLogFont(LogFontImage::textPageDefault()), prompter, hooks);
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "one\n"; }, 15000));
    ASSERT_TRUE(live.idle());
    const QString drop = QString::fromLatin1(kDropEditsQuestion);
    auto edit = [&](const QString& text) {
        page.pane()->moveCursor(QTextCursor::End);
        page.pane()->insertPlainText(text);
    };

    // Kept: nothing is fetched, neither by Refresh nor by another file.
    edit("two\n");
    prompter.expectQuestion(drop, false);
    page.refresh();
    prompter.expectQuestion(drop, false);
    page.setConcernedFile("/logs", "other_log");
    EXPECT_FALSE(live.session().isBusy());
    EXPECT_EQ(page.pane()->toPlainText(), "one\ntwo\n");
    EXPECT_EQ(page.path(), "/logs/error_log");
    EXPECT_EQ(live.workbench->sites().Current.Site.ConcernedFile, "/logs/error_log");

    // Uploaded: the edits are on the server, Refresh asks nothing.
    prompter.expectQuestion("Upload the concerned file?", true);
    page.upload();
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(live.server.readFile("logs/error_log"), "one\ntwo\n");
    ASSERT_TRUE(live.server.writeFile("logs/error_log", "three\n"));
    page.refresh();
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "three\n"; }, 15000));
    ASSERT_TRUE(live.idle());

    // Dropped on request.
    edit("four\n");
    prompter.expectQuestion(drop, true);
    page.refresh();
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "three\n"; }, 15000));
    ASSERT_TRUE(live.idle());
}

// Another server's file of the same path is fetched afresh at its login: the copy of the first
// server, sent to the second, would replace its file unseen.
TEST(ConcernedFilePage, AnotherServersFileOfTheSamePathIsFetchedAtItsLogin) {
    LiveSite live;
    PyftpdlibServer staging;
    ASSERT_TRUE(live.server.makeDir("logs") && staging.makeDir("logs"));
    ASSERT_TRUE(live.server.writeFile("logs/error_log", "live\n"));
    ASSERT_TRUE(staging.writeFile("logs/error_log", "test\n"));
    ASSERT_TRUE(staging.start()) << staging.lastError().toStdString();
    ASSERT_TRUE(live.connect(QStringLiteral("/logs/error_log")));
    ScriptedPrompter prompter;
    ConcernedFilePage page(live.session(), live.workbench->engine(),
                           FontFromLogFont(LogFontImage::textPageDefault()), prompter, {});
    ASSERT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "live\n"; }, 15000));
    ASSERT_TRUE(live.idle());

    SiteRecord other = SiteFor(staging, QStringLiteral("Staging"), QString());
    other.ConcernedFile = QStringLiteral("/logs/error_log");
    live.workbench->sites().Records.push_back(other);
    live.workbench->sites().SelectedIndex = 1;
    ASSERT_TRUE(live.workbench->connectSelectedSite());
    EXPECT_TRUE(
        WorkbenchHarness::waitFor([&] { return page.pane()->toPlainText() == "test\n"; }, 15000))
        << page.pane()->toPlainText().toStdString();
    ASSERT_TRUE(live.idle());
    prompter.expectQuestion("Upload the concerned file?", true);
    page.upload();
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(staging.readFile("logs/error_log"), "test\n");
}

TEST(FtpWizard, ShowsEachKindOfFileAndOpensOncePerFile) {
    LiveSite live;
    ASSERT_TRUE(live.server.writeFile("pic.png", pngBytes(320, 200)));
    ASSERT_TRUE(live.server.writeFile("blank.txt", "\r\n\r\n \t\r\n"));
    ASSERT_TRUE(
        live.server.writeFile("pack.zip", QByteArray("PK\x03\x04\x14\0\0\0\x08\0data", 14)));
    ASSERT_TRUE(live.server.writeFile("empty.txt", ""));
    ASSERT_TRUE(live.server.writeFile("notes.txt", "one\ntwo\n"));
    ASSERT_TRUE(live.connect(QString())) << live.server.lastError().toStdString();
    ASSERT_TRUE(live.idle());

    ScriptedPrompter prompter;
    WizardRegistry wizards(live.session(), live.workbench->engine(), prompter, {});
    FtpWizardWindow* png = wizards.open("/", "pic.png");
    EXPECT_EQ(png->windowTitle(), "FTP wizard -- /pic.png");
    EXPECT_EQ(png->status(), "Downloading starts, please wait ...");
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return png->view() == FtpWizardWindow::View::Image; }, 15000))
        << png->status().toStdString();
    EXPECT_EQ(png->imageView()->image().size(), QSize(320, 200));
    EXPECT_TRUE(png->imageView()->fit());
    png->action(FtpWizardWindow::ActualSize)->trigger();
    EXPECT_FALSE(png->imageView()->fit());
    EXPECT_FALSE(png->action(FtpWizardWindow::Upload)->isEnabled());
    png->properties();
    EXPECT_EQ(prompter.messages().last(),
              WizardTexts::imageProperties(pngBytes(320, 200).size(), 320, 200));
    // The picture decodes off the window's thread; a view dropped meanwhile
    // (here by text arriving) never gets the late picture.
    png->showContent(pngBytes(640, 400));
    EXPECT_EQ(png->view(), FtpWizardWindow::View::None);
    png->showContent("plain\n");
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(png->view(), FtpWizardWindow::View::Text);
    png->showContent(pngBytes(320, 200));
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return png->view() == FtpWizardWindow::View::Image; }, 15000));
    // A second open of the same file leaves the first window as it is and
    // downloads nothing. The picture can show before the server's 226 is in.
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(wizards.open("/", "pic.png"), png);
    EXPECT_EQ(wizards.count(), 1);
    EXPECT_FALSE(live.session().isBusy());

    const struct {
        const char* name;
        QString status;
    } cases[] = {
        {"blank.txt",
         "Downloading completed: this is a text file of 8 bytes, but all characters "
         "are un-printable."},
        {"pack.zip", "Downloading completed: unknown file format."},
        {"empty.txt", "Downloading completed: length of the file is zero"},
        {"missing.bin", "The file was not found on the server."},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(live.idle());
        FtpWizardWindow* w = wizards.open("/", c.name);
        ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return w->status() == c.status; }, 15000))
            << c.name << ": " << w->status().toStdString();
        EXPECT_EQ(w->view(), FtpWizardWindow::View::None);
    }

    ASSERT_TRUE(live.idle());
    FtpWizardWindow* text = wizards.open("/", "notes.txt");
    ASSERT_TRUE(WorkbenchHarness::waitFor(
        [&] { return text->view() == FtpWizardWindow::View::Text; }, 15000));
    EXPECT_EQ(text->textView()->toPlainText(), "one\ntwo\n");
    text->textView()->moveCursor(QTextCursor::End);
    text->textView()->insertPlainText("three\n");
    ASSERT_TRUE(live.idle());
    prompter.expectQuestion("Upload the wizard file?", true);
    text->upload();
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(live.server.readFile("notes.txt"), "one\ntwo\nthree\n");

    // While busy a re-download is refused; closing drops a waiting download.
    live.session().sendGroup({{"PASV", {}}, {"LIST", {}}});
    text->download();
    EXPECT_EQ(text->status(), "Can not download now, since server is busy.");
    FtpWizardWindow* late = wizards.open("/", "notes2.txt");
    EXPECT_EQ(late->status(), "Can not download now, since server is busy.");
    ASSERT_TRUE(live.idle());
    late->download();
    ASSERT_TRUE(live.session().isBusy());
    QPointer<FtpWizardWindow> gone = late;
    late->close();
    EXPECT_TRUE(WorkbenchHarness::waitFor([&] { return gone.isNull(); }, 2000));
    ASSERT_TRUE(live.idle());
    EXPECT_EQ(live.session().queue().findDirectDownload(DirectPurpose::Viewer, "/", "notes2.txt"),
              -1);
    wizards.closeAll();
}
