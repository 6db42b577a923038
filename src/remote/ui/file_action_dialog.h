#pragma once

#include <QDialog>

#include "remote/file_action_dialog_rules.h"
#include "remote/transfer_alert_options.h"

class HelpViewer;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;

// "Upload file action" / "Download file action": what to do with files already at the target.
// "Apply" closes accepted and options() holds the direction's new choices; any other way out
// changes nothing.
class FileActionDialog : public QDialog {
    Q_OBJECT
public:
    FileActionDialog(TransferDirection direction, const TransferAlertOptions& options,
                     bool restAnnounced, HelpViewer& help, QWidget* parent = nullptr);

    TransferAlertOptions options() const;

    QRadioButton* actionRadio(int action) const;
    QGroupBox* resumeGroup() const { return resumeGroup_; }
    QCheckBox* doNotShowBox() const { return doNotShow_; }

    static constexpr char kHelpTopic[] = "dialog/updnalert.htm";

private:
    void updateResumeGroup();

    QButtonGroup* actions_;
    QButtonGroup* ifLarger_;
    QGroupBox* resumeGroup_;
    QCheckBox* doNotShow_;
};
