#pragma once

#include <QHeaderView>
#include <QTest>
#include <QTreeView>

// A left click in the middle of a column's header, as a user sorts by it.
inline void ClickHeader(QTreeView* view, int column) {
    QHeaderView* header = view->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}
