#include "app/ui/site_pages.h"

#include "app/publish_settings.h"
#include "app/site_tls.h"

#include "platform/help_viewer.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kProjectsNote = QStringLiteral(
    "First two are project folders on local computer and remote site respectively,\n"
    "you can right click local and remote trees on normal page to set or change them.\n\n"
    "Last one is concerned text file on remote site, such as php error_log file,\n"
    "you can right click a text file on remote list to set or change it.\n");

const QString kHttpNote = QStringLiteral(
    "To view html etc files on the internet correctly, the software requires you provide above "
    "settings manually.\n\n"
    "If you log on main domain, you may leave first setting empty, when you log on subdomain "
    "etc, please provide it.\n"
    "Server may generate abundant strings, such as /public_html and /www, which must be cut for "
    "HTTP address.\n\n"
    "Just think about HTTP address of FireFox.");

QLabel* noteLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A stored list value outside the choices shows as the first one.
int choiceIndex(int value, int count) {
    return value >= 0 && value < count ? value : 0;
}

QHBoxLayout* helpRow(QPushButton* help) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(help);
    return row;
}

}  // namespace

QStringList SitePages::logonChoices() {
    return {QStringLiteral("Normal"), QStringLiteral("Anonymous"),
            QStringLiteral("Ask for password"), QStringLiteral("Interactive"),
            QStringLiteral("Account")};
}

QStringList SitePages::transferTypeChoices() {
    return {QStringLiteral("Default - result depends on server"),
            QStringLiteral("Binary - very strongly recommend {TYPE I}"),
            QStringLiteral("ASCII - possibility causes data lose {TYPE A}")};
}

QStringList SitePages::transferModeChoices() {
    return {QStringLiteral("Default"), QStringLiteral("Active"), QStringLiteral("Passive")};
}

QStringList SitePages::nameEncodingChoices() {
    return {QStringLiteral("Default :   UTF-8 or local charset"), QStringLiteral("Force UTF-8"),
            QStringLiteral("Customer charset :")};
}

QStringList SitePages::tlsChoices() {
    return {QStringLiteral("Plain FTP - password and files travel in clear"),
            QStringLiteral("Use FTP over TLS if available"),
            QStringLiteral("Require FTP over TLS")};
}

SitePages::SitePages(Prompter& prompter, HelpViewer& help, QWidget* parent)
    : QTabWidget(parent), prompter_(prompter), help_(help) {
    addTab(buildBasicPage(), QStringLiteral("Basic FTP"));
    addTab(buildMorePage(), QStringLiteral("More FTP"));
    addTab(buildProjectsPage(), QStringLiteral("Projects"));
    addTab(buildHttpPage(), QStringLiteral("HTTP issues"));
    setCurrentIndex(0);
    showRecord(SiteRecord{});
}

QWidget* SitePages::buildBasicPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    host_ = new QLineEdit;
    port_ = new QLineEdit;
    port_->setValidator(new QIntValidator(0, 65535, port_));
    port_->setMaximumWidth(90);
    logon_ = new QComboBox;
    logon_->addItems(logonChoices());
    user_ = new QLineEdit;
    password_ = new QLineEdit;
    password_->setEchoMode(QLineEdit::Password);
    transferType_ = new QComboBox;
    transferType_->addItems(transferTypeChoices());
    form->addRow(QStringLiteral("Host"), host_);
    form->addRow(QStringLiteral("Port"), port_);
    form->addRow(QStringLiteral("Logon type"), logon_);
    form->addRow(QStringLiteral("User name"), user_);
    form->addRow(QStringLiteral("Password"), password_);
    form->addRow(QStringLiteral("Data transfer type"), transferType_);

    auto* retrieve = new QGroupBox(QStringLiteral("Retrieve files by command"));
    auto* retrieveLayout = new QHBoxLayout(retrieve);
    preferMlsd_ = new QRadioButton(QStringLiteral("prefer MLSD"));
    alwaysList_ = new QRadioButton(QStringLiteral("always LIST"));
    retrieveLayout->addWidget(preferMlsd_);
    retrieveLayout->addWidget(alwaysList_);
    retrieveLayout->addStretch(1);
    timeOffset_ = new QLineEdit;
    timeOffset_->setMaximumWidth(90);
    timeOffset_->setPlaceholderText(QStringLiteral("+00:00"));
    timeOffset_->setToolTip(QStringLiteral(
        "LIST shows the server's local time: how far it is ahead of UTC, as +HH:MM or "
        "-HH:MM. Found by itself when the server offers MLSD too."));
    auto* offsetRow = new QFormLayout;
    offsetRow->addRow(QStringLiteral("LIST time offset"), timeOffset_);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(retrieve);
    layout->addLayout(offsetRow);
    layout->addStretch(1);

    connect(logon_, &QComboBox::currentIndexChanged, this, &SitePages::updateUserEnabled);
    return page;
}

