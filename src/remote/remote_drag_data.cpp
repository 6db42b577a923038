#include "remote/remote_drag_data.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

namespace {
constexpr quint32 kMagic = 0x564D5244;  // "VMRD"
constexpr quint32 kMaxItems = 10'000'000;
}  // namespace

QByteArray EncodeRemoteDrag(const RemoteDragData& data) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kMagic << data.folder << quint32(data.items.size());
    for (const RemoteItem& i : data.items)
        out << qint8(i.kind) << i.permissions << i.time << i.linkTarget << i.name << qint64(i.size)
            << qint32(i.year) << qint32(i.month) << qint32(i.day) << qint32(i.links) << i.owner
            << i.group;
    return bytes;
}

std::optional<RemoteDragData> DecodeRemoteDrag(const QByteArray& bytes) {
    QDataStream in(bytes);
    quint32 magic = 0;
    quint32 count = 0;
    RemoteDragData data;
    in >> magic >> data.folder >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || count > kMaxItems)
        return std::nullopt;
    for (quint32 n = 0; n < count; ++n) {
        RemoteItem i;
        qint8 kind = 0;
        qint64 size = 0;
        qint32 year = 0, month = 0, day = 0, links = 0;
        in >> kind >> i.permissions >> i.time >> i.linkTarget >> i.name >> size >> year >> month >>
            day >> links >> i.owner >> i.group;
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        i.kind = char(kind);
        i.size = size;
        i.year = year;
        i.month = month;
        i.day = day;
        i.links = links;
        data.items.push_back(std::move(i));
    }
    if (!in.atEnd())
        return std::nullopt;
    return data;
}

QMimeData* RemoteDragMime(const RemoteDragData& data) {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kRemoteDragMimeType), EncodeRemoteDrag(data));
    return mime;
}

std::optional<RemoteDragData> RemoteDragOf(const QMimeData* mime) {
    if (!HasRemoteDrag(mime))
        return std::nullopt;
    return DecodeRemoteDrag(mime->data(QString::fromLatin1(kRemoteDragMimeType)));
}

bool HasRemoteDrag(const QMimeData* mime) {
    return mime && mime->hasFormat(QString::fromLatin1(kRemoteDragMimeType));
}

QStringList RemoteDropFormats() {
    return {QString::fromLatin1(kRemoteDragMimeType), QStringLiteral("text/uri-list")};
}
