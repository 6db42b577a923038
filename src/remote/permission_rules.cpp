#include "remote/permission_rules.h"

namespace {

constexpr char kLetters[] = "rwx";

int digitAt(int number, int row) {
    static const int divisors[] = {100, 10, 1};
    return (number / divisors[row]) % 10;
}

}  // namespace

QString permissionKindWord(char kind) {
    switch (kind) {
        case '-':
            return QStringLiteral("File");
        case 'd':
            return QStringLiteral("Folder");
        case 'l':
            return QStringLiteral("Link");
        case 'b':
            return QStringLiteral("Device B");
        case 'c':
            return QStringLiteral("Device C");
    }
    return QStringLiteral("Unknown");
}

QString permissionsTitle(const std::vector<RemoteItem>& selected) {
    const QString prefix = QStringLiteral("Permissions for ");
    if (selected.empty())
        return prefix + QStringLiteral("Root");
    if (selected.size() > 1)
        return prefix + QStringLiteral("selections");
    const RemoteItem& item = selected.front();
    return prefix + permissionKindWord(item.kind) + QStringLiteral(" \"") +
           QString::fromUtf8(item.name) + QLatin1Char('"');
}

bool isPermissionNumber(int number) {
    if (number < 0 || number > 777)
        return false;
    for (int row = 0; row < 3; ++row)
        if (digitAt(number, row) > 7)
            return false;
    return true;
}

std::optional<int> parsePermissionNumber(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    int number = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('7'))
            return std::nullopt;
        number = number * 10 + (c.unicode() - '0');
    }
    return number;
}

QString permissionExpression(int number) {
    if (!isPermissionNumber(number))
        return {};
    QString out;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            out += permissionBit(number, row, column) ? QLatin1Char(kLetters[column])
                                                      : QLatin1Char('-');
    return out;
}

std::optional<int> parsePermissionExpression(QStringView expression) {
    if (expression.size() != 9)
        return std::nullopt;
    int number = 0;
    for (int row = 0; row < 3; ++row) {
        int digit = 0;
        for (int column = 0; column < 3; ++column) {
            const QChar c = expression[row * 3 + column];
            const char letter = kLetters[column];
            if (c == QLatin1Char('-'))
                continue;
            if (c.toLower() == QLatin1Char(letter)) {
                digit |= 4 >> column;
                continue;
            }
            if (column == 2 && (c == QLatin1Char('s') || c == QLatin1Char('t'))) {
                digit |= 1;
                continue;
            }
            if (column == 2 && (c == QLatin1Char('S') || c == QLatin1Char('T')))
                continue;
            return std::nullopt;
        }
        number = number * 10 + digit;
    }
    return number;
}

bool permissionBit(int number, int row, int column) {
    if (row < 0 || row > 2 || column < 0 || column > 2)
        return false;
    return digitAt(number, row) & (4 >> column);
}

int withPermissionBit(int number, int row, int column, bool on) {
    if (row < 0 || row > 2 || column < 0 || column > 2 || !isPermissionNumber(number))
        return number;
    static const int weights[] = {100, 10, 1};
    int digit = digitAt(number, row);
    const int newDigit = on ? (digit | (4 >> column)) : (digit & ~(4 >> column));
    return number + (newDigit - digit) * weights[row];
}

std::optional<int> initialPermissionNumber(const std::vector<RemoteItem>& selected) {
    if (selected.empty())
        return 755;
    std::optional<int> shared;
    for (const RemoteItem& item : selected) {
        const std::optional<int> mode =
            parsePermissionExpression(QString::fromLatin1(item.permissions));
        if (!mode || (shared && *shared != *mode))
            return std::nullopt;
        shared = mode;
    }
    return shared;
}

QString permissionStartNote(const std::vector<RemoteItem>& selected) {
    if (initialPermissionNumber(selected))
        return {};
    for (const RemoteItem& item : selected)
        if (!parsePermissionExpression(QString::fromLatin1(item.permissions)))
            return QStringLiteral("The current mode is unknown: the listing gave none.");
    return QStringLiteral("The selected items have different modes.");
}

bool recursionOffered(const std::vector<RemoteItem>& selected, bool linksAsFolders) {
    if (selected.empty())
        return true;
    for (const RemoteItem& item : selected)
        if (item.isFolder() || (linksAsFolders && item.kind == 'l'))
            return true;
    return false;
}

PermissionDialogResult applyPermissionDialog(const std::vector<RemoteItem>& selected,
                                             std::optional<int> chosen, RecurseChoice choice,
                                             bool recurse) {
    PermissionDialogResult result;
    if (!chosen) {
        result.message = QStringLiteral("Choose the new permissions first.");
        return result;
    }
    const int number = *chosen;
    if (!isPermissionNumber(number)) {
        result.message = QStringLiteral("Permissions are three digits from 0 to 7");
        return result;
    }
    PermissionRequest& r = result.request;
    r.mode = QByteArray::number(number).rightJustified(3, '0');
    r.applyToFiles = choice != RecurseChoice::Folders;
    r.applyToFolders = choice != RecurseChoice::Files;
    r.recurse = recurse;

    const QString noChange = QStringLiteral("No change");
    if (selected.size() == 1 && !selected.front().isFolder()) {
        const QString current = QString::fromLatin1(selected.front().permissions);
        if (permissionExpression(number).compare(current, Qt::CaseInsensitive) == 0) {
            result.message = noChange;
            return result;
        }
    }
    if (selected.empty() && !(r.applyToFiles && r.applyToFolders)) {
        result.message = noChange;
        return result;
    }
    result.accepted = true;
    return result;
}
