#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The picture under the cursor while items are dragged, from either side: an icon and a text
// (the first item's name, or what the drag holds) on the selection's blue.
QPixmap DragImage(const QIcon& icon, const QString& text, const QFont& font);
