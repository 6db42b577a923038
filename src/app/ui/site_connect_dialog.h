#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "app/site_record.h"
#include "app/ui/site_name_dialog.h"

class HelpViewer;
class QCheckBox;
class Prompter;
class QLabel;
class QPushButton;
class QTableView;
class SiteList;
class SiteListModel;
class SitePages;

// "Site connect": the list of sites, the four pages of the selected one, and the buttons that
// add, store and connect. Works on the SiteList directly: what is saved stays saved on "Close".
// exec() returns Accepted after "Connect"; SelectedIndex then names the site to connect.
struct PublishSettings;

class SiteConnectDialog : public QDialog {
    Q_OBJECT
public:
    struct NameTexts {
        QString name;
        QString comment;
    };
    // Asks for name and comment; none when cancelled. Tests replace the dialog.
    using NameAsker = std::function<std::optional<NameTexts>(
        SiteNameDialog::Mode mode, int editedRow, const NameTexts& shown)>;

    SiteConnectDialog(SiteList& sites, Prompter& prompter, HelpViewer& help,
                      QWidget* parent = nullptr);
    ~SiteConnectDialog() override;

    void setNameAsker(NameAsker asker) { askName_ = std::move(asker); }
    // Where the servers' LIST time offsets are kept; without it the pages'
    // offset is neither shown nor stored.
    void setPublishSettings(PublishSettings* publish);

    // The buttons and the row menu.
    void newSite();
    void connectSite();
    void saveSite();
    void renameRow(int row);
    void deleteRow(int row);
    void duplicateRow(int row);

    // The row shown in the pages, -1 when the list is empty.
    int selectedRow() const { return row_; }
    void selectRow(int row);

    QTableView* view() const { return view_; }
    SiteListModel* model() const { return model_; }
    SitePages* pages() const { return pages_; }
    QPushButton* connectButton() const { return connect_; }
    QPushButton* saveButton() const { return save_; }
    QCheckBox* keyringOption() const { return keyring_; }
    // Shows the option as it acts: on by default unless no secret store answered.
    void setSecretStoreMissing(bool missing);

    // "Close" and Escape: edits in the pages are offered to their site first.
    void reject() override;

signals:
    // A site was added, saved, renamed or deleted: the caller writes the list at once, so a
    // crash or a lost session before "Close" loses nothing.
    void sitesChanged();

private:
    std::optional<NameTexts> askNameWithDialog(SiteNameDialog::Mode mode, int editedRow,
                                               const NameTexts& shown);
    void showRow(int row);
    // Edits of the selected site in the pages, before they would go (another
    // site shown, a new one, the dialog closed): saved if the user says so.
    // False when they stay: the save was refused, with its reason shown.
    bool offerEdits();
    void updateButtons();
    // Tells the caller and shows the list as it stands after storing.
    void listChanged();
    void showRowMenu(const QPoint& pos);
    // The offset the pages hold: nothing when its text is not one (the user
    // was told), an empty inner value when none is given.
    std::optional<std::optional<qint32>> pagesTimeOffset();
    // The selected site as the pages show it, with its time offset; none
    // (the reason shown) when nothing is selected or a field is not valid.
    struct Collected {
        SiteRecord site;
        std::optional<qint32> offset;
    };
    std::optional<Collected> collectSelected();
    void storeTimeOffset(const SiteRecord& site, std::optional<qint32> seconds);

    SiteList& sites_;
    PublishSettings* publish_ = nullptr;
    bool reselecting_ = false;
    Prompter& prompter_;
    NameAsker askName_;
    SiteListModel* model_;
    QTableView* view_;
    SitePages* pages_;
    QPushButton* new_;
    QPushButton* connect_;
    QPushButton* save_;
    QPushButton* close_;
    QCheckBox* keyring_;
    int row_ = -1;
};
