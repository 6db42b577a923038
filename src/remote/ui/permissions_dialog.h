#pragma once

#include <QDialog>

#include <optional>
#include <vector>

#include "remote/permission_actions.h"
#include "remote/remote_item.h"

class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// "Permissions for ...": three rows of Read/Write/Exacute boxes, the Numeric
// and Expression fields kept in step, recursion for folders, "Apply". It starts
// from the listed mode; when that is unknown nothing is checked and a note
// says so. Apply closes only with a request that changes something; otherwise
// the reason is shown and the dialog stays.
class PermissionsDialog : public QDialog {
    Q_OBJECT
public:
    PermissionsDialog(std::vector<RemoteItem> selected, bool linksAsFolders, Prompter& prompter,
                      QWidget* parent = nullptr);

    PermissionRequest request() const { return request_; }
    // None while the mode is unknown and nothing was chosen.
    std::optional<int> number() const { return number_; }

    QCheckBox* bitBox(int row, int column) const { return bits_[row][column]; }
    QLineEdit* numericField() const { return numeric_; }
    QLineEdit* expressionField() const { return expression_; }
    QCheckBox* recurseBox() const { return recurse_; }
    QComboBox* recurseChoice() const { return choice_; }
    QLabel* noteLabel() const { return note_; }
    void apply();

private:
    void setNumber(std::optional<int> number, QObject* from);

    std::vector<RemoteItem> selected_;
    Prompter& prompter_;
    QCheckBox* bits_[3][3] = {};
    QLineEdit* numeric_;
    QLineEdit* expression_;
    QCheckBox* recurse_;
    QComboBox* choice_;
    QLabel* note_;
    std::optional<int> number_;
    bool updating_ = false;
    PermissionRequest request_;
};
