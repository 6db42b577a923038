#include "app/tool_search.h"

#include "platform/path_containment.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

bool IsExcluded(const QString& folder, const QStringList& excluded) {
    for (const QString& e : excluded) {
        if (IsSameOrBelow(e, folder)) {
            return true;
        }
    }
    return false;
}

bool HoldsProgram(const QString& folder, const QString& file) {
    const QFileInfo info(QDir(folder).filePath(file));
    return info.isFile() && info.isExecutable();
}

QString Clean(const QString& folder) {
    // "/usr/" and "/usr" are one folder; the root stays "/".
    return QDir::cleanPath(folder);
}

bool IsPlainName(const QString& file) {
    return !file.isEmpty() && file != QLatin1String(".") && file != QLatin1String("..") &&
           !file.contains(QLatin1Char('/')) && !file.contains(QChar(0));
}

}  // namespace

ToolSearchRoots DefaultToolSearchRoots() {
    ToolSearchRoots roots;
    const QString path = QProcessEnvironment::systemEnvironment().value(QStringLiteral("PATH"));
    for (const QString& folder : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries would depend on where the program was started.
        if (folder.startsWith(QLatin1Char('/')) && !roots.pathFolders.contains(Clean(folder))) {
            roots.pathFolders << Clean(folder);
        }
    }
    roots.walkRoots << QStringLiteral("/usr") << QStringLiteral("/opt") << QStringLiteral("/snap");
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/")) {
        roots.walkRoots << home;
    }
    roots.excluded << QStringLiteral("/proc") << QStringLiteral("/sys") << QStringLiteral("/dev")
                   << QStringLiteral("/run");
    return roots;
}

ToolSearchHit FindToolFolder(const QString& file, const ToolSearchRoots& roots,
                             const ToolSearchProgress& progress) {
    ToolSearchHit hit;
    if (!IsPlainName(file)) {
        return hit;
    }
    for (const QString& raw : roots.pathFolders) {
        const QString folder = Clean(raw);
        if (!IsExcluded(folder, roots.excluded) && HoldsProgram(folder, file)) {
            hit.folder = folder;
            return hit;
        }
    }
    for (const QString& raw : roots.walkRoots) {
        const QString root = Clean(raw);
        const QFileInfo rootInfo(root);
        if (!rootInfo.isDir() || rootInfo.isSymLink() || IsExcluded(root, roots.excluded)) {
            continue;
        }
        // An explicit stack keeps deep trees off the call stack; children are
        // pushed in reverse so they are visited in enumeration order.
        std::vector<QString> stack{root};
        while (!stack.empty()) {
            const QString folder = stack.back();
            stack.pop_back();
            if (progress && !progress(folder)) {
                hit.stopped = true;
                return hit;
            }
            if (HoldsProgram(folder, file)) {
                hit.folder = folder;
                return hit;
            }
            const QStringList children = QDir(folder).entryList(
                QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                QDir::Unsorted);
            for (auto it = children.crbegin(); it != children.crend(); ++it) {
                const QString child = QDir(folder).filePath(*it);
                if (!IsExcluded(child, roots.excluded)) {
                    stack.push_back(child);
                }
            }
        }
    }
    return hit;
}

ToolSearchSummary SearchToolRows(std::vector<ToolRecord>& rows, const ToolSearchRoots& roots,
                                 const ToolSearchProgress& progress,
                                 const std::function<void(int row)>& onFound) {
    ToolSearchSummary summary;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ToolRecord& row = rows[i];
        if (row.isUsable() || !IsPlainName(row.File)) {
            continue;
        }
        ++summary.searched;
        const ToolSearchHit hit = FindToolFolder(row.File, roots, progress);
        if (hit.stopped) {
            summary.stopped = true;
            return summary;
        }
        if (!hit.folder.isEmpty()) {
            row.Path = hit.folder;
            ++summary.found;
            if (onFound) {
                onFound(int(i));
            }
        }
    }
    return summary;
}
