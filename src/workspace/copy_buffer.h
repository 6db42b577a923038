#pragma once

#include <QString>

#include <vector>

// One item named in a local copy or drag: its name inside the source folder
// and whether it is a folder.
struct LocalItemRef {
    QString name;
    bool isFolder = false;
};

// The items chosen with "Copy" in the local tree or list, and where from.
struct CopyBuffer {
    QString sourceFolder;
    std::vector<LocalItemRef> items;

    bool isEmpty() const { return items.empty(); }
    void clear() {
        sourceFolder.clear();
        items.clear();
    }
    void set(const QString& folder, std::vector<LocalItemRef> chosen) {
        sourceFolder = folder;
        items = std::move(chosen);
    }
};
