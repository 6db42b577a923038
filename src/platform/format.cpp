#include "platform/format.h"

namespace {

constexpr qint64 kThousand = 1000;
constexpr qint64 kMillion = 1000 * kThousand;
constexpr qint64 kBillion = 1000 * kMillion;
constexpr qint64 kTrillion = 1000 * kBillion;

QString Padded3(qint64 value) {
    return QStringLiteral("%1").arg(value, 3, 10, QLatin1Char('0'));
}

// value / unit, rounded half up unless the quotient has already reached cap.
qint64 RoundedQuotient(qint64 value, qint64 unit, qint64 cap) {
    qint64 q = value / unit;
    if (value % unit >= unit / 2 && q < cap)
        ++q;
    return q;
}

// "999 k" or "1,235 k": one comma at most, the leading group printed whole.
QString UnitText(qint64 value, char unit) {
    if (value < kThousand)
        return QStringLiteral("%1 %2").arg(value).arg(QLatin1Char(unit));
    return QStringLiteral("%1,%2 %3")
        .arg(value / kThousand)
        .arg(Padded3(value % kThousand))
        .arg(QLatin1Char(unit));
}

}  // namespace

QString FormatSizeLong(qint64 size) {
    if (size < kMillion)
        return UnitText(size, 'b');
    if (size < kBillion)
        return UnitText(RoundedQuotient(size, kThousand, 999999), 'k');
    if (size < kTrillion)
        return UnitText(RoundedQuotient(size, kMillion, 999999), 'm');
    // Beyond a million megabytes: whole billions of bytes.
    return FormatGrouped(quint64(RoundedQuotient(size, kBillion, kTrillion))) +
           QStringLiteral(" bil");
}

QString FormatSizeShort(qint64 size) {
    if (size < kThousand)
        return QStringLiteral("%1 b").arg(size);
    if (size < kMillion)
        return QStringLiteral("%1 k").arg(RoundedQuotient(size, kThousand, 999));
    if (size < kBillion)
        return QStringLiteral("%1 m").arg(RoundedQuotient(size, kMillion, 999));
    return QStringLiteral("%1 g").arg(RoundedQuotient(size, kBillion, 999));
}

QString FormatSizeBytes(qint64 size) {
    if (size < 0)
        return QString::number(size);
    return FormatGrouped(quint64(size));
}

QString FormatSize(qint64 size, quint8 style) {
    switch (style) {
        case quint8(SizeStyle::Long):
            return FormatSizeLong(size);
        case quint8(SizeStyle::Short):
            return FormatSizeShort(size);
        default:
            return FormatSizeBytes(size);
    }
}

QString FormatSize(qint64 size, SizeStyle style) {
    return FormatSize(size, quint8(style));
}

QString FormatGrouped(quint64 value, bool spaceAfterComma) {
    if (value == 0)
        return QStringLiteral("0");
    const QString separator = spaceAfterComma ? QStringLiteral(", ") : QStringLiteral(",");
    QString text;
    while (value >= 1000) {
        text.prepend(separator + Padded3(qint64(value % 1000)));
        value /= 1000;
    }
    return QString::number(value) + text;
}

QString FormatSignedGrouped(qint64 value, bool alwaysShowSign) {
    if (value == 0)
        return QStringLiteral("0");
    if (value < 0)  // negated as unsigned so that the smallest value stays defined
        return QStringLiteral("- ") + FormatGrouped(0 - quint64(value));
    return (alwaysShowSign ? QStringLiteral("+ ") : QString()) + FormatGrouped(quint64(value));
}

QString FormatSpeed(qint64 bytesPerSecond) {
    if (bytesPerSecond < kThousand)
        return QStringLiteral("%1 bytes").arg(bytesPerSecond);
    if (bytesPerSecond < kMillion) {
        qint64 q = bytesPerSecond / kThousand;
        if (bytesPerSecond % kThousand > kThousand / 2)
            ++q;
        return QStringLiteral("%1 k").arg(q);
    }
    qint64 q = bytesPerSecond / kMillion;
    if (bytesPerSecond % kMillion > kMillion / 2)
        ++q;
    return FormatSignedGrouped(q) + QStringLiteral(" mb");
}

QString FormatElapsed(quint32 ms) {
    const quint32 hours = ms / 3600000;
    const quint32 minutes = (ms / 60000) % 60;
    const quint32 seconds = (ms / 1000) % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}

QString FormatPermissionNumber(const QByteArray& permissions) {
    int number = 0;
    if (permissions.size() == 9) {
        for (int triple = 0; triple < 3; ++triple) {
            const char* bits = permissions.constData() + triple * 3;
            const int digit =
                (bits[0] == 'r' ? 4 : 0) + (bits[1] == 'w' ? 2 : 0) + (bits[2] == 'x' ? 1 : 0);
            number = number * 10 + digit;
        }
    }
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

QString FormatLocalTime(const QDateTime& time) {
    if (!time.isValid())
        return QString();
    const QDateTime local = time.toLocalTime();
    const QDate date = local.date();
    const QTime clock = local.time();
    return QString::asprintf("%04d-%02d-%02d  %02d:%02d", date.year(), date.month(), date.day(),
                             clock.hour(), clock.minute());
}

QString FormatProgressText(int percent) {
    if (percent < 0)
        return QStringLiteral("waiting");
    return QStringLiteral("%1%").arg(percent);
}

int ProgressFillWidth(int width, int percent) {
    if (width <= 0 || percent <= 0)
        return 0;
    if (percent >= 100)
        return width;
    return int(qint64(width) * percent / 100);
}
