#include "remote/remote_rename_rule.h"

#include "remote/remote_name_guard.h"

std::optional<QByteArray> TypedRemoteName(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (!isSafeRemoteName(bytes))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> RenameTarget(const QByteArray& oldName, const QString& edited) {
    // The shown text of a name with invalid UTF-8 never equals its bytes;
    // unchanged means the text the view showed.
    if (edited == QString::fromUtf8(oldName))
        return std::nullopt;
    const std::optional<QByteArray> name = TypedRemoteName(edited);
    if (!name || *name == oldName)
        return std::nullopt;
    return name;
}
