#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// A byte buffer with a read position. Every stored record has one routine that walks its fields
// through these readers/writers in a given direction, so reading and writing can never disagree
// on field order. All integers are little-endian without padding.
class SettingsArchive {
public:
    enum class Direction { Read, Write };

    SettingsArchive();
    explicit SettingsArchive(QByteArray data);

    const QByteArray& data() const { return data_; }
    qint64 size() const { return data_.size(); }
    qint64 readPosition() const { return position_; }
    void setReadPosition(qint64 position);
    qint64 remaining() const { return data_.size() - position_; }

    // Each returns false when the bytes are missing (read) or the value cannot be stored
    // (write); a failed call changes neither the value nor the archive.
    bool byteField(Direction direction, quint8& value);
    bool int32Field(Direction direction, qint32& value);
    bool int64Field(Direction direction, qint64& value);
    // Exactly `size` bytes; writing a block of another size fails.
    bool rawField(Direction direction, QByteArray& block, qint64 size);
    // Byte length (even, never negative) then UTF-16LE, no terminator.
    bool wideText(Direction direction, QString& text);
    // Byte length then the 8-bit bytes as they are.
    bool narrowText(Direction direction, QByteArray& text);

    // The bytes of each field written so far, one entry per field, so that two images of a
    // record can be compared field by field.
    QList<QByteArray> writtenFields() const;

private:
    bool take(qint64 size, const char** bytes);
    void append(const char* bytes, qint64 size);
    bool peekInt32(qint32* value) const;
    void appendLength(qint32 length);

    QByteArray data_;
    QList<qint64> fieldEnds_;
    qint64 position_ = 0;
};
