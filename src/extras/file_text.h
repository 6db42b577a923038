#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The bytes of a remote text file as the editors show them, and back. Valid
// UTF-8 is shown as UTF-8; any other bytes as Latin-1, which maps every byte to
// one character, so nothing is lost either way. Line ends are shown plain and
// each line gets its own back (CR LF, CR or LF), so an edit changes no line
// the user did not touch.
struct FileText {
    enum class Encoding { Utf8, Latin1 };

    QString text;
    Encoding encoding = Encoding::Utf8;
    // Each shown line's end in the file; the last line's is empty.
    QStringList lineEnds;

    static FileText decode(const QByteArray& bytes);
    // The text in the encoding it was shown with. Lines kept from the file,
    // before and after what was edited (or edited in place, line for line),
    // keep their ends; other lines take the file's most common one. A
    // character Latin-1 cannot hold (typed into a Latin-1 text) makes `ok`
    // false and is written as '?'.
    QByteArray encode(const QString& edited, bool* ok = nullptr) const;

private:
    QString withLineEnds(const QString& edited) const;
};
