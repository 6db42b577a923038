#include "app/netrc_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// Words separated by blanks and line ends; a word may be double-quoted, with backslash
// escapes inside, so a password can hold blanks. "macdef" bodies run to the next empty line.
QStringList words(const QString& text) {
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString word;
        if (text[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && text[i] != QLatin1Char('"')) {
                if (text[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                word += text[i++];
            }
            ++i;
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                word += text[i++];
            }
        }
        out << word;
        if (word == QLatin1String("macdef")) {
            // The macro's name, then its lines up to an empty line.
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            const qsizetype end = text.indexOf(QLatin1String("\n\n"), i);
            i = end < 0 ? n : end + 2;
            out.removeLast();
        }
    }
    return out;
}

}  // namespace

NetrcFile NetrcFile::parse(const QString& text) {
    NetrcFile file;
    const QStringList w = words(text);
    Entry* current = nullptr;
    for (qsizetype i = 0; i < w.size(); ++i) {
        const QString& key = w[i];
        const bool hasValue = i + 1 < w.size();
        if (key == QLatin1String("machine") && hasValue) {
            file.entries_.push_back({w[++i], {}, std::nullopt});
            current = &file.entries_.back();
        } else if (key == QLatin1String("default")) {
            file.entries_.push_back({{}, {}, std::nullopt});
            current = &file.entries_.back();
        } else if (key == QLatin1String("login") && hasValue) {
            const QString& value = w[++i];
            if (current)
                current->login = value;
        } else if (key == QLatin1String("password") && hasValue) {
            const QString& value = w[++i];
            if (current)
                current->password = value;
        } else if (key == QLatin1String("account") && hasValue) {
            ++i;
        }
    }
    return file;
}

NetrcFile NetrcFile::read(const QString& path, QString* warning) {
    QFile file(path);
    if (!file.exists())
        return {};
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (file.permissions() & others) {
        if (warning)
            *warning = QStringLiteral(
                           "%1 can be read or changed by other users, so it is not "
                           "used (chmod 600 %1 makes it private)")
                           .arg(path);
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (warning)
            *warning = QStringLiteral("%1 could not be read: %2").arg(path, file.errorString());
        return {};
    }
    return parse(QString::fromUtf8(file.readAll()));
}

std::optional<NetrcFile::Entry> NetrcFile::find(const QString& host, const QString& user) const {
    const auto matches = [&user](const Entry& e) {
        return user.isEmpty() || e.login.isEmpty() || e.login == user;
    };
    for (const Entry& e : entries_) {
        if (!e.machine.isEmpty() && e.machine.compare(host, Qt::CaseInsensitive) == 0 && matches(e))
            return e;
    }
    for (const Entry& e : entries_) {
        if (e.machine.isEmpty() && matches(e))
            return e;
    }
    return std::nullopt;
}
