#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The display formats of sizes, counts, speeds and times shared by every list,
// label and log line. Pure functions: they keep no state.

// How the Size columns show byte counts. Stored as one byte in the general
// settings; any value other than Long and Short shows bytes.
enum class SizeStyle : quint8 { Long = 0, Short = 1, Bytes = 2 };

QString FormatSizeLong(qint64 size);   // "999 b", "1,235 k", "999,999 m", "1,500 bil"
QString FormatSizeShort(qint64 size);  // "999 b", "2 k", "1 m", "5000 g"
QString FormatSizeBytes(qint64 size);  // "1,234,567"
QString FormatSize(qint64 size, quint8 style);
QString FormatSize(qint64 size, SizeStyle style);

QString FormatGrouped(quint64 value, bool spaceAfterComma = false);
// "- 1,234,567"; "+ 1,234,567" only when alwaysShowSign is set.
QString FormatSignedGrouped(qint64 value, bool alwaysShowSign = false);

// "999 bytes", "1000 k", "1,235 mb": the speed label adds "/s".
QString FormatSpeed(qint64 bytesPerSecond);
// "HH:MM:SS"; hours are not wrapped at a day.
QString FormatElapsed(quint32 ms);
// "rwxr-xr-x" -> "755"; anything but nine characters gives "000".
QString FormatPermissionNumber(const QByteArray& permissions);
// A local file's time as "YYYY-MM-DD  HH:MM" in local time; empty when invalid.
QString FormatLocalTime(const QDateTime& time);

// The text drawn over the progress bar: "waiting" below 0, else "N%".
QString FormatProgressText(int percent);
// The filled share of a bar of the given width, kept within 0..width.
int ProgressFillWidth(int width, int percent);
