#include <gtest/gtest.h>

#include "platform/program_texts.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/file_input_dialog.h"

namespace {

TEST(FileInputDialogTest, OkFollowsTheModeRules) {
    const QString program = QStringLiteral("/opt/tool/run");
    const FileExists exists = [&](const QString& path) { return path == program; };
    const struct {
        FileInputMode mode;
        QString text;
        QString message;  // empty: accepted
    } cases[] = {
        {FileInputMode::Add, QString(), QString::fromLatin1(ToolTexts::kInputFile)},
        {FileInputMode::Add, QStringLiteral("/opt/tool/gone"),
         QString::fromLatin1(ToolTexts::kFileMissing)},
        {FileInputMode::Add, program, QString()},
        {FileInputMode::Test, QString(), QString::fromLatin1(ToolTexts::kInputFile)},
        {FileInputMode::Test, QStringLiteral("http://h/a.htm"), QString()},  // not a program
    };
    for (const auto& c : cases) {
        ScriptedPrompter prompter;
        FileInputDialog dialog(c.mode, prompter, nullptr, exists);
        dialog.show();
        EXPECT_EQ(dialog.httpBox()->isVisible(), c.mode == FileInputMode::Add);
        EXPECT_EQ(dialog.note()->text(), FileInputNote(c.mode));
        dialog.edit()->setText(c.text);
        dialog.httpBox()->setChecked(true);
        dialog.okButton()->click();
        EXPECT_EQ(prompter.messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message})
            << c.text.toStdString();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.message.isEmpty())
            << c.text.toStdString();
        // Only a program added by hand can be an HTTP tool.
        EXPECT_EQ(dialog.isHttp(), c.mode == FileInputMode::Add);
    }
}

}  // namespace
