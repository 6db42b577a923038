#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

// The folders one recursive walk has entered, by path and by the server's
// "unique" fact where its MLSD listing gives one. A server that shows a folder
// inside itself (a link listed as a folder, a mount inside its own tree) would
// lead a walk round for ever: it stops at a folder entered before and 64
// levels below its start.
class FolderWalk {
public:
    static constexpr int kMaxDepth = 64;

    // `unique`: the start folder's fact, when its parent's listing gave one.
    explicit FolderWalk(const QByteArray& start, const QByteArray& unique = {});

    // Enters `path`, a folder listed in `parent` (a folder of this walk). Empty
    // when that is fine; otherwise the error line saying why not.
    QString enter(const QByteArray& parent, const QByteArray& path, const QByteArray& unique);
    // Levels below the start; 0 for a folder not entered.
    int depthOf(const QByteArray& path) const { return depth_.value(path, 0); }

private:
    QHash<QByteArray, int> depth_;
    QHash<QByteArray, QByteArray> byUnique_;  // unique fact -> the path entered with it
};

using FolderWalkPtr = std::shared_ptr<FolderWalk>;
