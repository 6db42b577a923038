#include "app/settings_archive.h"

#include <QtEndian>

#include <limits>

namespace {

constexpr qint64 kInitialCapacity = 128;

}  // namespace

SettingsArchive::SettingsArchive() {
    data_.reserve(kInitialCapacity);
}

SettingsArchive::SettingsArchive(QByteArray data) : data_(std::move(data)) {}

void SettingsArchive::setReadPosition(qint64 position) {
    position_ = qBound<qint64>(0, position, data_.size());
}

bool SettingsArchive::take(qint64 size, const char** bytes) {
    if (size < 0 || size > remaining())
        return false;
    *bytes = data_.constData() + position_;
    position_ += size;
    return true;
}

void SettingsArchive::append(const char* bytes, qint64 size) {
    // Grow with some slack, as small records are appended field by field.
    if (data_.size() + size > data_.capacity())
        data_.reserve(data_.size() + size + kInitialCapacity);
    data_.append(bytes, size);
}

void SettingsArchive::appendLength(qint32 length) {
    char bytes[4];
    qToLittleEndian<qint32>(length, bytes);
    append(bytes, 4);
}

QList<QByteArray> SettingsArchive::writtenFields() const {
    QList<QByteArray> fields;
    qint64 start = 0;
    for (const qint64 end : fieldEnds_) {
        fields.append(data_.mid(start, end - start));
        start = end;
    }
    return fields;
}

bool SettingsArchive::peekInt32(qint32* value) const {
    if (remaining() < 4)
        return false;
    *value = qFromLittleEndian<qint32>(data_.constData() + position_);
    return true;
}

template <typename T>
bool SettingsArchive::fixedField(Direction direction, T& value) {
    if (direction == Direction::Write) {
        char bytes[sizeof(T)];
        qToLittleEndian<T>(value, bytes);
        append(bytes, sizeof(T));
        fieldEnds_.append(data_.size());
        return true;
    }
    const char* bytes = nullptr;
    if (!take(sizeof(T), &bytes))
        return false;
    value = qFromLittleEndian<T>(bytes);
    return true;
}

bool SettingsArchive::byteField(Direction direction, quint8& value) {
    return fixedField(direction, value);
}

bool SettingsArchive::uint16Field(Direction direction, quint16& value) {
    return fixedField(direction, value);
}

bool SettingsArchive::int32Field(Direction direction, qint32& value) {
    return fixedField(direction, value);
}

bool SettingsArchive::int64Field(Direction direction, qint64& value) {
    return fixedField(direction, value);
}

bool SettingsArchive::rawField(Direction direction, QByteArray& block, qint64 size) {
    if (size < 0)
        return false;
    if (direction == Direction::Write) {
        if (block.size() != size)
            return false;
        append(block.constData(), size);
        fieldEnds_.append(data_.size());
        return true;
    }
    const char* bytes = nullptr;
    if (!take(size, &bytes))
        return false;
    block = QByteArray(bytes, size);
    return true;
}

bool SettingsArchive::wideText(Direction direction, QString& text) {
    if (direction == Direction::Write) {
        const qint64 byteLength = qint64(text.size()) * 2;
        if (byteLength > std::numeric_limits<qint32>::max())
            return false;
        appendLength(static_cast<qint32>(byteLength));
        QByteArray bytes(byteLength, Qt::Uninitialized);
        qToLittleEndian<quint16>(text.utf16(), text.size(), bytes.data());
        append(bytes.constData(), bytes.size());
        fieldEnds_.append(data_.size());
        return true;
    }
    qint32 length = 0;
    if (!peekInt32(&length))
        return false;
    if (length < 0 || length % 2 != 0 || length > remaining() - 4)
        return false;
    position_ += 4;
    const char* bytes = nullptr;
    take(length, &bytes);
    QString result(length / 2, Qt::Uninitialized);
    qFromLittleEndian<quint16>(bytes, length / 2, result.data());
    text = result;
    return true;
}

bool SettingsArchive::narrowText(Direction direction, QByteArray& text) {
    if (direction == Direction::Write) {
        if (text.size() > std::numeric_limits<qint32>::max())
            return false;
        appendLength(static_cast<qint32>(text.size()));
        append(text.constData(), text.size());
        fieldEnds_.append(data_.size());
        return true;
    }
    qint32 length = 0;
    if (!peekInt32(&length))
        return false;
    if (length < 0 || length > remaining() - 4)
        return false;
    position_ += 4;
    const char* bytes = nullptr;
    take(length, &bytes);
    text = QByteArray(bytes, length);
    return true;
}
