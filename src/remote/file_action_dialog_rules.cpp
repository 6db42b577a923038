#include "remote/file_action_dialog_rules.h"

FileActionDialogState openFileActionDialog(TransferDirection direction,
                                           const TransferAlertOptions& options,
                                           bool restAnnounced) {
    FileActionDialogState s;
    const bool upload = direction == TransferDirection::Upload;
    s.title = QString(upload ? "Upload" : "Download") + QStringLiteral(" file action");
    s.resumeGroupLabel = upload ? QStringLiteral("If Local file size < Server file size")
                                : QStringLiteral("If Server file size < Local file size");
    s.actionRadio = options.fileAction > 3 ? 0 : options.fileAction;
    s.ifLargerRadio = options.ifLarger > 1 ? 0 : options.ifLarger;
    s.doNotShowAgain = options.showAlert == 0;
    s.resumeEnabled = restAnnounced;
    s.resumeGroupEnabled = resumeGroupEnabledFor(s.actionRadio);
    return s;
}

bool resumeGroupEnabledFor(int actionRadio) {
    return actionRadio == TransferAlertOptions::Resume;
}

TransferAlertOptions applyFileActionDialog(int actionRadio, int ifLargerRadio,
                                           bool doNotShowAgain) {
    TransferAlertOptions o;
    o.fileAction = quint8(actionRadio);
    o.ifLarger = quint8(ifLargerRadio);
    o.showAlert = doNotShowAgain ? 0 : 1;
    return o;
}
