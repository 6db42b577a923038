#pragma once

class QModelIndex;
class QTreeView;

// A tree view reads a changed node's expand arrow anew (a folder found to hold
// no folders loses it) but repaints only the node's text, not the branch
// beside it where the arrow is drawn. A tree whose nodes learn late whether
// they hold anything calls this from its dataChanged, so the whole row shows
// the change.
void RepaintChangedRow(QTreeView* view, const QModelIndex& topLeft, const QModelIndex& bottomRight);
