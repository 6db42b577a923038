#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <vector>

// What the last deploy sent, kept on the server in the remote project folder so
// that a deploy from a fresh machine still knows: one line per file with its
// relative path, size and SHA-256.
struct DeployRecord {
    qint64 size = 0;
    QByteArray sha256;  // 64 lower-case hex digits

    bool operator==(const DeployRecord&) const = default;
};

class DeployState {
public:
    static constexpr char kFileName[] = ".velmora-deploy";
    static constexpr char kTempName[] = ".velmora-deploy.part";

    std::map<QByteArray, DeployRecord> files;  // relative path ('/') -> record

    // The file's text: a header line, then "path<TAB>size<TAB>sha256" lines;
    // tab, line feed and backslash in a path are written as \t, \n and \\.
    QByteArray serialize() const;
    // Whether a file it lists lies below the folder (relative, '/').
    bool listsBelow(const QByteArray& folder) const;
    // Nothing (with the reason) for a damaged or foreign file.
    static std::optional<DeployState> parse(const QByteArray& text, QString* error);
};

// The SHA-256 of a local file in hex; empty when it cannot be read.
QByteArray FileSha256(const QString& path);

// One local file of the project, with what the server holds at its place.
struct DeployCandidate {
    QByteArray path;  // relative, '/'
    qint64 size = 0;
    QByteArray sha256;          // filled when a state is used
    bool remoteExists = false;  // a file of that name is on the server
    qint64 remoteSize = 0;
    bool remoteNotFile = false;  // a folder or something else stands there
    // The server's checksum of its file matched the local bytes, or not;
    // nothing when it was not asked.
    std::optional<bool> remoteSameBytes;
};

struct DeployPlan {
    std::vector<QByteArray> uploads;    // relative paths, in the given order
    std::vector<QByteArray> deletes;    // files the state lists that are gone locally
    std::vector<QByteArray> conflicts;  // something other than a file stands there
};

// New or changed files: without a state by size and, where the server told it,
// by its checksum; with one by the state's hash (a file the state does not list
// is sent). Deletes only with `withDelete`, only of files
// the state lists, that exist on the server and are gone locally.
DeployPlan PlanChangedDeploy(const std::vector<DeployCandidate>& local,
                             const std::optional<DeployState>& state,
                             const std::vector<QByteArray>& remoteFiles, bool withDelete);

// The state written before the uploads: the last one (without one, the files the server holds
// already as they are here) with every file about to be sent, new or replaced, under a hash no
// file has, so a deploy cut short sends them again instead of trusting the hashes of what was
// there before, and a later deploy with deletes still removes them.
DeployState DeployStateBeforeUploads(const std::vector<DeployCandidate>& local,
                                     const std::optional<DeployState>& last,
                                     const DeployPlan& plan);
// The state a finished deploy leaves: every local file, and the files gone
// locally that stay on the server (not deleted; stillOnServer says which), so a
// later deploy with deletes still knows them.
DeployState DeployStateAfter(const std::vector<DeployCandidate>& local,
                             const std::optional<DeployState>& last, const DeployPlan& plan,
                             const std::function<bool(const QByteArray&)>& stillOnServer);
