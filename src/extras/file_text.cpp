#include "extras/file_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Every CR is followed by LF and there is at least one: the file's line ends
// are CR LF and can be restored exactly.
bool usesCrlfOnly(const QByteArray& bytes) {
    bool any = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n')
                return false;
            any = true;
            ++i;
        } else if (bytes[i] == '\n') {
            return false;
        }
    }
    return any;
}

}  // namespace

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
    out.crlf = usesCrlfOnly(bytes);
    if (out.crlf)
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.text = text;
    return out;
}

QByteArray FileText::encode(const QString& edited, bool* ok) const {
    QString text = edited;
    if (crlf)
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
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
