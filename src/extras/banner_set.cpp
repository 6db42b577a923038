#include "extras/banner_set.h"

#include <algorithm>
#include <climits>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// "KEY", blanks, ":", blanks, a decimal number.
bool readNumber(const QByteArray& body, const char* key, int* value) {
    qsizetype i = body.indexOf(key);
    if (i < 0)
        return false;
    i += qsizetype(qstrlen(key));
    while (i < body.size() && isBlank(body[i]))
        ++i;
    if (i >= body.size() || body[i] != ':')
        return false;
    ++i;
    while (i < body.size() && isBlank(body[i]))
        ++i;
    const qsizetype start = i;
    if (i < body.size() && body[i] == '-')
        ++i;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9')
        ++i;
    bool ok = false;
    const long long number = body.mid(start, i - start).toLongLong(&ok);
    if (!ok)
        return false;
    *value = int(std::clamp<long long>(number, INT_MIN, INT_MAX));
    return true;
}

QList<QByteArray> readLabels(const QByteArray& body) {
    QList<QByteArray> labels;
    qsizetype i = body.indexOf("LABEL-NAMES");
    if (i < 0)
        return labels;
    i += 11;
    while (i < body.size() && isBlank(body[i]))
        ++i;
    if (i >= body.size() || body[i] != ':')
        return labels;
    ++i;
    qsizetype end = i;
    while (end < body.size() && body[end] != '\r' && body[end] != '\n')
        ++end;
    QByteArray line = body.mid(i, end - i);
    while (!line.isEmpty() && isBlank(line.back()))
        line.chop(1);
    for (QByteArray piece : line.split(',')) {
        while (!piece.isEmpty() && piece.front() == ' ')
            piece.remove(0, 1);
        labels.append(piece);
    }
    return labels;
}

bool isDivOpen(const QByteArray& body, qsizetype at) {
    if (!body.mid(at, 4).startsWith("<div"))
        return false;
    if (at + 4 >= body.size())
        return false;
    const char c = body[at + 4];
    return c == ' ' || c == '>' || c == '\t' || c == '\r' || c == '\n' || c == '/';
}

// The next "<div" block from `from` up to its matching "</div>", nested
// blocks counted. False when there is none or it never closes.
bool nextDiv(const QByteArray& body, qsizetype from, qsizetype limit, qsizetype* start,
             qsizetype* end) {
    qsizetype i = body.indexOf("<div", from);
    while (i >= 0 && i < limit && !isDivOpen(body, i))
        i = body.indexOf("<div", i + 1);
    if (i < 0 || i >= limit)
        return false;
    *start = i;
    int depth = 0;
    qsizetype at = i;
    while (at < limit) {
        const qsizetype open = body.indexOf("<div", at);
        const qsizetype close = body.indexOf("</div>", at);
        if (close < 0 || close >= limit)
            return false;
        if (open >= 0 && open < close) {
            if (isDivOpen(body, open))
                ++depth;
            at = open + 4;
        } else {
            --depth;
            at = close + 6;
            if (depth == 0) {
                *end = at;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

BannerSet ParseBannerPage(const QByteArray& body, int desktopHeight) {
    BannerSet set;
    if (body.size() > kMaxBannerPageBytes)
        return set;
    int elapse = -1, height = 0;
    if (!readNumber(body, "TIMER-ELAPSE", &elapse))
        return set;
    set.timerElapse = elapse;
    if (!readNumber(body, "BANNER-HEIGHT", &height))
        return set;
    set.bannerHeight = height < 1 ? 60 : height;
    set.labels = readLabels(body);

    const qsizetype headStart = body.indexOf("<head");
    const qsizetype headClose = headStart < 0 ? -1 : body.indexOf("</head>", headStart);
    if (headStart < 0 || headClose < 0) {
        set.labels.clear();
        return set;
    }
    const qsizetype headEnd = headClose + 7;
    set.head = body.mid(headStart, headEnd - headStart);

    // At least one banner per page, however small the desktop.
    const int perPage = qMax(1, (desktopHeight - 172) / set.bannerHeight);
    QByteArray page;
    int onPage = 0;
    qsizetype from = headEnd;
    for (;;) {
        qsizetype outerStart = 0, outerEnd = 0;
        if (!nextDiv(body, from, body.size(), &outerStart, &outerEnd))
            break;
        const qsizetype inside = body.indexOf('>', outerStart);
        qsizetype s1 = 0, e1 = 0, s2 = 0, e2 = 0;
        if (inside < 0 || !nextDiv(body, inside + 1, outerEnd, &s1, &e1) ||
            !nextDiv(body, e1, outerEnd, &s2, &e2))
            break;
        set.singles.append(body.mid(s1, e1 - s1));
        page += body.mid(s2, e2 - s2) + "\r\n\r\n";
        if (++onPage == perPage) {
            set.pages.append(page);
            page.clear();
            onPage = 0;
        }
        from = outerEnd;
    }
    if (!page.isEmpty())
        set.pages.append(page);
    return set;
}

int BannerIntervalSeconds(int timerElapse) {
    return qBound(2, timerElapse, 120);
}

QString BannerTabLabel(const QList<QByteArray>& labels, int index) {
    if (index >= 0 && index < labels.size() && !labels[index].isEmpty())
        return QString::fromUtf8(labels[index]);
    return QStringLiteral("Unknown %1").arg(index, 3, 10, QLatin1Char('0'));
}

QString BannerPageFileName(int index) {
    return QStringLiteral("page%1.htm").arg(index, 3, 10, QLatin1Char('0'));
}

QByteArray BannerPageFile(const QByteArray& head, const QByteArray& page) {
    return head + "\r\n\r\n<body>\r\n\r\n" + page + "\r\n\r\n</body>";
}

QByteArray BannerSingleFile(const QByteArray& head, const QByteArray& single) {
    return head + single;
}
