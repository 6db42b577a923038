#pragma once

#include <QString>

// What the local path bar goes to: an absolute path, "~" or "~/..." below the
// home folder, or a path relative to the folder shown, cleaned of "." and
// "..". Empty for an empty text.
QString ResolveLocalPathInput(const QString& typed, const QString& current, const QString& home);
