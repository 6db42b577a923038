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

bool SettingsArchive::peekInt32(qint32* value) const {
    if (remaining() < 4)
        return false;
    *value = qFromLittleEndian<qint32>(data_.constData() + position_);
    return true;
}

bool SettingsArchive::byteField(Direction direction, quint8& value) {
    if (direction == Direction::Write) {
        const char byte = static_cast<char>(value);
        append(&byte, 1);
        return true;
    }
    const char* bytes = nullptr;
    if (!take(1, &bytes))
        return false;
    value = static_cast<quint8>(bytes[0]);
    return true;
}

bool SettingsArchive::int32Field(Direction direction, qint32& value) {
    if (direction == Direction::Write) {
        char bytes[4];
        qToLittleEndian<qint32>(value, bytes);
        append(bytes, 4);
        return true;
    }
    const char* bytes = nullptr;
    if (!take(4, &bytes))
        return false;
    value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool SettingsArchive::int64Field(Direction direction, qint64& value) {
    if (direction == Direction::Write) {
        char bytes[8];
        qToLittleEndian<qint64>(value, bytes);
        append(bytes, 8);
        return true;
    }
    const char* bytes = nullptr;
    if (!take(8, &bytes))
        return false;
    value = qFromLittleEndian<qint64>(bytes);
    return true;
}

bool SettingsArchive::rawField(Direction direction, QByteArray& block, qint64 size) {
    if (size < 0)
        return false;
    if (direction == Direction::Write) {
        if (block.size() != size)
            return false;
        append(block.constData(), size);
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
        qint32 length = static_cast<qint32>(byteLength);
        int32Field(Direction::Write, length);
        QByteArray bytes(byteLength, Qt::Uninitialized);
        qToLittleEndian<quint16>(text.utf16(), text.size(), bytes.data());
        append(bytes.constData(), bytes.size());
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
        qint32 length = static_cast<qint32>(text.size());
        int32Field(Direction::Write, length);
        append(text.constData(), text.size());
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
