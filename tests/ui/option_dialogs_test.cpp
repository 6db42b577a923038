#include <gtest/gtest.h>

#include "support/desktop_recorders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"
#include "support/timers_due_within.h"
#include "workbench_harness.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include "app/completion_actions.h"
#include "app/ui/beep_options_dialog.h"
#include "app/ui/color_dialog.h"
#include "app/ui/general_options_sheet.h"
#include "app/ui/shutdown_confirm_dialog.h"
#include "app/ui/shutdown_countdown_dialog.h"
#include "remote/ui/file_action_dialog.h"

namespace {

using Harness = WorkbenchHarness;

TEST(OptionDialogsTest, GeneralOptionsApplyWithoutChangeStaysOpen) {
    AppSettings current;
    current.NormalSplit = 0x40004000;  // carried through untouched
    ScriptedPrompter prompter;
    RecordingHelp help;
    GeneralOptionsSheet sheet(current, prompter, help);
    sheet.show();
    sheet.applyButton()->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("No change")});
    EXPECT_TRUE(sheet.isVisible());

    // A change and back again is no change either.
    sheet.hiddenFilesBox()->setChecked(false);
    sheet.hiddenFilesBox()->setChecked(true);
    sheet.applyButton()->click();
    EXPECT_EQ(prompter.messages().size(), 2);
    EXPECT_TRUE(sheet.isVisible());

    sheet.keepAliveIntervalCombo()->setCurrentIndex(0);  // "Do not active server"
    sheet.applyButton()->click();
    EXPECT_EQ(prompter.messages().size(), 2);
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_FALSE(sheet.isVisible());
    const AppSettings chosen = sheet.settings();
    EXPECT_EQ(chosen.KeepAliveInterval, 0);
    EXPECT_EQ(chosen.NormalSplit, 0x40004000);
    EXPECT_EQ(chosen.LocalShowFlags, current.LocalShowFlags);
    EXPECT_TRUE(KeepAliveSwitched(current, chosen));
}

TEST(OptionDialogsTest, ColorDialogSaysNoChangeAndReturnsTheNewColour) {
    ScriptedPrompter prompter;
    ColorDialog dialog(0x00D2FFFF, prompter,
                       QStringLiteral("Change local project background color"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change local project background color"));
    dialog.show();
    dialog.applyButton()->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("No change")});
    EXPECT_TRUE(dialog.isVisible());

    dialog.newField(2)->setText(QStringLiteral("16"));
    EXPECT_EQ(dialog.newSwatch()->palette().color(QPalette::Window), QColor(255, 255, 16));
    dialog.newField(0)->clear();  // refused with a message, nothing accepted
    dialog.applyButton()->click();
    EXPECT_EQ(prompter.messages().last(), QString::fromLatin1(ColorDialog::kBadValue));
    EXPECT_TRUE(dialog.isVisible());
    dialog.newField(0)->setText(QStringLiteral("1"));
    dialog.applyButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.colorRef(), 0x0010FF01);
}

TEST(OptionDialogsTest, BeepDialogTestsUntilStoppedAndRefusesNoChange) {
    RecordingBeeper beeper;
    ScriptedPrompter prompter;
    BeepOptions opened;
    opened.notContinually = true;
    opened.frequency = 1000;
    opened.minutes = 1;
    BeepOptionsDialog dialog(opened, beeper, prompter);
    dialog.show();
    EXPECT_FALSE(dialog.minutesSpin()->isEnabled());
    EXPECT_EQ(dialog.minutesLabel()->text(), QStringLiteral("1 minute"));

    dialog.frequencySlider()->setValue(440);
    dialog.testButton()->click();
    EXPECT_EQ(dialog.testButton()->text(), QStringLiteral("Stop"));
    ASSERT_EQ(beeper.beeps.size(), 1);
    EXPECT_EQ(beeper.beeps[0], qMakePair(440, 20));
    ASSERT_TRUE(Harness::waitFor([&] { return beeper.beeps.size() >= 2; }, 3000));
    dialog.testButton()->click();
    EXPECT_EQ(dialog.testButton()->text(), QStringLiteral("Test"));
    const int count = beeper.beeps.size();
    EXPECT_FALSE(dialog.testing());
    // The next test beep would have been due one interval after the last.
    ASSERT_TRUE(RunTimersDueWithin(kBeepIntervalMs * 11 / 10));
    EXPECT_EQ(beeper.beeps.size(), count);

    // Moved and back: "No change.", still open.
    dialog.frequencySlider()->setValue(1000);
    dialog.applyButton()->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("No change.")});
    EXPECT_TRUE(dialog.isVisible());

    dialog.testButton()->click();
    dialog.notContinuallyBox()->setChecked(false);
    EXPECT_TRUE(dialog.minutesSpin()->isEnabled());
    dialog.minutesSpin()->setValue(3);
    EXPECT_EQ(dialog.minutesLabel()->text(), QStringLiteral("3 minutes"));
    dialog.applyButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.testing());
    EXPECT_EQ(dialog.options(), (BeepOptions{false, 1000, 3}));
}

