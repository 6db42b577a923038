#include "workspace/local_drop_rules.h"

#include "platform/program_texts.h"
#include "workspace/local_file_operations.h"
#include "workspace/project_folders.h"

LocalDropDecision DecideLocalDrop(const QString& destination, const QString& source,
                                  const std::vector<LocalItemRef>& items, bool fromTree) {
    const QString cannot = QString::fromLatin1(CommonTexts::kCannotDrop);
    if (destination.isEmpty() || source.isEmpty() || items.empty()) {
        return {LocalDropAction::Refuse, cannot};
    }
    if (fromTree) {
        for (const LocalItemRef& item : items) {
            if (IsInProject(JoinLocalPath(source, item.name), destination, kLocalSeparator)) {
                return {LocalDropAction::Refuse,
                        QString::fromLatin1(LocalTexts::kCannotDropToChild)};
            }
        }
    }
    if (!CanDropLocal(destination, source, items)) {
        return {LocalDropAction::Refuse, cannot};
    }
    return {LocalDropAction::Move, {}};
}

LocalDropDecision DecideRemoteDrop(const QString& destination, bool haveItems, bool loggedIn) {
    if (destination.isEmpty() || !haveItems || !loggedIn) {
        return {LocalDropAction::Refuse, {}};
    }
    return {LocalDropAction::Download, {}};
}
