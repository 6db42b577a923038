#pragma once

#include "remote/transfer_alert_options.h"

#include <QString>

// The file-action dialog of a transfer direction, as data the window shows.
struct FileActionDialogState {
    QString title;             // "Upload file action" / "Download file action"
    QString resumeGroupLabel;  // the rule for a larger target
    int actionRadio = 0;       // 0..3, the file action
    int ifLargerRadio = 0;     // 0 "Overwrite", 1 "Skip"
    bool doNotShowAgain = false;
    bool resumeEnabled = false;       // the server announced REST
    bool resumeGroupEnabled = false;  // only while "Resume" is chosen
};

enum class TransferDirection { Upload, Download };

FileActionDialogState openFileActionDialog(TransferDirection direction,
                                           const TransferAlertOptions& options, bool restAnnounced);
// Choosing another action enables or disables the resume group at once.
bool resumeGroupEnabledFor(int actionRadio);
// What "Apply" stores.
TransferAlertOptions applyFileActionDialog(int actionRadio, int ifLargerRadio, bool doNotShowAgain);