QWidget* SitePages::buildMorePage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    transferMode_ = new QComboBox;
    transferMode_->addItems(transferModeChoices());
    nameEncoding_ = new QComboBox;
    nameEncoding_->addItems(nameEncodingChoices());
    charset_ = new QLineEdit;
    bypassProxy_ = new QCheckBox(QStringLiteral("Bypass proxy"));
    form->addRow(QStringLiteral("Transfer mode"), transferMode_);
    form->addRow(QStringLiteral("Encoding for file name"), nameEncoding_);
    form->addRow(QString(), charset_);
    form->addRow(QString(), bypassProxy_);

    auto* controls = new QWidget;
    controls->setLayout(form);
    controls->setEnabled(false);  // reserved: shown, not editable

    auto* tlsBox = new QGroupBox(QStringLiteral("Security"));
    auto* tlsLayout = new QVBoxLayout(tlsBox);
    const QStringList tlsTexts = tlsChoices();
    for (int i = 0; i < 3; ++i) {
        tls_[i] = new QRadioButton(tlsTexts[i]);
        tlsLayout->addWidget(tls_[i]);
    }
    tlsLayout->addWidget(noteLabel(QStringLiteral(
        "With TLS the password, the listings and the files are encrypted. A server whose "
        "certificate cannot be verified is shown to you before the login goes on.")));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tlsBox);
    layout->addWidget(controls);
    layout->addWidget(noteLabel(QStringLiteral("The page is reserved for further use")));
    layout->addStretch(1);
    return page;
}

QWidget* SitePages::buildProjectsPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    // Typed, browsed for, or set from the trees on the normal page.
    const auto fieldRow = [&](const QString& caption, QLineEdit*& field, QToolButton*& remove,
                              const QString& question, QPushButton* browse = nullptr) {
        field = new QLineEdit;
        field->setAccessibleName(caption);
        remove = new QToolButton;
        remove->setText(QStringLiteral("x"));
        remove->setAccessibleName(QStringLiteral("Remove ") + caption);
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        if (browse)
            row->addWidget(browse);
        row->addWidget(remove);
        form->addRow(caption, row);
        QLineEdit* target = field;
        connect(remove, &QToolButton::clicked, this,
                [this, target, question] { removeField(target, question); });
        connect(field, &QLineEdit::textChanged, this, &SitePages::updateRemoveButtons);
    };
    browseLocal_ = new QPushButton(QStringLiteral("Browse..."));
    browseLocal_->setAccessibleName(QStringLiteral("Browse for the local project Folder"));
    fieldRow(QStringLiteral("Local project Folder"), localFolder_, removeLocal_,
             QStringLiteral("Remove local project Folder?"), browseLocal_);
    connect(browseLocal_, &QPushButton::clicked, this, [this] {
        const QString current = localFolder_->text();
        const QString chosen = chooseFolder_ ? chooseFolder_(current)
                                             : QFileDialog::getExistingDirectory(
                                                   this, QStringLiteral("Local project Folder"),
                                                   current.isEmpty() ? QDir::homePath() : current);
        if (!chosen.isEmpty())
            localFolder_->setText(QDir::cleanPath(chosen));
    });
    fieldRow(QStringLiteral("Remote project Folder"), remoteFolder_, removeRemote_,
             QStringLiteral("Remove server project Folder?"));
    fieldRow(QStringLiteral("Remote concerned File"), concernedFile_, removeConcerned_,
             QStringLiteral("Remove concerned file?"));

    auto* help = new QPushButton(QStringLiteral("Help"));
    connect(help, &QPushButton::clicked, this,
            [this] { help_.showTopic(QString::fromLatin1(HelpTopics::kLocalProjectPage)); });

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(noteLabel(kProjectsNote));
    layout->addStretch(1);
    layout->addLayout(helpRow(help));
    return page;
}

QWidget* SitePages::buildHttpPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout;
    httpBase_ = new QLineEdit;
    abundant1_ = new QLineEdit;
    abundant2_ = new QLineEdit;
    abundant3_ = new QLineEdit;
    form->addRow(QStringLiteral("HTTP subdomain etc."), httpBase_);
    form->addRow(QStringLiteral("Abundant string 1"), abundant1_);
    form->addRow(QStringLiteral("Abundant string 2"), abundant2_);
    form->addRow(QStringLiteral("Abundant string 3"), abundant3_);

    auto* help = new QPushButton(QStringLiteral("Help"));
    connect(help, &QPushButton::clicked, this,
            [this] { help_.showTopic(QString::fromLatin1(HelpTopics::kHttpIssues)); });

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(noteLabel(kHttpNote));
    layout->addStretch(1);
    layout->addLayout(helpRow(help));
    return page;
}

