#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a remote text file as the editors show them, and back. Valid
// UTF-8 is shown as UTF-8; any other bytes as Latin-1, which maps every byte to
// one character, so nothing is lost either way. CR LF files are shown with
// plain line ends and get their CR LF back when encoded.
struct FileText {
    enum class Encoding { Utf8, Latin1 };

    QString text;
    Encoding encoding = Encoding::Utf8;
    bool crlf = false;

    static FileText decode(const QByteArray& bytes);
    // The text in the encoding and line ends it was shown with. A character
    // Latin-1 cannot hold (typed into a Latin-1 text) makes `ok` false and is
    // written as '?'.
    QByteArray encode(const QString& edited, bool* ok = nullptr) const;
};
