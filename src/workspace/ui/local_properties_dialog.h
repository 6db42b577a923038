#pragma once

#include <QDialog>

// "Propertiy": what the disk tells about one local item.
class LocalPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit LocalPropertiesDialog(const QString& path, QWidget* parent = nullptr);
};
