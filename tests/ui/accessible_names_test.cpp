// What a screen reader reads of the main window: every control has a name,
// names read as the screen shows them, and no column is called by a number.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QMenu>

#include "app/ui/main_frame.h"
#include "support/scripted_prompter.h"
#include "workbench_harness.h"

namespace {

// Roles a user acts on or moves through, which need a name to be told apart.
bool NeedsName(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::MenuItem:
        case QAccessible::PageTab:
        case QAccessible::PageTabList:
        case QAccessible::Tree:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::ColumnHeader:
        case QAccessible::ToolBar:
            return true;
        default:
            return false;
    }
}

void Collect(QAccessibleInterface* iface, const QString& path, QStringList& faults,
             QStringList& entries, int depth) {
    if (!iface || depth > 40)
        return;
    const QString name = iface->text(QAccessible::Name);
    if (iface->role() == QAccessible::MenuItem || iface->role() == QAccessible::PushButton)
        entries << name + QLatin1Char('|') + iface->text(QAccessible::Accelerator);
    const QString here = path + QLatin1Char('/') + name;
    if (name.contains(QLatin1Char('\t')))
        faults << QStringLiteral("tab in name: ") + here;
    if (NeedsName(iface->role()) && name.trimmed().isEmpty())
        faults << QStringLiteral("no name, role %1: ").arg(int(iface->role())) + here;
    bool number = false;
    name.toInt(&number);
    if (iface->role() == QAccessible::ColumnHeader && number)
        faults << QStringLiteral("numbered column: ") + here;
    // Rows are data, not controls: their cells are skipped.
    if (iface->role() == QAccessible::Cell || iface->role() == QAccessible::TreeItem)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        Collect(iface->child(i), here, faults, entries, depth + 1);
}

TEST(AccessibleNames, MainWindowReadsAsItShows) {
    WorkbenchHarness h;
    ScriptedPrompter prompter;
    MainFrame::Services services;
    services.prompter = &prompter;
    MainFrame frame(*h.workbench, services);
    frame.show();
    QStringList faults;
    QStringList entries;
    Collect(QAccessible::queryAccessibleInterface(&frame), QString(), faults, entries, 0);
    EXPECT_TRUE(faults.isEmpty()) << qPrintable(faults.join(QLatin1Char('\n')));
    // Both columns of a menu entry in its name, the keys in the accelerator.
    for (const char* entry : {"Check FTP commands|", "HELP [ runtime commands ]|",
                              "CWD change working directory|", "Connect|Ctrl+O"})
        EXPECT_TRUE(entries.contains(QString::fromUtf8(entry))) << entry;
    // The tool bar's button reads as the menu entry does.
    EXPECT_EQ(entries.count(QStringLiteral("Check FTP commands|")), 2);
}

}  // namespace
