#pragma once

#include <QtGlobal>

// The file-action choices of one transfer direction, kept for the run only.
struct TransferAlertOptions {
    enum FileAction : quint8 {
        OverwriteIfDifferent = 0,  // "Overwite if different sizes"
        OverwriteAlways = 1,       // "Overwite always"
        SkipIfExists = 2,          // "Skip if file exists"
        Resume = 3,                // "Resume - with options bellow"
    };
    enum IfLarger : quint8 { Overwrite = 0, Skip = 1 };

    quint8 fileAction = OverwriteIfDifferent;
    // With Resume, when the target is larger than the source.
    quint8 ifLarger = Overwrite;
    // Show the file-action dialog before each transfer.
    quint8 showAlert = 1;

    bool operator==(const TransferAlertOptions&) const = default;
};
