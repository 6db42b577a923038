// The Command menu after login: FEAT and HELP submenus built from the
// server's answers, one popup per letter, ids from 32921 on.
#include "app/command_ids.h"
#include "app/ui/main_frame.h"
#include "workbench_harness.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

QStringList describe(QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions()) {
        if (a->menu()) {
            for (QAction* w : a->menu()->actions())
                out << QStringLiteral("%1/%2=%3").arg(a->text(), w->text()).arg(w->data().toInt());
        } else {
            out << QStringLiteral("%1=%2%3")
                       .arg(a->text())
                       .arg(a->data().toInt())
                       .arg(a->isEnabled() ? "" : " (disabled)");
        }
    }
    return out;
}

TEST(CommandMenu, FilledFromFeatAndHelpAfterLogin) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    const QStringList runtime = {QStringLiteral("Command"),
                                 QStringLiteral("HELP\t[ runtime commands ]")};
    QMenu* feat = frame.menu(runtime + QStringList{QStringLiteral("FEAT")});
    QMenu* help = frame.menu(runtime + QStringList{QStringLiteral("HELP")});
    ASSERT_TRUE(feat && help);
    EXPECT_EQ(describe(feat), QStringList{"(Empty)=32775 (disabled)"});

    FakeTransport* server =
        h.login("211-Features:\r\n MLST type*;size*;\r\n REST STREAM\r\n MDTM\r\n211 End\r\n",
                "214-Commands:\r\n LIST MLSD\r\n NOOP\r\n214 Help OK.\r\n");
    ASSERT_TRUE(server);
    EXPECT_EQ(describe(feat), (QStringList{"M/MDTM=32921", "M/MLST=32922", "R/REST=32923"}));
    EXPECT_EQ(describe(help), (QStringList{"L/LIST=32924", "M/MLSD=32925", "N/NOOP=32926"}));
    EXPECT_TRUE(frame.action(kCmdCheckCommands)->isEnabled());
    EXPECT_TRUE(frame.action(kCmdReconnect)->isEnabled());

    // Choosing a word asks the server to explain it (queued behind the
    // initial listing).
    for (QAction* a : help->actions()[1]->menu()->actions())
        if (a->data().toInt() == 32925)
            a->trigger();
    const CommandQueue& queue = h.workbench->session().queue();
    ASSERT_GT(queue.size(), 0);
    EXPECT_EQ(queue.at(queue.size() - 1)->steps()[0].wireText(), QByteArray("HELP MLSD"));
}

TEST(CommandMenu, ServerWithoutFeaturesShowsEmpty) {
    WorkbenchHarness h;
    MainFrame frame(*h.workbench);
    ASSERT_TRUE(h.login("211 No features\r\n", "214-Commands:\r\n NOOP\r\n214 OK\r\n"));
    const QStringList runtime = {QStringLiteral("Command"),
                                 QStringLiteral("HELP\t[ runtime commands ]")};
    EXPECT_EQ(describe(frame.menu(runtime + QStringList{QStringLiteral("FEAT")})),
              QStringList{"(Empty)=32775 (disabled)"});
    EXPECT_EQ(describe(frame.menu(runtime + QStringList{QStringLiteral("HELP")})),
              QStringList{"N/NOOP=32921"});
}

}  // namespace
