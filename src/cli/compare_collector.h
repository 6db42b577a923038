#pragma once

#include <QObject>
#include <QStringList>

#include "workspace/compare_tree.h"
#include "workspace/loop_owner.h"

// Gathers a compare walk into a tree for the commands that print or act on it;
// local folders that could not be read are noted by their relative path.
class CompareCollector : public QObject, public CompareOwner {
public:
    CompareTree tree;
    QStringList unreadable;

    bool compareResult(const FolderCompareResult& r) override {
        if (!r.localReadable)
            unreadable << QString::fromUtf8(r.relativePath);
        return tree.add(r);
    }
};
