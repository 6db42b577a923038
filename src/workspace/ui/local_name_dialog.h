#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the name of a new local folder ("Create sub-directory") or file
// ("New file") inside a folder. OK is offered only for a name that can be
// created there: not empty, not "." or "..", without '/'.
class LocalNameDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Folder, File };

    LocalNameDialog(Purpose purpose, const QString& parentFolder, QWidget* parent = nullptr);

    QString name() const;
    QLineEdit* nameEdit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLineEdit* edit_;
    QPushButton* ok_;
};
