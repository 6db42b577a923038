#include "app/ui/general_options_sheet.h"

#include "app/publish_settings.h"
#include "platform/help_viewer.h"
#include "platform/program_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

void setBit(qint32& flags, qint32 bit, const QCheckBox* box) {
    if (box->isChecked())
        flags |= bit;
}

}  // namespace

GeneralOptionsSheet::GeneralOptionsSheet(const AppSettings& current, Prompter& prompter,
                                         HelpViewer& help, QWidget* parent)
    : QDialog(parent),
      current_(current),
      prompter_(prompter),
      tabs_(new QTabWidget),
      apply_(new QPushButton(QStringLiteral("Apply"))) {
    setWindowTitle(QString::fromLatin1(GeneralOptionsTexts::kTitle));
    // Every page exists from the start, so all of them are read on "Apply".
    tabs_->addTab(buildCommonPage(), QStringLiteral("Common"));
    tabs_->addTab(buildLocalPage(), QStringLiteral("Local side"));
    tabs_->addTab(buildServerPage(), QStringLiteral("Server side"));

    auto* helpButton = new QPushButton(QStringLiteral("Help"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    buttons->addWidget(helpButton);
    apply_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, &GeneralOptionsSheet::apply);
    connect(helpButton, &QPushButton::clicked, this,
            [&help] { help.showTopic(QString::fromLatin1(HelpTopics::kGeneralOptions)); });
    showOptions(GeneralOptionsFrom(current_));
    setPublishOptions(PublishSettings::defaults());
}

QWidget* GeneralOptionsSheet::buildCommonPage() {
    auto* page = new QWidget;
    auto* info = new QGroupBox(QStringLiteral("Info of retrieved files on main Chat page"));
    auto* infoForm = new QFormLayout(info);
    chatInfo_ = new QComboBox;
    chatInfo_->addItems(ChatInfoLevelChoices());
    infoForm->addRow(QStringLiteral("How many response to show"), chatInfo_);

    unprintable_ = new QCheckBox(QStringLiteral("Show un-printable charactres in Binary format"));
    traces_ = new QCheckBox(QStringLiteral("Show software traces on both Chat pages"));
    activeServerFiles_ = new QCheckBox(QStringLiteral("Show active server files"));

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(info);
    layout->addWidget(unprintable_);
    layout->addWidget(traces_);
    layout->addWidget(activeServerFiles_);
    layout->addStretch(1);
    return page;
}

QWidget* GeneralOptionsSheet::buildLocalPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(QStringLiteral("Show and upload"));
    auto* groupLayout = new QVBoxLayout(group);
    systemFiles_ = new QCheckBox(QStringLiteral("System files"));
    hiddenFiles_ = new QCheckBox(QStringLiteral("Hidden files"));
    groupLayout->addWidget(systemFiles_);
    groupLayout->addWidget(hiddenFiles_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* GeneralOptionsSheet::buildServerPage() {
    auto* page = new QWidget;
    auto* active = new QGroupBox(QStringLiteral("Active server at idle time by sending commands"));
    auto* activeForm = new QFormLayout(active);
    command1_ = new QComboBox;
    command1_->addItems(KeepAliveCommand1Choices());
    command2_ = new QComboBox;
    command2_->addItems(KeepAliveCommand2Choices());
    interval_ = new QComboBox;
    interval_->addItems(KeepAliveIntervalChoices());
    activeForm->addRow(QStringLiteral("Command 1"), command1_);
    activeForm->addRow(QStringLiteral("Command 2"), command2_);
    activeForm->addRow(QStringLiteral("Time interval between above 2 commands"), interval_);

    auto* kinds = new QGroupBox(QStringLiteral("Delete and download"));
    auto* kindsLayout = new QHBoxLayout(kinds);
    link_ = new QCheckBox(QStringLiteral("Link"));
    deviceB_ = new QCheckBox(QStringLiteral("Device B"));
    deviceC_ = new QCheckBox(QStringLiteral("Device C"));
    unknown_ = new QCheckBox(QStringLiteral("Unknown"));
    for (QCheckBox* box : {link_, deviceB_, deviceC_, unknown_})
        kindsLayout->addWidget(box);
    kindsLayout->addStretch(1);

    auto* publishing = new QGroupBox(QStringLiteral("Uploads and downloads"));
    auto* publishingLayout = new QVBoxLayout(publishing);
    atomic_ = new QCheckBox(QStringLiteral("Replace server files atomically"));
    atomic_->setToolTip(QStringLiteral(
        "Upload to a hidden temporary name, then rename it over the old file, so visitors "
        "never see half a file"));
    keepTimes_ = new QCheckBox(QStringLiteral("Keep modification times"));
    verify_ = new QCheckBox(QStringLiteral("Verify transfers by checksum"));
    verify_->setToolTip(
        QStringLiteral("Where the server tells checksums (HASH, XSHA256, XSHA1, "
                       "XMD5 or XCRC)"));
    for (QCheckBox* box : {atomic_, keepTimes_, verify_})
        publishingLayout->addWidget(box);

    auto* transfers = new QGroupBox(QStringLiteral("Transfers"));
    auto* transfersForm = new QFormLayout(transfers);
    simultaneous_ = new QSpinBox;
    simultaneous_->setRange(0, AppSettings::kMaxSimultaneousTransfers);
    simultaneous_->setToolTip(
        QStringLiteral("Further connections to the server that move files while the main one "
                       "stays free for browsing; 0 moves files one by one on the main one"));
    transfersForm->addRow(QStringLiteral("Simultaneous transfers"), simultaneous_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(active);
    layout->addWidget(kinds);
    layout->addWidget(publishing);
    layout->addWidget(transfers);
    layout->addStretch(1);
    return page;
}

void GeneralOptionsSheet::setPublishOptions(const PublishOptions& options) {
    currentPublish_ = options;
    atomic_->setChecked(options.atomic);
    keepTimes_->setChecked(options.keepTimes);
    verify_->setChecked(options.verify);
}

PublishOptions GeneralOptionsSheet::publishOptions() const {
    PublishOptions o;
    o.atomic = atomic_->isChecked();
    o.keepTimes = keepTimes_->isChecked();
    o.verify = verify_->isChecked();
    return o;
}

void GeneralOptionsSheet::showOptions(const GeneralOptions& o) {
    chatInfo_->setCurrentIndex(o.chatInfoLevel);
    unprintable_->setChecked(o.commonFlags & AppSettings::kShowUnprintableAsBinary);
    traces_->setChecked(o.commonFlags & AppSettings::kShowSoftwareTraces);
    activeServerFiles_->setChecked(o.commonFlags & AppSettings::kShowActiveServerFiles);
    systemFiles_->setChecked(o.localShowFlags & AppSettings::kShowSystemFiles);
    hiddenFiles_->setChecked(o.localShowFlags & AppSettings::kShowHiddenFiles);
    command1_->setCurrentIndex(o.keepAliveCommand1);
    command2_->setCurrentIndex(o.keepAliveCommand2);
    interval_->setCurrentIndex(o.keepAliveInterval);
    link_->setChecked(o.serverKindFlags & AppSettings::kServerKindLink);
    deviceB_->setChecked(o.serverKindFlags & AppSettings::kServerKindDeviceB);
    deviceC_->setChecked(o.serverKindFlags & AppSettings::kServerKindDeviceC);
    unknown_->setChecked(o.serverKindFlags & AppSettings::kServerKindUnknown);
    simultaneous_->setValue(o.simultaneousTransfers);
}

GeneralOptions GeneralOptionsSheet::options() const {
    GeneralOptions o;
    o.chatInfoLevel = chatInfo_->currentIndex();
    setBit(o.commonFlags, AppSettings::kShowUnprintableAsBinary, unprintable_);
    setBit(o.commonFlags, AppSettings::kShowSoftwareTraces, traces_);
    setBit(o.commonFlags, AppSettings::kShowActiveServerFiles, activeServerFiles_);
    setBit(o.localShowFlags, AppSettings::kShowSystemFiles, systemFiles_);
    setBit(o.localShowFlags, AppSettings::kShowHiddenFiles, hiddenFiles_);
    o.keepAliveCommand1 = command1_->currentIndex();
    o.keepAliveCommand2 = command2_->currentIndex();
    o.keepAliveInterval = interval_->currentIndex();
    setBit(o.serverKindFlags, AppSettings::kServerKindLink, link_);
    setBit(o.serverKindFlags, AppSettings::kServerKindDeviceB, deviceB_);
    setBit(o.serverKindFlags, AppSettings::kServerKindDeviceC, deviceC_);
    setBit(o.serverKindFlags, AppSettings::kServerKindUnknown, unknown_);
    o.simultaneousTransfers = simultaneous_->value();
    return o;
}

AppSettings GeneralOptionsSheet::settings() const {
    return WithGeneralOptions(current_, options());
}

void GeneralOptionsSheet::apply() {
    if (ApplyGeneralOptions(current_, settings(), currentPublish_, publishOptions(), prompter_) ==
        GeneralOptionsOutcome::Accepted)
        accept();
}
