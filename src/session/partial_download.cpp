#include "session/partial_download.h"

#include "platform/local_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// "velmora-part <16 hex digits: data length> <8 hex digits: record length>\n"
constexpr char kFooterWord[] = "velmora-part ";
constexpr qint64 kFooterSize = sizeof(kFooterWord) - 1 + 16 + 1 + 8 + 1;
// A record holds one path and two short values.
constexpr qint64 kMaxRecord = 64 * 1024;

QByteArray recordOf(const PartialSource& s) {
    return "remote " + s.remotePath.toPercentEncoding() + "\nsize " + QByteArray::number(s.size) +
           "\nmodified " + s.modified.toPercentEncoding() + '\n';
}

std::optional<PartialSource> parseRecord(const QByteArray& text) {
    PartialSource s;
    int seen = 0;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const qsizetype blank = line.indexOf(' ');
        if (blank < 0)
            return std::nullopt;
        const QByteArray key = line.left(blank);
        const QByteArray value = line.mid(blank + 1);
        bool ok = true;
        if (key == "remote")
            s.remotePath = QByteArray::fromPercentEncoding(value);
        else if (key == "size")
            s.size = value.toLongLong(&ok);
        else if (key == "modified")
            s.modified = QByteArray::fromPercentEncoding(value);
        else
            continue;  // written by a later version: not needed here
        if (!ok)
            return std::nullopt;
        ++seen;
    }
    if (seen != 3)
        return std::nullopt;
    return s;
}

}  // namespace

bool PartialDownload::isPartName(const QString& fileName) {
    return fileName.size() > qsizetype(sizeof(kSuffix)) && fileName.startsWith(QLatin1Char('.')) &&
           fileName.endsWith(QLatin1String(kSuffix));
}

QString PartialDownload::pathFor(const QString& target) {
    const QFileInfo info(target);
    // The hidden name must stay a legal one (255 bytes) beside the longest target.
    constexpr qsizetype kMaxName = 255 - 1 - qsizetype(sizeof(kSuffix) - 1);
    QString base = info.fileName();
    while (QFile::encodeName(base).size() > kMaxName)
        base.chop(base.size() > 1 && base.back().isLowSurrogate() ? 2 : 1);
    return info.dir().filePath(QLatin1Char('.') + base + QLatin1String(kSuffix));
}

std::optional<KeptPart> PartialDownload::inspect(const QString& target) {
    QFile file(pathFor(target));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return read(file);
}

std::optional<KeptPart> PartialDownload::read(QFile& file) {
    const qint64 size = file.size();
    if (size < kFooterSize || !file.seek(size - kFooterSize))
        return std::nullopt;
    const QByteArray footer = file.read(kFooterSize);
    if (footer.size() != kFooterSize || !footer.startsWith(kFooterWord) || !footer.endsWith('\n'))
        return std::nullopt;
    const qsizetype word = qsizetype(sizeof(kFooterWord) - 1);
    bool okLength = false;
    bool okRecord = false;
    const qint64 length = footer.mid(word, 16).toLongLong(&okLength, 16);
    const qint64 recordSize = footer.mid(word + 17, 8).toLongLong(&okRecord, 16);
    if (!okLength || !okRecord || footer.at(word + 16) != ' ' || length < 0 || recordSize < 0 ||
        recordSize > kMaxRecord || length + recordSize + kFooterSize != size || !file.seek(length))
        return std::nullopt;
    const std::optional<PartialSource> source = parseRecord(file.read(recordSize));
    if (!source)
        return std::nullopt;
    return KeptPart{file.fileName(), length, *source};
}

bool PartialDownload::seal(QFile& file, qint64 length, const PartialSource& source,
                           QString* reason) {
    const QByteArray record = recordOf(source);
    const QByteArray footer = kFooterWord + QByteArray::number(length, 16).rightJustified(16, '0') +
                              ' ' + QByteArray::number(record.size(), 16).rightJustified(8, '0') +
                              '\n';
    const QByteArray tail = record + footer;
    return ResizeFile(file.handle(), length, reason) &&
           WriteAllAt(file.handle(), tail.constData(), tail.size(), length, reason);
}
