#pragma once

// Command ids of the extras' windows; each action carries its id in data().

// The FTP wizard window's menu bar.
namespace WizardCommand {
enum Id : int {
    ReDownload = 34180,
    Upload = 34183,
    Properties = 34185,
    ActualSize = 34190,
    FitToView = 34191,
    Help = 34192,
    ChangeFont = 34193,
};
}  // namespace WizardCommand
