#include "app/http_address.h"

#include <QUrl>

namespace {

// The prefix counts only as a whole leading folder of a longer path.
bool cutsPrefix(const QString& path, const QString& prefix) {
    return !prefix.isEmpty() && path.size() > prefix.size() &&
           path.startsWith(prefix, Qt::CaseSensitive) && path.at(prefix.size()) == u'/';
}

}  // namespace

QString HttpAddress(const SiteRecord& site, const QString& ftpPath) {
    QString path = ftpPath;
    for (const QString* prefix :
         {&site.AbundantString1, &site.AbundantString2, &site.AbundantString3}) {
        if (cutsPrefix(path, *prefix)) {
            path = path.mid(prefix->size());
            break;
        }
    }

    QString base = site.HttpBase.isEmpty() ? site.Host : site.HttpBase;
    base.replace(u'\\', u'/');
    path.replace(u'\\', u'/');
    // A name with blanks, '#', '?' or letters beyond ASCII is one a browser can open.
    path = QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));

    QString address;
    if (path.isEmpty()) {
        address = base;
    } else if (base.isEmpty()) {
        address = path;
    } else {
        const bool baseSlash = base.endsWith(u'/');
        const bool pathSlash = path.startsWith(u'/');
        if (baseSlash && pathSlash)
            address = base + path.mid(1);  // one separator, not two
        else if (baseSlash || pathSlash)
            address = base + path;
        else
            address = base + u'/' + path;
    }

    if (!address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    return address;
}
