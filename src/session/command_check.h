#pragma once

#include "session/command_index.h"

#include <QList>
#include <QString>

// What the dialog "Check important FTP commands" says about a server, judged
// from the words of its FEAT and HELP replies.

struct CommandCheckRow {
    QString command;
    QString usage;
    bool supported = false;
};

// The three fixed rows (FEAT, MLSD, MLST) with their support.
QList<CommandCheckRow> CommandCheckRows(const CommandIndex& feat, const CommandIndex& help);
QString CommandSupportText(bool supported);  // "Yes" / "No"
// The read-only explanation under the list.
QString CommandCheckExplanation();
// The message for "Check" with the text typed in the edit field.
QString CommandCheckMessage(const QString& typed, const CommandIndex& feat,
                            const CommandIndex& help);
