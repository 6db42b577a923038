#pragma once

#include <QDialog>

#include "remote/file_action_dialog_rules.h"
#include "remote/transfer_alert_options.h"
#include "remote/transfer_conflicts.h"

class HelpViewer;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTreeWidget;

// "Upload file action" / "Download file action": what to do with files already at the target.
// Before a transfer it lists what is there already, with both sizes and dates. "Apply" closes
// accepted and options() holds the direction's new choices; any other way out changes nothing.
class FileActionDialog : public QDialog {
    Q_OBJECT
public:
    FileActionDialog(TransferDirection direction, const TransferAlertOptions& options,
                     bool restAnnounced, HelpViewer& help, QWidget* parent = nullptr,
                     const TransferConflicts* conflicts = nullptr);

    TransferAlertOptions options() const;

    QRadioButton* actionRadio(int action) const;
    QGroupBox* resumeGroup() const { return resumeGroup_; }
    QCheckBox* doNotShowBox() const { return doNotShow_; }
    // What is at the target (null without a transfer).
    QLabel* conflictSummary() const { return summary_; }
    QTreeWidget* conflictList() const { return conflictList_; }
    // Rows shown at most; a last row counts the rest.
    static constexpr int kMaxConflictRows = 200;

private:
    void updateResumeGroup();

    QButtonGroup* actions_;
    QButtonGroup* ifLarger_;
    QGroupBox* resumeGroup_;
    QCheckBox* doNotShow_;
    QLabel* summary_ = nullptr;
    QTreeWidget* conflictList_ = nullptr;
};
