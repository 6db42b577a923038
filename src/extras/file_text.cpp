#include "extras/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

FileText FileText::decode(const QByteArray& bytes) {
    FileText out;
    // A leading byte-order mark stays in the text so it is written back.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                    QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        out.encoding = Encoding::Latin1;
        text = QString::fromLatin1(bytes);
    }
    out.text.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            out.lineEnds << QStringLiteral("\r\n");
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            out.lineEnds << QString(c);
        } else {
            out.text += c;
            continue;
        }
        out.text += u'\n';
    }
    out.lineEnds << QString();
    return out;
}

QString FileText::withLineEnds(const QString& edited) const {
    const QStringList lines = edited.split(u'\n');
    const QStringList was = text.split(u'\n');
    QString common = QStringLiteral("\n");
    qsizetype most = 0;
    for (const QString& end : {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")})
        if (const qsizetype n = lineEnds.count(end); n > most) {
            most = n;
            common = end;
        }
    // The lines before and after the edit, and an edit that kept the count.
    qsizetype head = 0;
    while (head < lines.size() && head < was.size() && lines[head] == was[head])
        ++head;
    qsizetype tail = 0;
    while (tail < lines.size() - head && tail < was.size() - head &&
           lines[lines.size() - 1 - tail] == was[was.size() - 1 - tail])
        ++tail;
    const bool inPlace = lines.size() == was.size();
    QString out;
    out.reserve(edited.size() + lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i == lines.size() - 1)
            break;
        QString end;
        if (i < head || inPlace)
            end = lineEnds.value(i);
        else if (i >= lines.size() - tail)
            end = lineEnds.value(was.size() - (lines.size() - i));
        out += end.isEmpty() ? common : end;
    }
    return out;
}

QByteArray FileText::encode(const QString& edited, bool* ok) const {
    const QString text = withLineEnds(edited);
    bool fits = true;
    QByteArray bytes;
    if (encoding == Encoding::Utf8) {
        QStringEncoder utf8(QStringConverter::Utf8);
        bytes = utf8.encode(text);
        fits = !utf8.hasError();
    } else {
        bytes.resize(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c > 0xff) {
                fits = false;
                bytes[i] = '?';
            } else {
                bytes[i] = char(c);
            }
        }
    }
    if (ok)
        *ok = fits;
    return bytes;
}
