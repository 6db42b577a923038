#pragma once

#include <QString>

// The desktop's trash, as file managers share it: a file put there can be
// restored from any of them. Files go to the home trash when they live on its
// disk, else to the trash at the top of their own disk, so that a move is
// always one rename and never a copy. Nothing is moved unless its record is
// written first.
class TrashCan {
public:
    // Where the home trash lives: $XDG_DATA_HOME/Trash, else
    // ~/.local/share/Trash.
    static QString homeTrash();

    // Moves the file at `path` into the trash. Returns where it now is; empty,
    // with the system's reason in `error`, when it stayed where it was.
    static QString put(const QString& path, QString* error);
};
