#include "session/publish_plan.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <QTimeZone>

#include <sys/stat.h>

#include <cctype>

namespace {

constexpr char kSuffix[] = ".velmora-upload";
constexpr qsizetype kSuffixSize = sizeof(kSuffix) - 1;
constexpr qsizetype kVersionSize = 8;
constexpr qsizetype kTagSize = 12;

}  // namespace

QByteArray uploadTemporaryName(const QByteArray& name, const QByteArray& tag) {
    return '.' + name + (tag.isEmpty() ? QByteArray() : '.' + tag) + kSuffix;
}

bool isUploadTemporaryName(const QByteArray& name) {
    return name.size() > kSuffixSize + 1 && name.startsWith('.') && name.endsWith(kSuffix);
}

QByteArray uploadTemporaryTag(const QByteArray& name) {
    if (!isUploadTemporaryName(name))
        return {};
    const QByteArray core = name.mid(1, name.size() - 1 - kSuffixSize);
    const qsizetype dot = core.size() - kTagSize - 1;
    if (dot < 1 || core[dot] != '.')
        return {};
    const QByteArray tag = core.mid(dot + 1);
    for (char c : tag)
        if (!std::isxdigit(static_cast<unsigned char>(c)) || std::isupper(c))
            return {};
    return tag;
}

QByteArray uploadTemporaryTarget(const QByteArray& name) {
    if (!isUploadTemporaryName(name))
        return {};
    const QByteArray tag = uploadTemporaryTag(name);
    return name.mid(1, name.size() - 1 - kSuffixSize - (tag.isEmpty() ? 0 : tag.size() + 1));
}

QByteArray newUploadTag(const QByteArray& version) {
    const QByteArray base = version.size() == kVersionSize
                                ? version
                                : QByteArray::number(QRandomGenerator::global()->generate(), 16)
                                      .rightJustified(kVersionSize, '0');
    return base + QByteArray::number(QRandomGenerator::global()->bounded(0x10000), 16)
                      .rightJustified(kTagSize - kVersionSize, '0');
}

bool uploadTagOfVersion(const QByteArray& tag, const QByteArray& version) {
    return version.size() == kVersionSize && tag.size() == kTagSize && tag.startsWith(version);
}

QByteArray localFileVersion(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    const QByteArray facts = QByteArray::number(qint64(st.st_size)) + ' ' +
                             QByteArray::number(qint64(st.st_mtim.tv_sec)) + '.' +
                             QByteArray::number(qint64(st.st_mtim.tv_nsec)) + ' ' +
                             QByteArray::number(qint64(st.st_ctim.tv_sec)) + '.' +
                             QByteArray::number(qint64(st.st_ctim.tv_nsec)) + ' ' +
                             QByteArray::number(quint64(st.st_ino)) + ' ' +
                             QByteArray::number(quint64(st.st_dev));
    return contentVersion(facts);
}

QByteArray contentVersion(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(kVersionSize);
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
