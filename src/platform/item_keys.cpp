#include "platform/item_keys.h"

#include <QtCore/qnamespace.h>

ItemKey ItemKeyFor(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return ItemKey::Open;
        case Qt::Key_Backspace:
            return ItemKey::Up;
        case Qt::Key_F5:
            return ItemKey::Refresh;
        case Qt::Key_F2:
            return ItemKey::Rename;
        case Qt::Key_Delete:
            return ItemKey::Delete;
        default:
            return ItemKey::None;
    }
}
