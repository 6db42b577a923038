#pragma once

#include "session/command_group.h"

enum class FakeKind { None = 0, Start = 1, Completed = 2, DownloadToFolder = 3 };

const char* fakeKindName(int kind);

// A marker in the queue, never sent: the start or end of a task, or a local
// folder to show after a download.
class FakeGroup : public CommandGroup {
public:
    FakeGroup(FakeKind fakeKind, int fakeValue, QString text, QString folderText = QString())
        : fakeKind(fakeKind),
          value(fakeValue),
          caption(std::move(text)),
          folder(std::move(folderText)) {
        addStep("ACTION");
    }

    GroupKind kind() const override { return GroupKind::Fake; }
    bool isComplete() const override { return true; }
    QString prepareToSend() override { return {}; }

    FakeKind fakeKind;
    int value;
    QString caption;
    QString folder;
    quintptr ownerToken = 0;  // completion value 5: the owner to tell
    // A start and its completed entry share it (0: not given by a queue), so
    // a task's end is judged with its own troubles when tasks overlap.
    quint64 taskId = 0;
};

inline const char* fakeKindName(int kind) {
    switch (kind) {
        case 0:
            return "FAKE_NONE";
        case 1:
            return "FAKE_START";
        case 2:
            return "FAKE_COMPLETED";
        case 3:
            return "FAKE_DOWNLOAD_TO_FOLDER";
    }
    return "ACTION UNKNOWN";
}
