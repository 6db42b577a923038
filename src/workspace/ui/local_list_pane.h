#pragma once

#include <QWidget>

class LocalListView;
class QLabel;
class QLineEdit;

// A local list as a page shows it: a path bar above it (where it is; a path
// typed and Enter goes there) and a summary line under it (folders, files and
// their size, or those of the rows selected).
class LocalListPane : public QWidget {
    Q_OBJECT
public:
    // Takes the list, which already follows its tree.
    explicit LocalListPane(LocalListView* list, QWidget* parent = nullptr);

    LocalListView* list() const { return list_; }
    QLineEdit* pathBar() const { return pathBar_; }
    QLabel* statusLine() const { return status_; }

    // What Enter in the path bar does; false (with a message) when the typed
    // path names no folder the list may show.
    bool goToTyped();

private:
    void updatePath();
    void updateStatus();

    LocalListView* list_;
    QLineEdit* pathBar_;
    QLabel* status_;
    QString shownFolder_;
};
