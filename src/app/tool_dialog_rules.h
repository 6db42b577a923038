#pragma once

#include <QString>

#include <functional>
#include <vector>

#include "app/tool_record.h"

class Prompter;

// The decisions of the two tool dialogs and of the file-input dialog, apart
// from their widgets.

// "Search": false, after "Please remove undesirable tools for re-searching.",
// when every row already has both a path and a file.
bool CheckSearchRequest(const std::vector<ToolRecord>& rows, Prompter& prompter);

// "Rename": an empty name is refused with "Please input name for the tool.".
bool AcceptToolName(const QString& name, Prompter& prompter);

// The "No change." comparison: same count; per row the same name exactly, the
// same path and file without regard to case, and the same kind.
bool SameToolRows(const std::vector<ToolRecord>& a, const std::vector<ToolRecord>& b);

enum class ToolSaveOutcome { NoChange, Replaced };

// "Save": shows "No change." when rows equal stored, else replaces stored.
ToolSaveOutcome SaveToolRows(const std::vector<ToolRecord>& rows, std::vector<ToolRecord>& stored,
                             Prompter& prompter);

// The kind column: "HTTP" or "local"; reading back, "HTTP" in any case is HTTP.
QString ToolKindText(bool isHttp);
bool ToolKindIsHttp(const QString& columnText);

// "Delete", "Launch only" and "Execute file" need a row with a path.
bool ToolRowHasProgram(const ToolRecord& row);

struct ProgramPathParts {
    QString Path;
    QString File;
};

// Splits a program path at its last '/': "/usr/bin/vlc" gives "/usr/bin" and
// "vlc", "/vlc" gives "/" and "vlc". Without a '/' both parts are empty.
ProgramPathParts SplitProgramPath(const QString& programPath);

// "Add tool": a row named after the file without its extension.
ToolRecord NewUserTool(const QString& programPath, bool isHttp);
// "Edit": new path, file and kind; the name stays.
void EditUserTool(ToolRecord& row, const QString& programPath, bool isHttp);
// The text "Edit" starts from: the full program path, empty for an empty row.
QString ToolEditText(const ToolRecord& row);

enum class FileInputMode { Test, Add };

// Whether a program path exists (mode add): by default a file on disk.
using FileExists = std::function<bool(const QString&)>;
bool ProgramFileExists(const QString& path);

// "OK" of the file-input dialog: empty gives "Please input a file."; in mode
// add a program that does not exist gives "The file doesn't exist.". True
// when the dialog may close with the text.
bool AcceptFileInput(const QString& text, FileInputMode mode, Prompter& prompter,
                     const FileExists& exists = ProgramFileExists);

// The dialog's note for each mode.
QString FileInputNote(FileInputMode mode);
