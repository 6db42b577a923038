#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

#include "remote/remote_item_list.h"

// Images of remote entries: by kind, and for files by the name's extension,
// from the desktop's icon theme; the style's standard images where the theme
// has none. Looked up once per extension.
class RemoteIcons {
public:
    QIcon forItem(const RemoteItemView& item);
    QIcon forItem(const RemoteItem& item) { return forItem(RemoteItemView::of(item)); }
    // Tree nodes: a folder not listed yet looks different from a listed one.
    QIcon folder(bool listed);
    QIcon link();

private:
    QIcon forExtension(const QString& extension);

    QHash<QString, QIcon> byExtension_;
    QIcon folder_;
    QIcon unlisted_;
    QIcon link_;
    QIcon device_;
    QIcon unknown_;
    bool loaded_ = false;
    void load();
};
