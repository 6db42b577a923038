#include "cli/listing_printer.h"

#include "platform/format.h"

#include <QStringList>

#include <algorithm>

QByteArray formatListingTsv(const RemoteItemList& items) {
    QByteArray out;
    for (const RemoteItem& it : items) {
        const QByteArray kind = it.kind ? QByteArray(1, it.kind) : QByteArray();
        const QList<QByteArray> fields = {kind,
                                          it.permissions,
                                          QByteArray::number(it.size),
                                          QByteArray::number(it.year),
                                          QByteArray::number(it.month),
                                          QByteArray::number(it.day),
                                          it.time,
                                          QByteArray::number(it.links),
                                          it.owner,
                                          it.group,
                                          it.name,
                                          it.linkTarget};
        out += fields.join('\t');
        out += '\n';
    }
    return out;
}

static QByteArray dateText(const RemoteItem& it) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QByteArray month = it.month >= 1 && it.month <= 12 ? QByteArray(months[it.month - 1]) : "   ";
    QByteArray day = it.day >= 0 ? QByteArray::number(it.day).rightJustified(2) : "  ";
    QByteArray last = it.year >= 0 ? QByteArray::number(it.year) : it.time.left(5);
    return month + ' ' + day + ' ' + last.rightJustified(5);
}

QByteArray formatListingForPeople(const RemoteItemList& items) {
    struct Row {
        QByteArray mode, size, date, owner, name;
    };
    std::vector<Row> rows;
    int sizeWidth = 0, ownerWidth = 0;
    for (const RemoteItem& it : items) {
        Row r;
        const QByteArray perms =
            it.permissions.isEmpty() ? QByteArray("---------") : it.permissions;
        r.mode = QByteArray(1, it.kind ? it.kind : '?') + perms;
        r.size = FormatSizeLong(it.size).toUtf8();
        r.date = dateText(it);
        r.owner = it.owner + '/' + it.group;
        if (it.owner.isEmpty() && it.group.isEmpty())
            r.owner = "-";
        r.name = it.name;
        if (it.kind == 'l' && !it.linkTarget.isEmpty())
            r.name += " -> " + it.linkTarget;
        sizeWidth = std::max<int>(sizeWidth, int(QString::fromUtf8(r.size).size()));
        ownerWidth = std::max<int>(ownerWidth, int(QString::fromUtf8(r.owner).size()));
        rows.push_back(r);
    }
    QByteArray out;
    for (const Row& r : rows) {
        out += r.mode.leftJustified(11) + ' ' +
               QString::fromUtf8(r.size).rightJustified(sizeWidth).toUtf8() + "  " + r.date + "  " +
               QString::fromUtf8(r.owner).leftJustified(ownerWidth).toUtf8() + "  " + r.name + '\n';
    }
    return out;
}
