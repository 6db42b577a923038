#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The bytes to send for a name the user typed (UTF-8), or nothing when the
// text is empty, ".", "..", holds '/', CR, LF or NUL: such a name would reach
// outside the folder or could not be sent.
std::optional<QByteArray> TypedRemoteName(const QString& text);

// The new name of an in-place rename, or nothing when nothing is to be sent:
// an unusable name (above) or the old name unchanged (compared with case).
std::optional<QByteArray> RenameTarget(const QByteArray& oldName, const QString& edited);
