#pragma once

#include <QString>

#include <optional>
#include <vector>

// The logins of a .netrc file: "machine HOST login USER password SECRET" entries, a
// "default" entry for any other host, "account" and "macdef" read and passed over.
class NetrcFile {
public:
    struct Entry {
        QString machine;  // empty for "default"
        QString login;
        std::optional<QString> password;
    };

    // Reads `path`. A file that others may read or write is refused: it is not used, and
    // `warning` says why. A missing file gives an empty list and no warning.
    static NetrcFile read(const QString& path, QString* warning);
    static NetrcFile parse(const QString& text);

    // The entry for `host`: the first machine entry for it whose login is `user` (any login
    // when `user` is empty), else the default entry under the same rule.
    std::optional<Entry> find(const QString& host, const QString& user) const;

    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};
