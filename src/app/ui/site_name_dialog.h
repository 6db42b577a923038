#pragma once

#include <QDialog>

class Prompter;
class QLineEdit;
class QPushButton;
class SiteList;

// Name and comment of a site ("New site" / "Edit site"). OK checks them against the list.
class SiteNameDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { New, Edit };

    // `editedRow`: the row being renamed (edit mode), -1 otherwise.
    SiteNameDialog(const SiteList& sites, Mode mode, int editedRow, Prompter& prompter,
                   QWidget* parent = nullptr);

    void setTexts(const QString& name, const QString& comment);
    QString name() const;
    QString comment() const;

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* commentEdit() const { return comment_; }
    QPushButton* okButton() const { return ok_; }

private:
    void tryAccept();

    const SiteList& sites_;
    int editedRow_;
    Prompter& prompter_;
    QLineEdit* name_;
    QLineEdit* comment_;
    QPushButton* ok_;
};
