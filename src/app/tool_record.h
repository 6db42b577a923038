#pragma once

#include <QString>
#include <QtGlobal>

// One viewing tool: an outside program a file can be opened with.
struct ToolRecord {
    QString Name;       // shown in menus
    QString Path;       // folder holding the program, no trailing '/'; empty while not found
    QString File;       // the program's file name
    quint8 IsHttp = 0;  // 1: gets web addresses; 0: gets local paths

    bool isHttpTool() const { return IsHttp != 0; }
    // Only a tool whose program is known can be offered.
    bool isUsable() const { return !Path.isEmpty() && !File.isEmpty(); }
    // The full program path: Path + "/" + File.
    QString programPath() const { return Path + QLatin1Char('/') + File; }

    bool operator==(const ToolRecord&) const = default;
};
