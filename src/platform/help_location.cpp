#include "platform/help_location.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The page below folder, or empty when the topic tries to climb out of it.
QString pageInside(const QString& folder, const QString& page) {
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    const QString path = QDir::cleanPath(root + QLatin1Char('/') + page);
    return path.startsWith(root + QLatin1Char('/')) ? path : QString();
}

}  // namespace

QUrl HelpLocation::url() const {
    QUrl u = QUrl::fromLocalFile(file);
    if (!fragment.isEmpty())
        u.setFragment(fragment);
    return u;
}

HelpLocation locateHelpTopic(const QStringList& folders, const QString& topic) {
    HelpLocation out;
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    out.page = hash < 0 ? topic : topic.left(hash);
    out.fragment = hash < 0 ? QString() : topic.mid(hash + 1);
    for (const QString& folder : folders) {
        if (folder.isEmpty() || out.searched.contains(folder))
            continue;
        out.searched << folder;
        const QString path = pageInside(folder, out.page);
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            out.file = path;
            break;
        }
    }
    return out;
}

QString missingHelpPageText(const HelpLocation& location) {
    QString text = QStringLiteral("The help page %1 is missing.").arg(location.page);
    if (!location.searched.isEmpty())
        text += QStringLiteral("\nLooked in:\n  ") + location.searched.join(QStringLiteral("\n  "));
    return text;
}

QString helpTopicForLink(const QStringList& folders, const QUrl& currentPage, const QUrl& link) {
    const QUrl target = currentPage.resolved(link);
    if (!target.isLocalFile())
        return {};
    const QString path = QDir::cleanPath(target.toLocalFile());
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString root = QDir::cleanPath(QDir(folder).absolutePath()) + QLatin1Char('/');
        if (!path.startsWith(root))
            continue;
        QString topic = path.mid(root.size());
        if (target.hasFragment())
            topic += QLatin1Char('#') + target.fragment();
        return topic;
    }
    return {};
}
