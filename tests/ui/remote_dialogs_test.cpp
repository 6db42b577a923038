// The remote side's dialogs as a user meets them: what they start from and
// what their buttons refuse.
#include "remote/ui/file_action_dialog.h"
#include "remote/ui/permissions_dialog.h"
#include "support/desktop_recorders.h"
#include "support/scripted_prompter.h"

#include <QTreeWidget>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <QTest>

#include <gtest/gtest.h>

namespace {

RemoteItem entry(char kind, const QByteArray& name, const QByteArray& permissions) {
    RemoteItem i;
    i.kind = kind;
    i.name = name;
    i.permissions = permissions;
    return i;
}

QString checkedBoxes(const PermissionsDialog& d) {
    QString bits;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            bits += d.bitBox(r, c)->isChecked() ? QLatin1Char("rwx"[c]) : QLatin1Char('-');
    return bits;
}

TEST(PermissionsDialog, StartsFromTheListedModeOrFromNothingChecked) {
    ScriptedPrompter prompter;
    {
        PermissionsDialog d({entry('-', "a.txt", "rw-r--r--")}, false, prompter);
        EXPECT_EQ(checkedBoxes(d), "rw-r--r--");
        EXPECT_EQ(d.numericField()->text(), "644");
        EXPECT_TRUE(d.noteLabel()->isHidden());
    }
    // MLSD without a mode fact: nothing is checked and the note says why.
    PermissionsDialog d({entry('-', "a.txt", "")}, false, prompter);
    EXPECT_EQ(checkedBoxes(d), "---------");
    EXPECT_EQ(d.numericField()->text(), "");
    EXPECT_EQ(d.expressionField()->text(), "");
    EXPECT_FALSE(d.noteLabel()->isHidden());
    EXPECT_EQ(d.noteLabel()->text(), "The current mode is unknown: the listing gave none.");
    d.apply();
    EXPECT_EQ(prompter.messages(), QStringList{"Choose the new permissions first."});
    EXPECT_NE(d.result(), QDialog::Accepted);

    // Digits no mode holds are not taken.
    QTest::keyClicks(d.numericField(), "98");
    EXPECT_EQ(d.numericField()->text(), "");
    QTest::keyClicks(d.expressionField(), "rwq");
    EXPECT_EQ(d.expressionField()->text(), "rw");
    d.expressionField()->clear();

    // The first box chosen starts from nothing set.
    d.bitBox(0, 0)->click();
    EXPECT_EQ(d.numericField()->text(), "400");
    EXPECT_EQ(d.expressionField()->text(), "r--------");
    EXPECT_TRUE(d.noteLabel()->isHidden());
    d.apply();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.request().mode, "400");
}

}  // namespace

namespace {

TEST(FileActionDialog, ListsWhatIsAtTheTargetWithBothSizesAndDates) {
    RecordingHelp help;
    TransferConflicts conflicts;
    for (int i = 0; i < FileActionDialog::kMaxConflictRows + 3; ++i) {
        TransferConflict c;
        c.name = QStringLiteral("f%1.txt").arg(i);
        c.serverSize = 2048;
        c.localSize = 10;
        c.serverTime = QStringLiteral("2024-01-02  03:04");
        c.localTime = QDateTime(QDate(2024, 5, 6), QTime(7, 8));
        conflicts.conflicts.push_back(c);
    }
    FileActionDialog d(TransferDirection::Upload, TransferAlertOptions(), true, help, nullptr,
                       &conflicts);
    EXPECT_EQ(d.windowTitle(), "Upload file action");
    EXPECT_EQ(d.conflictSummary()->text(), "203 items exist on the server already:");
    QTreeWidget* list = d.conflictList();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->topLevelItemCount(), FileActionDialog::kMaxConflictRows + 1);
    QStringList first;
    for (int c = 0; c < 5; ++c)
        first << list->topLevelItem(0)->text(c);
    EXPECT_EQ(first,
              (QStringList{"f0.txt", "2,048", "2024-01-02  03:04", "10", "2024-05-06  07:08"}));
    EXPECT_EQ(list->topLevelItem(FileActionDialog::kMaxConflictRows)->text(0), "... and 3 more");
}

}  // namespace
