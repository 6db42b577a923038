#include "session/command_check.h"

namespace {

struct FixedRow {
    const char* command;
    const char* usage;
};

constexpr FixedRow kRows[] = {
    {"FEAT", "Get searver's features"},
    {"MLSD", "Read item list"},
    {"MLST", "Read an item"},
};

bool isCut(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

// Only blanks, tabs and line ends are cut: other white space is part of what
// the user typed.
QString cutEnds(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isCut(text[begin]))
        ++begin;
    while (end > begin && isCut(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool inEither(const QByteArray& word, const CommandIndex& feat, const CommandIndex& help) {
    return contains(feat, word) || contains(help, word);
}

}  // namespace

QList<CommandCheckRow> CommandCheckRows(const CommandIndex& feat, const CommandIndex& help) {
    QList<CommandCheckRow> rows;
    for (const FixedRow& fixed : kRows) {
        CommandCheckRow row;
        row.command = QString::fromLatin1(fixed.command);
        row.usage = QString::fromLatin1(fixed.usage);
        const QByteArray word(fixed.command);
        // A server that lists features at all understands FEAT.
        row.supported = (word == "FEAT" && feat.letterCount() > 1) || inEither(word, feat, help);
        rows << row;
    }
    return rows;
}

QString CommandSupportText(bool supported) {
    return supported ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString CommandCheckExplanation() {
    return QStringLiteral(
        "Yes:\tconfirmed command\r\n"
        "No:\tunsure command, please click button Help for details\r\n");
}

QString CommandCheckMessage(const QString& typed, const CommandIndex& feat,
                            const CommandIndex& help) {
    const QString command = cutEnds(typed);
    if (command.isEmpty())
        return QStringLiteral("Please input an advanced command for checking");
    for (const FixedRow& fixed : kRows)
        if (command == QLatin1String(fixed.command))
            return QStringLiteral("The command is in list already");
    // Commands are the same in any letter case; the lists give them in capitals.
    if (inEither(command.toUtf8(), feat, help) || inEither(command.toUpper().toUtf8(), feat, help))
        return QStringLiteral("The command is supported.");
    return QStringLiteral("The command is un-supported or unsure.");
}
