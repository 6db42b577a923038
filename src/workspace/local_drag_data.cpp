#include "workspace/local_drag_data.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>

#include "workspace/project_folders.h"

namespace {
constexpr quint32 kMagic = 0x564C4449;  // "VLDI"
constexpr quint16 kVersion = 1;
constexpr quint32 kMostItems = 1u << 24;
}  // namespace

QByteArray EncodeLocalDrag(const LocalDragData& data) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << kVersion << data.folder << data.fromTree << quint32(data.items.size());
    for (const LocalItemRef& item : data.items) {
        out << item.name << item.isFolder;
    }
    return bytes;
}

std::optional<LocalDragData> DecodeLocalDrag(const QByteArray& bytes) {
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint16 version = 0;
    quint32 count = 0;
    LocalDragData data;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != kMagic || version != kVersion) {
        return std::nullopt;
    }
    in >> data.folder >> data.fromTree >> count;
    if (in.status() != QDataStream::Ok || count > kMostItems) {
        return std::nullopt;
    }
    for (quint32 i = 0; i < count; ++i) {
        LocalItemRef item;
        in >> item.name >> item.isFolder;
        if (in.status() != QDataStream::Ok) {
            return std::nullopt;
        }
        data.items.push_back(std::move(item));
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return data;
}

QList<QUrl> LocalDragUrls(const LocalDragData& data) {
    QList<QUrl> urls;
    for (const LocalItemRef& item : data.items) {
        urls << QUrl::fromLocalFile(JoinLocalPath(data.folder, item.name));
    }
    return urls;
}

QMimeData* LocalDragMime(const LocalDragData& data) {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kLocalDragMimeType), EncodeLocalDrag(data));
    mime->setUrls(LocalDragUrls(data));
    return mime;
}

std::optional<LocalDragData> LocalDragOf(const QMimeData* mime) {
    if (!HasLocalDrag(mime))
        return std::nullopt;
    return DecodeLocalDrag(mime->data(QString::fromLatin1(kLocalDragMimeType)));
}

bool HasLocalDrag(const QMimeData* mime) {
    return mime && mime->hasFormat(QString::fromLatin1(kLocalDragMimeType));
}
