#pragma once

#include "session/command_step.h"
#include "session/transfer_info.h"

#include <QByteArray>
#include <QString>

#include <memory>

// What the groups run back to back on one connection know of the server's
// current folder.
struct FolderCursor {
    QByteArray folder;  // empty: not known
};

// A file transfer that first goes to its folder (CWD info().remoteFolder),
// unless the cursor says the server is there already: transfers queued back to
// back on one connection change folder once per folder. Only groups sharing
// the cursor may run between them; a refused CWD or anything unforeseen makes
// the next one change folder again.
template <class Base>
class FolderChained : public Base {
public:
    FolderChained(TransferInfo info, const StepList& transferSteps,
                  std::shared_ptr<FolderCursor> cursor)
        : Base(info, withFolderChange(info.remoteFolder, transferSteps)),
          cursor_(std::move(cursor)) {}

    QString prepareToSend() override {
        const QString refusal = Base::prepareToSend();
        if (!refusal.isEmpty())
            return refusal;
        const QByteArray& folder = this->info().remoteFolder;
        if (cursor_->folder == folder && !folder.isEmpty()) {
            this->steps().removeFirst();
            changesFolder_ = false;
        }
        return {};
    }

    void onFinished(bool success) override {
        if (changesFolder_ && this->hasSentStepNamed("CWD")) {
            // The PASV went out only after the server accepted the CWD.
            cursor_->folder =
                this->hasSentStepNamed("PASV") ? this->info().remoteFolder : QByteArray();
        }
        Base::onFinished(success);
    }

private:
    static StepList withFolderChange(const QByteArray& folder, const StepList& steps) {
        StepList all{{"CWD", folder}};
        all.append(steps);
        return all;
    }

    std::shared_ptr<FolderCursor> cursor_;
    bool changesFolder_ = true;
};
