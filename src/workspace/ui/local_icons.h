#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

#include "platform/drives.h"

// Icons of local items from the desktop's icon theme, by kind and, for files,
// by extension; the style's standard icons stand in where the theme has none.
// Icons are looked up once per extension and kept.
class LocalIcons {
public:
    QIcon computer();
    QIcon drive(DriveType type);
    QIcon folder();
    QIcon parentFolder();
    QIcon file(const QString& name);

private:
    QIcon computer_;
    QIcon folder_;
    QIcon parent_;
    QHash<int, QIcon> drives_;
    QHash<QString, QIcon> files_;
};
