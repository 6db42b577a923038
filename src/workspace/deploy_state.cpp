#include "workspace/deploy_state.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>

namespace {

constexpr char kHeader[] = "velmora-deploy 1";

QByteArray escapePath(const QByteArray& path) {
    QByteArray out;
    for (char c : path) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

bool unescapePath(const QByteArray& text, QByteArray* path) {
    path->clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            *path += text[i];
            continue;
        }
        if (++i >= text.size())
            return false;
        switch (text[i]) {
            case '\\':
                *path += '\\';
                break;
            case 't':
                *path += '\t';
                break;
            case 'n':
                *path += '\n';
                break;
            default:
                return false;
        }
    }
    return true;
}

bool isHex64(const QByteArray& s) {
    if (s.size() != 64)
        return false;
    for (char c : s) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// A file that could not be read has no hash: it is recorded under one no file has, to be sent
// again, and the state stays readable.
QByteArray recordedHash(const QByteArray& sha256) {
    return isHex64(sha256) ? sha256 : QByteArray(64, '0');
}

}  // namespace

QByteArray DeployState::serialize() const {
    QByteArray out = QByteArray(kHeader) + '\n';
    for (const auto& [path, record] : files)
        out +=
            escapePath(path) + '\t' + QByteArray::number(record.size) + '\t' + record.sha256 + '\n';
    return out;
}

bool DeployState::listsBelow(const QByteArray& folder) const {
    const QByteArray prefix = folder + '/';
    const auto it = files.lower_bound(prefix);
    return it != files.end() && it->first.startsWith(prefix);
}

std::optional<DeployState> DeployState::parse(const QByteArray& text, QString* error) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != kHeader) {
        *error = QStringLiteral("not a deploy state file (its first line is not \"%1\")")
                     .arg(QLatin1String(kHeader));
        return std::nullopt;
    }
    if (!text.endsWith('\n')) {
        *error = QStringLiteral("the deploy state file is cut short");
        return std::nullopt;
    }
    DeployState state;
    for (qsizetype n = 1; n + 1 < lines.size(); ++n) {
        const QList<QByteArray> fields = lines[n].split('\t');
        QByteArray path;
        bool ok = false;
        const qint64 size = fields.size() == 3 ? fields[1].toLongLong(&ok) : -1;
        if (fields.size() != 3 || !ok || size < 0 || !isHex64(fields[2]) ||
            !unescapePath(fields[0], &path) || path.isEmpty() || state.files.count(path)) {
            *error = QStringLiteral("line %1 of the deploy state file is damaged").arg(n + 1);
            return std::nullopt;
        }
        state.files[path] = {size, fields[2]};
    }
    return state;
}

QByteArray FileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result().toHex();
}

DeployPlan PlanChangedDeploy(const std::vector<DeployCandidate>& local,
                             const std::optional<DeployState>& state,
                             const std::vector<QByteArray>& remoteFiles, bool withDelete) {
    DeployPlan plan;
    QSet<QByteArray> present;
    for (const DeployCandidate& c : local) {
        present.insert(c.path);
        if (c.remoteNotFile) {
            plan.conflicts.push_back(c.path);
            continue;
        }
        bool send = !c.remoteExists || c.remoteSize != c.size;
        if (!send && state) {
            const auto it = state->files.find(c.path);
            send = it == state->files.end() || it->second.sha256 != c.sha256 ||
                   it->second.size != c.size;
        } else if (!send && c.remoteSameBytes) {
            send = !*c.remoteSameBytes;
        }
        if (send)
            plan.uploads.push_back(c.path);
    }
    if (withDelete && state) {
        for (const QByteArray& r : remoteFiles) {
            if (!present.contains(r) && state->files.count(r))
                plan.deletes.push_back(r);
        }
    }
    return plan;
}

DeployState DeployStateBeforeUploads(const std::vector<DeployCandidate>& local,
                                     const std::optional<DeployState>& last,
                                     const DeployPlan& plan) {
    DeployState s = last.value_or(DeployState{});
    std::map<QByteArray, qint64> sizes;
    for (const DeployCandidate& c : local) {
        sizes[c.path] = c.size;
        // The first deploy found these the same on the server.
        if (!last && c.remoteExists && !c.remoteNotFile)
            s.files[c.path] = {c.size, recordedHash(c.sha256)};
    }
    for (const QByteArray& p : plan.uploads)
        s.files[p] = {sizes[p], QByteArray(64, '0')};
    return s;
}

DeployState DeployStateAfter(const std::vector<DeployCandidate>& local,
                             const std::optional<DeployState>& last, const DeployPlan& plan,
                             const std::function<bool(const QByteArray&)>& stillOnServer) {
    DeployState s;
    for (const DeployCandidate& c : local)
        s.files[c.path] = {c.size, recordedHash(c.sha256)};
    if (!last)
        return s;
    const QSet<QByteArray> deleted(plan.deletes.begin(), plan.deletes.end());
    for (const auto& [path, record] : last->files) {
        if (!s.files.count(path) && !deleted.contains(path) && stillOnServer(path))
            s.files[path] = record;
    }
    return s;
}
