#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A local folder as an upload sees it: its path and the items to upload.
struct LocalItem {
    QString name;
    bool isFolder = false;
    qint64 size = 0;
};

struct LocalFolderRecord {
    QString path;
    std::vector<LocalItem> items;
    quintptr progressWindow = 0;
};

// Reads a local folder for an upload, with the local side's filters; what it
// leaves out on purpose (linked folders, special files) goes to skipped. False
// when the folder cannot be read.
using LocalFolderReader =
    std::function<bool(const QString& folder, std::vector<LocalItem>* items, QStringList* skipped)>;
