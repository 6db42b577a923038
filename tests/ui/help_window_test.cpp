#include "platform/ui/help_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

bool writePage(const QString& path, const QByteArray& html) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(html) == html.size();
}

// The anchor names a page defines (id attributes and named links alike).
QStringList anchorsOf(const QTextDocument* doc) {
    QStringList out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out << it.fragment().charFormat().anchorNames();
    return out;
}

// Two help folders: the first holds some pages, the second fills in others.
struct HelpRig {
    HelpRig() {
        EXPECT_TRUE(first.isValid() && second.isValid());
        EXPECT_TRUE(writePage(first.filePath("About.htm"),
                              "<html><body><h1>Contents</h1><a href='option.htm#Server_side'>o</a>"
                              "<a href='loop/search.htm'>s</a>"
                              "<a href='https://example.org/x'>web</a></body></html>"));
        EXPECT_TRUE(writePage(first.filePath("option.htm"),
                              "<html><body><h2 id='General_options'>General options</h2>"
                              "<p>text</p><h2 id='Server_side'>Server side</h2></body></html>"));
        EXPECT_TRUE(writePage(second.filePath("loop/search.htm"),
                              "<html><body><h1>Search loop</h1><a href='../About.htm'>up</a>"
                              "</body></html>"));
        window.setExternalOpener([this](const QUrl& u) { opened << u; });
    }
    QString url(const QTemporaryDir& dir, const QString& page, const QString& fragment = {}) {
        QUrl u = QUrl::fromLocalFile(QDir::cleanPath(dir.filePath(page)));
        if (!fragment.isEmpty())
            u.setFragment(fragment);
        return u.toString();
    }
    QString shown() const { return window.browser()->source().toString(); }

    QTemporaryDir first;
    QTemporaryDir second;
    HelpWindow window{QStringList{first.path(), second.path()}};
    QList<QUrl> opened;
};

TEST(HelpWindow, OpensTopicsAtTheirAnchorFromTheFirstFolderThatHoldsThem) {
    HelpRig rig;
    const struct {
        QString topic;
        QString expected;
    } cases[] = {
        {"option.htm#General_options", rig.url(rig.first, "option.htm", "General_options")},
        {"About.htm", rig.url(rig.first, "About.htm")},
        {"loop/search.htm", rig.url(rig.second, "loop/search.htm")},
    };
    for (const auto& c : cases) {
        rig.window.showTopic(c.topic);
        EXPECT_EQ(rig.shown(), c.expected) << c.topic.toStdString();
        EXPECT_TRUE(rig.window.isVisible());
    }
    EXPECT_TRUE(rig.window.browser()->toPlainText().contains("Search loop"));
}

TEST(HelpWindow, AMissingPageSaysSoAndWhereItLooked) {
    HelpRig rig;
    rig.window.showTopic("http.htm#HTTP_issues");
    const QString text = rig.window.browser()->toPlainText();
    EXPECT_TRUE(text.contains("The help page http.htm is missing.")) << text.toStdString();
    EXPECT_TRUE(text.contains(rig.first.path()));
    EXPECT_TRUE(text.contains(rig.second.path()));
    // A topic climbing out of the help folders is missing too, not read.
    rig.window.showTopic("../../etc/passwd");
    EXPECT_TRUE(rig.window.browser()->toPlainText().contains("is missing."));
}

TEST(HelpWindow, LinksMoveBetweenPagesAndWebLinksLeave) {
    HelpRig rig;
    rig.window.showTopic("About.htm");
    rig.window.followLink(QUrl("loop/search.htm"));
    EXPECT_EQ(rig.shown(), rig.url(rig.second, "loop/search.htm"));
    // From the second folder back up: the page is found in the first.
    rig.window.followLink(QUrl("../About.htm"));
    EXPECT_EQ(rig.shown(), rig.url(rig.first, "About.htm"));
    rig.window.followLink(QUrl("option.htm#Server_side"));
    EXPECT_EQ(rig.shown(), rig.url(rig.first, "option.htm", "Server_side"));
    EXPECT_TRUE(rig.window.browser()->isBackwardAvailable());
    rig.window.browser()->backward();
    EXPECT_EQ(rig.shown(), rig.url(rig.first, "About.htm"));

    rig.window.followLink(QUrl("https://example.org/x"));
    EXPECT_EQ(rig.opened, QList<QUrl>{QUrl("https://example.org/x")});
    EXPECT_EQ(rig.shown(), rig.url(rig.first, "About.htm"));
}

TEST(HelpWindow, EveryTopicTheProgramOpensHasItsPageAndAnchor) {
    // The shipped pages, as the built program finds them.
    HelpWindow window;
    const QStringList topics = {
        "About.htm",
        "option.htm#General_options",
        "pages.htm#Normal_page",
        "pages.htm#Local_project_page",
        "pages.htm#Remote_project_page",
        "pages.htm#Concerned_file_page",
        "pages.htm#FTP_chat_page",
        "http.htm#HTTP_issues",
        "http.htm#Add_Tools",
        "menu/command.htm",
        "loop/compare.htm",
        "loop/search.htm",
        "loop/changecase.htm",
        "dialog/updnalert.htm",
        "sites.htm",
        "transfers.htm",
        "tasks.htm",
        "wizard.htm",
        "beep.htm",
        "banner.htm",
    };
    for (const QString& topic : topics) {
        window.showTopic(topic);
        const QString text = window.browser()->toPlainText();
        EXPECT_FALSE(text.contains("is missing.")) << topic.toStdString();
        const qsizetype hash = topic.indexOf('#');
        if (hash >= 0) {
            const QString anchor = topic.mid(hash + 1);
            EXPECT_TRUE(anchorsOf(window.browser()->document()).contains(anchor))
                << topic.toStdString();
        }
    }
}

}  // namespace
