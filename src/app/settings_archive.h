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
    bool uint16Field(Direction direction, quint16& value);
    bool int32Field(Direction direction, qint32& value);
    bool int64Field(Direction direction, qint64& value);
    // Exactly `size` bytes; writing a block of another size fails.
    bool rawField(Direction direction, QByteArray& block, qint64 size);
    // Byte length (even, never negative) then UTF-16LE, no terminator.
    bool wideText(Direction direction, QString& text);
    // Byte length then the 8-bit bytes as they are.
    bool narrowText(Direction direction, QByteArray& text);
    // A fixed-size record (`kSize` bytes, its fields walked by `walk(archive, direction)`) as
    // one field; a failed read leaves the record untouched.
    template <class Record>
    bool recordField(Direction direction, Record& record);

    // The bytes of each field written so far, one entry per field, so that two images of a
    // record can be compared field by field.
    QList<QByteArray> writtenFields() const;

private:
    template <typename T>
    bool fixedField(Direction direction, T& value);
    bool take(qint64 size, const char** bytes);
    void append(const char* bytes, qint64 size);
    bool peekInt32(qint32* value) const;
    void appendLength(qint32 length);

    QByteArray data_;
    QList<qint64> fieldEnds_;
    qint64 position_ = 0;
};

// The bytes of a fixed-size record, through its one field walk.
template <class Record>
QByteArray RecordBytes(Record record) {
    SettingsArchive archive;
    record.walk(archive, SettingsArchive::Direction::Write);
    return archive.data();
}

// False (and `out` untouched) unless `bytes` holds exactly the record's size, every byte walked.
template <class Record>
bool RecordFromBytes(const QByteArray& bytes, Record* out) {
    if (bytes.size() != Record::kSize)
        return false;
    SettingsArchive archive(bytes);
    Record record;
    if (!record.walk(archive, SettingsArchive::Direction::Read) || archive.remaining() != 0)
        return false;
    *out = record;
    return true;
}

template <class Record>
bool SettingsArchive::recordField(Direction direction, Record& record) {
    QByteArray block;
    if (direction == Direction::Write)
        block = RecordBytes(record);
    if (!rawField(direction, block, Record::kSize))
        return false;
    return direction == Direction::Write || RecordFromBytes(block, &record);
}
