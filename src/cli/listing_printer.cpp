#include "cli/listing_printer.h"

#include "platform/format.h"

#include <QDateTime>
#include <QString>

#include <algorithm>

namespace {

// Lines go out in blocks as they are made: a listing of millions of entries
// is never held a second time as text.
class BlockWriter {
public:
    explicit BlockWriter(std::FILE* out) : out_(out) { block_.reserve(kBlock + 4096); }
    ~BlockWriter() { flush(); }
    QByteArray& line() { return block_; }
    void endLine() {
        block_ += '\n';
        if (block_.size() >= kBlock)
            flush();
    }
    void flush() {
        std::fwrite(block_.constData(), 1, size_t(block_.size()), out_);
        std::fflush(out_);
        block_.clear();
    }

private:
    static constexpr qsizetype kBlock = 64 * 1024;
    std::FILE* out_;
    QByteArray block_;
};

// As ls writes it: the time for the last six months, else the year. Listings
// that tell both (MLSD) get the same choice as those that tell one (LIST).
QByteArray DateText(const RemoteItemView& it, QDate today) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QByteArray month = it.month >= 1 && it.month <= 12 ? QByteArray(months[it.month - 1]) : "   ";
    QByteArray day = it.day >= 0 ? QByteArray::number(it.day).rightJustified(2) : "  ";
    const QDate date(it.year, it.month, it.day);
    const bool recent = it.year < 0 || (!it.time.isEmpty() && date.isValid() &&
                                        date > today.addDays(-183) && date <= today.addDays(1));
    QByteArray last = recent ? it.time.first(qMin<qsizetype>(5, it.time.size())).toByteArray()
                             : QByteArray::number(it.year);
    return month + ' ' + day + ' ' + last.rightJustified(5);
}

QString OwnerText(const RemoteItemView& it) {
    if (it.owner.isEmpty() && it.group.isEmpty())
        return QStringLiteral("-");
    return QString::fromUtf8(it.owner) + QLatin1Char('/') + QString::fromUtf8(it.group);
}

}  // namespace

QByteArray TsvField(QByteArrayView text) {
    const auto special = [](char c) { return c == '\\' || c == '\t' || c == '\r' || c == '\n'; };
    if (std::none_of(text.begin(), text.end(), special))
        return text.toByteArray();
    QByteArray out;
    out.reserve(text.size() + 8);
    for (const char c : text) {
        if (!special(c)) {
            out += c;
            continue;
        }
        out += '\\';
        out += c == '\t' ? 't' : c == '\r' ? 'r' : c == '\n' ? 'n' : '\\';
    }
    return out;
}

void printListingTsv(const RemoteItemList& items, std::FILE* out) {
    BlockWriter writer(out);
    for (int i = 0; i < items.size(); ++i) {
        const RemoteItemView it = items.view(i);
        QByteArray& line = writer.line();
        if (it.kind)
            line += it.kind;
        line += '\t';
        line += TsvField(it.permissions);
        line += '\t';
        line += QByteArray::number(it.size);
        line += '\t';
        line += QByteArray::number(it.year);
        line += '\t';
        line += QByteArray::number(it.month);
        line += '\t';
        line += QByteArray::number(it.day);
        line += '\t';
        line += TsvField(it.time);
        line += '\t';
        line += QByteArray::number(it.links);
        line += '\t';
        line += TsvField(it.owner);
        line += '\t';
        line += TsvField(it.group);
        line += '\t';
        line += TsvField(it.name);
        line += '\t';
        line += TsvField(it.linkTarget);
        writer.endLine();
    }
}

void printListingForPeople(const RemoteItemList& items, std::FILE* out) {
    // The columns are as wide as their widest entry: one pass to measure,
    // one to write.
    qsizetype sizeWidth = 0, ownerWidth = 0;
    for (int i = 0; i < items.size(); ++i) {
        const RemoteItemView it = items.view(i);
        sizeWidth = std::max(sizeWidth, FormatSizeLong(it.size).size());
        ownerWidth = std::max(ownerWidth, OwnerText(it).size());
    }
    const QDate today = QDateTime::currentDateTimeUtc().date();
    BlockWriter writer(out);
    for (int i = 0; i < items.size(); ++i) {
        const RemoteItemView it = items.view(i);
        QByteArray& line = writer.line();
        line += it.kind ? it.kind : '?';
        line += (it.permissions.isEmpty() ? QByteArray("---------") : it.permissions.toByteArray())
                    .leftJustified(10);
        line += ' ';
        line += FormatSizeLong(it.size).rightJustified(sizeWidth).toUtf8();
        line += "  ";
        line += DateText(it, today);
        line += "  ";
        line += OwnerText(it).leftJustified(ownerWidth).toUtf8();
        line += "  ";
        line += it.name;
        if (it.kind == 'l' && !it.linkTarget.isEmpty()) {
            line += " -> ";
            line += it.linkTarget;
        }
        writer.endLine();
    }
}
