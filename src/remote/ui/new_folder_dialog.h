#pragma once

#include <QByteArray>
#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

// "New folder name": the name of a folder to create under "Parent directory :".
// OK stays disabled while the name could not be sent as one entry.
class NewFolderDialog : public QDialog {
    Q_OBJECT
public:
    NewFolderDialog(const QString& parentFolder, QWidget* parent = nullptr);

    // The bytes to send, when the typed name is usable.
    std::optional<QByteArray> name() const;
    QLineEdit* nameField() const { return field_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLineEdit* field_;
    QPushButton* ok_;
};
