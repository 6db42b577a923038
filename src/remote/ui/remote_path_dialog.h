#pragma once

#include <QDialog>

class QLineEdit;

// "Copy remote path": the entry's server path and its web address, read-only
// and selectable, each with a button that copies it.
class RemotePathDialog : public QDialog {
    Q_OBJECT
public:
    RemotePathDialog(const QString& ftpPath, const QString& url, QWidget* parent = nullptr);
    QLineEdit* pathField() const { return path_; }
    QLineEdit* urlField() const { return url_; }

private:
    QLineEdit* path_;
    QLineEdit* url_;
};
