#pragma once

#include <optional>

#include <QTabWidget>

#include <functional>

#include "app/site_record.h"

class HelpViewer;
class Prompter;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// The four pages of the "Site connect" dialog: show one record, collect the edits back.
class SitePages : public QTabWidget {
    Q_OBJECT
public:
    SitePages(Prompter& prompter, HelpViewer& help, QWidget* parent = nullptr);

    void showRecord(const SiteRecord& record);
    // `base` (the selected record) with the values of the pages. Of the "More FTP" page only
    // the FTP over TLS choice is taken; the rest of the page is reserved, so those values
    // come from `base` unchanged.
    SiteRecord collect(const SiteRecord& base) const;
    // The server's LIST time offset, kept beside the site; shown empty when
    // not known. The text stays for the dialog to check and store.
    void showTimeOffset(std::optional<qint32> seconds);
    QString timeOffsetText() const;

    // Widgets for tests.
    QLineEdit* hostEdit() const { return host_; }
    QLineEdit* portEdit() const { return port_; }
    QComboBox* logonCombo() const { return logon_; }
    QLineEdit* userEdit() const { return user_; }
    QLineEdit* passwordEdit() const { return password_; }
    QComboBox* transferTypeCombo() const { return transferType_; }
    QLineEdit* localFolderEdit() const { return localFolder_; }
    QLineEdit* remoteFolderEdit() const { return remoteFolder_; }
    QLineEdit* concernedFileEdit() const { return concernedFile_; }
    QToolButton* removeLocalFolderButton() const { return removeLocal_; }
    QPushButton* browseLocalFolderButton() const { return browseLocal_; }
    // Asks for a local folder starting at `current`; empty when cancelled.
    // The folder dialog when not set (tests set their own).
    void setFolderChooser(std::function<QString(const QString& current)> chooser) {
        chooseFolder_ = std::move(chooser);
    }
    QLineEdit* httpBaseEdit() const { return httpBase_; }
    QLineEdit* timeOffsetEdit() const { return timeOffset_; }
    // The FTP over TLS choice, in the order of tlsChoices().
    QRadioButton* tlsButton(int index) const { return tls_[index]; }

    static QStringList logonChoices();
    static QStringList transferTypeChoices();
    static QStringList transferModeChoices();
    static QStringList nameEncodingChoices();
    // Plain FTP, TLS if available, TLS required (the TlsMode order).
    static QStringList tlsChoices();

private:
    QWidget* buildBasicPage();
    QWidget* buildMorePage();
    QWidget* buildProjectsPage();
    QWidget* buildHttpPage();
    void updateUserEnabled();
    void updateRemoveButtons();
    void removeField(QLineEdit* field, const QString& question);

    Prompter& prompter_;
    HelpViewer& help_;

    QLineEdit* timeOffset_ = nullptr;
    QLineEdit* host_ = nullptr;
    QLineEdit* port_ = nullptr;
    QComboBox* logon_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QRadioButton* tls_[3] = {};
    QComboBox* transferType_ = nullptr;
    QRadioButton* preferMlsd_ = nullptr;
    QRadioButton* alwaysList_ = nullptr;

    QComboBox* transferMode_ = nullptr;
    QComboBox* nameEncoding_ = nullptr;
    QLineEdit* charset_ = nullptr;
    QCheckBox* bypassProxy_ = nullptr;

    QLineEdit* localFolder_ = nullptr;
    QLineEdit* remoteFolder_ = nullptr;
    QLineEdit* concernedFile_ = nullptr;
    QToolButton* removeLocal_ = nullptr;
    QToolButton* removeRemote_ = nullptr;
    QToolButton* removeConcerned_ = nullptr;
    QPushButton* browseLocal_ = nullptr;
    std::function<QString(const QString&)> chooseFolder_;

    QLineEdit* httpBase_ = nullptr;
    QLineEdit* abundant1_ = nullptr;
    QLineEdit* abundant2_ = nullptr;
    QLineEdit* abundant3_ = nullptr;
    bool shownInKeyring_ = false;
};
