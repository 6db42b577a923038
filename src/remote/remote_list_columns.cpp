#include "remote/remote_list_columns.h"

#include "platform/format.h"

namespace {

struct ColumnSpec {
    const char* title;
    Qt::Alignment alignment;
    int weight;
};

const ColumnSpec kColumns[kRemoteListColumnCount] = {
    {"File/Folder", Qt::AlignLeft | Qt::AlignVCenter, 40},
    {"Size", Qt::AlignRight | Qt::AlignVCenter, 20},
    {"Type", Qt::AlignHCenter | Qt::AlignVCenter, 20},
    {"Last modified", Qt::AlignLeft | Qt::AlignVCenter, 30},
    {"Permission", Qt::AlignHCenter | Qt::AlignVCenter, 30},
    {"Owner/Group", Qt::AlignHCenter | Qt::AlignVCenter, 30},
    {"No.", Qt::AlignRight | Qt::AlignVCenter, 12},
};

bool ValidColumn(int column) {
    return column >= 0 && column < kRemoteListColumnCount;
}

// Which running number a kind counts in.
int NumberSlot(char kind) {
    switch (kind) {
        case '-':
            return 0;
        case 'd':
            return 1;
        case 'l':
            return 2;
        case 'b':
            return 3;
        case 'c':
            return 4;
        default:
            return 5;
    }
}

}  // namespace

QString RemoteListColumnTitle(int column) {
    return ValidColumn(column) ? QString::fromLatin1(kColumns[column].title) : QString();
}

Qt::Alignment RemoteListColumnAlignment(int column) {
    return ValidColumn(column) ? kColumns[column].alignment : Qt::AlignLeft | Qt::AlignVCenter;
}

QList<int> RemoteListColumnWeights() {
    QList<int> weights;
    for (const ColumnSpec& c : kColumns)
        weights << c.weight;
    return weights;
}

QList<int> CarriedProportionalWidths(int width, const QList<int>& weights) {
    QList<int> out;
    qint64 sum = 0;
    for (int w : weights)
        sum += qMax(0, w);
    width = qMax(0, width);
    // Exact fractions: the carry is kept in units of 1/sum pixel.
    qint64 carry = 0;
    for (int w : weights) {
        const qint64 share = qint64(width) * qMax(0, w);
        int pixels = sum > 0 ? int(share / sum) : 0;
        carry += sum > 0 ? share % sum : 0;
        if (sum > 0 && carry >= sum) {
            ++pixels;
            carry -= sum;
        }
        out << pixels;
    }
    return out;
}

int ListColumnsWidth(int clientWidth, int scrollBarWidth, bool scrollBarShown) {
    return qMax(0, clientWidth - 2 - (scrollBarShown ? scrollBarWidth : 0));
}

QString RemoteTypeText(const RemoteItemView& item) {
    switch (item.kind) {
        case '-': {
            const qsizetype dot = item.name.lastIndexOf('.');
            if (dot <= 0)
                return QString();
            return QString::fromUtf8(item.name.sliced(dot + 1));
        }
        case 'd':
            return QString();
        case 'l':
            return QStringLiteral("link");
        case 'b':
            return QStringLiteral("device b");
        case 'c':
            return QStringLiteral("device c");
        default:
            return QStringLiteral("unknown");
    }
}

std::vector<int> NumberWithinKinds(const RemoteItemList& items) {
    std::vector<int> numbers;
    numbers.reserve(size_t(items.size()));
    int next[6] = {1, 1, 1, 1, 1, 1};
    for (int i = 0; i < items.size(); ++i)
        numbers.push_back(next[NumberSlot(items.kindAt(i))]++);
    return numbers;
}

QString RemoteSizeText(const RemoteItemView& item, quint8 sizeStyle) {
    if (item.kind != '-' && item.kind != 'l')
        return QString();
    return FormatSize(item.size, sizeStyle);
}

QString RemotePermissionText(const RemoteItemView& item, bool numeric) {
    if (numeric)
        return FormatPermissionNumber(item.permissions.toByteArray());
    return QString::fromLatin1(item.permissions);
}

QString RemoteDateText(const RemoteItemView& item) {
    QString date;
    if (item.month >= 1 && item.day >= 1) {
        if (item.year >= 0)
            date = QString::asprintf("%04d-%02d-%02d", item.year, item.month, item.day);
        else
            date = QString::asprintf("%02d-%02d", item.month, item.day);
    }
    if (!item.time.isEmpty()) {
        const QString time =
            QString::fromLatin1(item.time.first(qMin<qsizetype>(5, item.time.size())));
        date = date.isEmpty() ? time : date + QStringLiteral("  ") + time;
    }
    return date;
}

QString RemoteOwnerGroupText(const RemoteItemView& item) {
    if (item.owner.isEmpty() || item.group.isEmpty())
        return QString::fromUtf8(item.owner) + QString::fromUtf8(item.group);
    return QString::fromUtf8(item.owner) + QLatin1Char('/') + QString::fromUtf8(item.group);
}

QString RemoteNameText(const QByteArray& name) {
    return QString::fromUtf8(name);
}
