#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Copy local path": shows a local path ready to be copied.
class CopyLocalPathDialog : public QDialog {
    Q_OBJECT
public:
    explicit CopyLocalPathDialog(const QString& path, QWidget* parent = nullptr);

    QLineEdit* pathEdit() const { return edit_; }
    QPushButton* copyButton() const { return copy_; }

private:
    QLineEdit* edit_;
    QPushButton* copy_;
};
