#pragma once

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The picture under the cursor while local items are dragged: the first
// item's icon and its name, or the number of items.
QPixmap LocalDragImage(const QIcon& icon, const QString& text, const QFont& font);
