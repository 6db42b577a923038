#include "app/tool_dialog_rules.h"

#include <QFileInfo>

#include "platform/program_texts.h"
#include "platform/prompter.h"

bool CheckSearchRequest(const std::vector<ToolRecord>& rows, Prompter& prompter) {
    for (const ToolRecord& row : rows) {
        if (row.Path.isEmpty() || row.File.isEmpty()) {
            return true;
        }
    }
    prompter.showMessage(QString::fromLatin1(ToolTexts::kRemoveForResearch));
    return false;
}

bool AcceptToolName(const QString& name, Prompter& prompter) {
    if (name.isEmpty()) {
        prompter.showMessage(QString::fromLatin1(ToolTexts::kInputName));
        return false;
    }
    return true;
}

bool SameToolRows(const std::vector<ToolRecord>& a, const std::vector<ToolRecord>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].Name != b[i].Name || a[i].Path.compare(b[i].Path, Qt::CaseInsensitive) != 0 ||
            a[i].File.compare(b[i].File, Qt::CaseInsensitive) != 0 ||
            a[i].isHttpTool() != b[i].isHttpTool()) {
            return false;
        }
    }
    return true;
}

ToolSaveOutcome SaveToolRows(const std::vector<ToolRecord>& rows, std::vector<ToolRecord>& stored,
                             Prompter& prompter) {
    if (SameToolRows(rows, stored)) {
        prompter.showMessage(QString::fromLatin1(CommonTexts::kNoChangeStop));
        return ToolSaveOutcome::NoChange;
    }
    stored = rows;
    return ToolSaveOutcome::Replaced;
}

QString ToolKindText(bool isHttp) {
    return QString::fromLatin1(isHttp ? ToolTexts::kKindHttp : ToolTexts::kKindLocal);
}

bool ToolKindIsHttp(const QString& columnText) {
    return columnText.compare(QLatin1String(ToolTexts::kKindHttp), Qt::CaseInsensitive) == 0;
}

bool ToolRowHasProgram(const ToolRecord& row) {
    return !row.Path.isEmpty();
}

ProgramPathParts SplitProgramPath(const QString& programPath) {
    const qsizetype slash = programPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return {};
    }
    ProgramPathParts parts;
    parts.Path = slash == 0 ? QStringLiteral("/") : programPath.left(slash);
    parts.File = programPath.mid(slash + 1);
    return parts;
}

ToolRecord NewUserTool(const QString& programPath, bool isHttp) {
    const ProgramPathParts parts = SplitProgramPath(programPath);
    ToolRecord row;
    row.Path = parts.Path;
    row.File = parts.File;
    const qsizetype dot = parts.File.lastIndexOf(QLatin1Char('.'));
    row.Name = dot > 0 ? parts.File.left(dot) : parts.File;
    row.IsHttp = isHttp ? 1 : 0;
    return row;
}

void EditUserTool(ToolRecord& row, const QString& programPath, bool isHttp) {
    const ProgramPathParts parts = SplitProgramPath(programPath);
    row.Path = parts.Path;
    row.File = parts.File;
    row.IsHttp = isHttp ? 1 : 0;
}

QString ToolEditText(const ToolRecord& row) {
    if (row.Path.isEmpty() && row.File.isEmpty()) {
        return {};
    }
    if (row.Path == QLatin1String("/")) {
        return row.Path + row.File;
    }
    return row.programPath();
}

bool ProgramFileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

bool AcceptFileInput(const QString& text, FileInputMode mode, Prompter& prompter,
                     const FileExists& exists) {
    if (text.isEmpty()) {
        prompter.showMessage(QString::fromLatin1(ToolTexts::kInputFile));
        return false;
    }
    if (mode == FileInputMode::Add && !(exists && exists(text))) {
        prompter.showMessage(QString::fromLatin1(ToolTexts::kFileMissing));
        return false;
    }
    return true;
}

QString FileInputNote(FileInputMode mode) {
    if (mode == FileInputMode::Test) {
        return QStringLiteral(
            "Please input a suitable file, which will be opened by the selected tool for "
            "testing.\n"
            "to test HTTP tool, please input a HTTP file, such as\n"
            "\thttp://www.example.com/my-folder/my-file.htm\n"
            "to test local tool, please input a local file, such as\n"
            "\t/home/me/my-folder/my-file.txt\n"
            "A HTTP tool can open a local file also, so you do not need to test both.\n");
    }
    return QStringLiteral(
        "Typically, a tool is an executable file in a folder such as /usr/bin.\n"
        "Such as\n"
        "\t/usr/bin/vlc\n"
        "You can copy the tool path from the Exec line of its desktop file,\n"
        "or find it by running 'which' and the program name in a terminal.\n");
}