TEST(OptionDialogsTest, ShutdownIsConfirmedThenCountedDown) {
    AppSettings settings;
    RecordingBeeper beeper;
    RecordingShutdown shutdown;
    CompletionActions completion(settings, beeper, shutdown);
    ScriptedPrompter messages;
    QWidget frame;
    frame.show();
    ShutdownConfirmPrompter confirm(messages, &frame);

    // The confirmation shows the rule's text; "Cancel" leaves the flag clear, "Apply" sets it.
    const auto answer = [](bool apply, QString* shownText) {
        QTimer::singleShot(0, [apply, shownText] {
            auto* dialog = qobject_cast<ShutdownConfirmDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("You want to shutdown ..."));
            *shownText = dialog->textLabel()->text();
            (apply ? dialog->applyButton() : dialog->cancelButton())->click();
        });
    };
    QString shown;
    answer(false, &shown);
    EXPECT_FALSE(completion.toggleShutdown(kCmdShutdownSystem, confirm));
    EXPECT_EQ(shown, shutdownConfirmationText(true));
    answer(true, &shown);
    EXPECT_TRUE(completion.toggleShutdown(kCmdShutdownSystem, confirm));
    EXPECT_EQ(completion.shutdownFlags(), kShutdownSystem);

    ShutdownCountdownDialog::watch(completion, &frame);
    completion.runShutdownCheck();
    auto* dialog = frame.findChild<ShutdownCountdownDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->line()->accessibleName(),
              QStringLiteral("System will be shutdown in 30 seconds"));
    for (int i = 0; i < 29; ++i)
        completion.onCountdownTimer();
    EXPECT_EQ(dialog->line()->accessibleName(),
              QStringLiteral("System will be shutdown in 1 second"));
    dialog->cancelButton()->click();
    EXPECT_EQ(completion.countdown(), nullptr);
    EXPECT_EQ(completion.shutdownFlags(), kShutdownSystem);  // the flags stay
    ASSERT_TRUE(Harness::waitFor([&] { return !frame.findChild<ShutdownCountdownDialog*>(); }));

    completion.runShutdownCheck();
    dialog = frame.findChild<ShutdownCountdownDialog*>();
    ASSERT_NE(dialog, nullptr);
    dialog->shutdownNowButton()->click();
    EXPECT_EQ(shutdown.calls, 1);
    EXPECT_FALSE(dialog->isVisible());
}

TEST(OptionDialogsTest, FileActionDialogStoresOnlyOnApply) {
    RecordingHelp help;
    TransferAlertOptions options;
    options.fileAction = TransferAlertOptions::Resume;
    options.ifLarger = 5;  // shows as "Overwrite"
    FileActionDialog dialog(TransferDirection::Download, options, false, help);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Download file action"));
    EXPECT_FALSE(dialog.actionRadio(TransferAlertOptions::Resume)->isEnabled());
    EXPECT_TRUE(dialog.resumeGroup()->isEnabled());
    dialog.actionRadio(TransferAlertOptions::SkipIfExists)->click();
    EXPECT_FALSE(dialog.resumeGroup()->isEnabled());
    dialog.doNotShowBox()->setChecked(true);
    const TransferAlertOptions chosen = dialog.options();
    EXPECT_EQ(chosen.fileAction, TransferAlertOptions::SkipIfExists);
    EXPECT_EQ(chosen.ifLarger, TransferAlertOptions::Overwrite);
    EXPECT_EQ(chosen.showAlert, 0);
}

}  // namespace