void SitePages::showRecord(const SiteRecord& r) {
    host_->setText(r.Host);
    port_->setText(r.Port < 0 ? QString() : QString::number(r.Port));
    logon_->setCurrentIndex(choiceIndex(r.LogonType, logon_->count()));
    user_->setText(r.User);
    password_->setText(r.Password);
    shownInKeyring_ = r.PasswordInKeyring;
    transferType_->setCurrentIndex(choiceIndex(r.TransferType, transferType_->count()));
    preferMlsd_->setChecked(r.SiteFlags & SiteRecord::kPreferMlsd);
    alwaysList_->setChecked(!(r.SiteFlags & SiteRecord::kPreferMlsd));

    transferMode_->setCurrentIndex(choiceIndex(r.TransferMode, transferMode_->count()));
    nameEncoding_->setCurrentIndex(choiceIndex(r.NameEncoding, nameEncoding_->count()));
    charset_->clear();
    bypassProxy_->setChecked(r.SiteFlags & SiteRecord::kBypassProxy);
    tls_[int(SiteTlsMode(r))]->setChecked(true);

    localFolder_->setText(r.LocalProjectFolder);
    remoteFolder_->setText(r.RemoteProjectFolder);
    concernedFile_->setText(r.ConcernedFile);

    httpBase_->setText(r.HttpBase);
    abundant1_->setText(r.AbundantString1);
    abundant2_->setText(r.AbundantString2);
    abundant3_->setText(r.AbundantString3);
    updateUserEnabled();
    updateRemoveButtons();
}

SiteRecord SitePages::collect(const SiteRecord& base) const {
    SiteRecord r = base;
    // Spaces around a pasted host name would never resolve.
    r.Host = host_->text().trimmed();
    bool portOk = false;
    const int port = port_->text().toInt(&portOk);
    r.Port = portOk ? port : -1;
    // A stored list value the list cannot show stays unless the user picked another one.
    if (logon_->currentIndex() != choiceIndex(base.LogonType, logon_->count()))
        r.LogonType = quint8(logon_->currentIndex());
    r.User = user_->text();
    r.Password = password_->text();
    if (transferType_->currentIndex() != choiceIndex(base.TransferType, transferType_->count()))
        r.TransferType = quint8(transferType_->currentIndex());
    if (preferMlsd_->isChecked())
        r.SiteFlags |= SiteRecord::kPreferMlsd;
    else
        r.SiteFlags &= ~SiteRecord::kPreferMlsd;
    for (int i = 0; i < 3; ++i) {
        if (tls_[i]->isChecked())
            SetSiteTlsMode(r, TlsMode(i));
    }
    r.LocalProjectFolder = localFolder_->text();
    r.RemoteProjectFolder = remoteFolder_->text();
    r.ConcernedFile = concernedFile_->text();
    r.HttpBase = httpBase_->text();
    r.AbundantString1 = abundant1_->text();
    r.AbundantString2 = abundant2_->text();
    r.AbundantString3 = abundant3_->text();
    return r;
}

void SitePages::showTimeOffset(std::optional<qint32> seconds) {
    timeOffset_->setText(seconds ? ::timeOffsetText(*seconds) : QString());
}

QString SitePages::timeOffsetText() const {
    return timeOffset_->text().trimmed();
}

void SitePages::updateUserEnabled() {
    const bool anonymous = logon_->currentIndex() == SiteRecord::kLogonAnonymous;
    user_->setEnabled(!anonymous);
    // What is sent when the field stays empty.
    password_->setPlaceholderText(anonymous ? QStringLiteral("anonymous@")
                                  : shownInKeyring_
                                      ? QStringLiteral("(kept in the desktop keyring)")
                                      : QString());
}

void SitePages::updateRemoveButtons() {
    removeLocal_->setEnabled(!localFolder_->text().isEmpty());
    removeRemote_->setEnabled(!remoteFolder_->text().isEmpty());
    removeConcerned_->setEnabled(!concernedFile_->text().isEmpty());
}

void SitePages::removeField(QLineEdit* field, const QString& question) {
    if (field->text().isEmpty())
        return;
    if (prompter_.askYesNo(question))
        field->clear();
}
