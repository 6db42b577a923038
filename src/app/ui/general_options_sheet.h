#pragma once

#include <QDialog>

#include "app/app_settings.h"
#include "app/general_options.h"

class HelpViewer;
class Prompter;
class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The "General" options sheet: pages "Common", "Local side" and "Server side" over a copy of
// the settings. "Apply" without a change says "No change" and stays open; with one it closes
// accepted and settings() holds the whole record to store.
class GeneralOptionsSheet : public QDialog {
    Q_OBJECT
public:
    GeneralOptionsSheet(const AppSettings& current, Prompter& prompter, HelpViewer& help,
                        QWidget* parent = nullptr);

    // The current settings with the pages' values.
    AppSettings settings() const;
    GeneralOptions options() const;
    // The publishing options, kept beside the settings.
    void setPublishOptions(const PublishOptions& options);
    PublishOptions publishOptions() const;

    void apply();

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* applyButton() const { return apply_; }
    QComboBox* keepAliveIntervalCombo() const { return interval_; }
    QCheckBox* hiddenFilesBox() const { return hiddenFiles_; }
    QCheckBox* atomicBox() const { return atomic_; }
    QCheckBox* keepTimesBox() const { return keepTimes_; }
    QCheckBox* verifyBox() const { return verify_; }
    QSpinBox* simultaneousTransfersBox() const { return simultaneous_; }

private:
    QWidget* buildCommonPage();
    QWidget* buildLocalPage();
    QWidget* buildServerPage();
    void showOptions(const GeneralOptions& options);

    const AppSettings current_;
    PublishOptions currentPublish_;
    Prompter& prompter_;
    QTabWidget* tabs_;
    QPushButton* apply_;

    QComboBox* chatInfo_ = nullptr;
    QCheckBox* unprintable_ = nullptr;
    QCheckBox* traces_ = nullptr;
    QCheckBox* activeServerFiles_ = nullptr;
    QCheckBox* systemFiles_ = nullptr;
    QCheckBox* hiddenFiles_ = nullptr;
    QComboBox* command1_ = nullptr;
    QComboBox* command2_ = nullptr;
    QComboBox* interval_ = nullptr;
    QCheckBox* link_ = nullptr;
    QCheckBox* deviceB_ = nullptr;
    QCheckBox* deviceC_ = nullptr;
    QCheckBox* unknown_ = nullptr;
    QCheckBox* atomic_ = nullptr;
    QCheckBox* keepTimes_ = nullptr;
    QCheckBox* verify_ = nullptr;
    QSpinBox* simultaneous_ = nullptr;
};
