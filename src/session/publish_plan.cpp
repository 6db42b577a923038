#include "session/publish_plan.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

constexpr char kSuffix[] = ".velmora-upload";
constexpr qsizetype kSuffixSize = sizeof(kSuffix) - 1;

}  // namespace

QByteArray uploadTemporaryName(const QByteArray& name) {
    return '.' + name + kSuffix;
}

bool isUploadTemporaryName(const QByteArray& name) {
    return name.size() > kSuffixSize + 1 && name.startsWith('.') && name.endsWith(kSuffix);
}

QByteArray uploadTemporaryTarget(const QByteArray& name) {
    if (!isUploadTemporaryName(name))
        return {};
    return name.mid(1, name.size() - 1 - kSuffixSize);
}

QByteArray ftpTimeText(qint64 utcSeconds) {
    return QDateTime::fromSecsSinceEpoch(utcSeconds, QTimeZone::utc())
        .toString(QStringLiteral("yyyyMMddHHmmss"))
        .toLatin1();
}

std::optional<qint64> parseFtpTime(const QByteArray& text) {
    QByteArray digits = text.trimmed();
    const qsizetype dot = digits.indexOf('.');
    if (dot >= 0)
        digits.truncate(dot);
    if (digits.size() != 14)
        return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    const QDate date(digits.mid(0, 4).toInt(), digits.mid(4, 2).toInt(), digits.mid(6, 2).toInt());
    const QTime time(digits.mid(8, 2).toInt(), digits.mid(10, 2).toInt(),
                     digits.mid(12, 2).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
}
