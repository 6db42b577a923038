#include "session/command_group.h"

#include "session/command_queue.h"

const char* groupKindName(int kind) {
    switch (kind) {
        case 0:
            return "CMDS_PURE";
        case 1:
            return "CMDS_FAKE";
        case 2:
            return "CMDS_SOCKET";
    }
    return "CMDS UNKNOWN";
}

CommandGroup::CommandGroup(const StepList& steps) {
    for (const auto& s : steps)
        addStep(s.first, s.second);
}

CommandGroup::~CommandGroup() {
    if (whenDestroyed)
        whenDestroyed();
}

bool CommandGroup::startData(const QString&, int) {
    return false;
}

static bool holdsLineBreak(const QByteArray& text) {
    return text.contains('\r') || text.contains('\n') || text.contains('\0');
}

QString CommandGroup::prepareToSend() {
    for (const CommandStep& s : steps_) {
        if (holdsLineBreak(s.name) || holdsLineBreak(s.argument)) {
            // A password is masked whole: the bytes after a line break are secret too.
            QByteArray shown =
                s.nameIs("PASS") ? "PASS " + QByteArray(s.argument.size(), '*') : s.wireText();
            shown.replace('\r', "\\r").replace('\n', "\\n").replace('\0', "\\0");
            return QStringLiteral("Command refused, it holds a line break or NUL: ") +
                   QString::fromUtf8(shown);
        }
    }
    return {};
}

void CommandGroup::addStep(const QByteArray& name, const QByteArray& argument) {
    steps_.append(CommandStep(name, argument));
}

bool CommandGroup::hasUnsentStep() const {
    return firstUnsentIndex() >= 0;
}

int CommandGroup::firstUnsentIndex() const {
    for (int i = 0; i < steps_.size(); ++i)
        if (!steps_[i].sent)
            return i;
    return -1;
}

int CommandGroup::lastSentIndex() const {
    for (int i = steps_.size() - 1; i >= 0; --i)
        if (steps_[i].sent)
            return i;
    return -1;
}

bool CommandGroup::hasSentStepNamed(const char* name) const {
    for (const CommandStep& s : steps_)
        if (s.sent && s.nameIs(name))
            return true;
    return false;
}

GroupHost* CommandGroup::host() const {
    return queue_ ? queue_->host() : nullptr;
}
