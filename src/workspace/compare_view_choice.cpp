#include "workspace/compare_view_choice.h"

#include "platform/prompter.h"
#include "remote/local_name_guard.h"

CompareViewSide ChooseCompareViewSide(const CompareItem& item, Prompter& prompter) {
    const bool localFile = item.isLocal() && !item.isLocalFolder();
    const bool remoteFile =
        item.isRemote() && item.remoteKind == '-' && isSafeLocalName(item.remoteName);
    if (localFile && remoteFile) {
        switch (prompter.askYesNoCancel(QString::fromLatin1(kCompareViewQuestion))) {
            case PromptAnswer::Yes:
                return CompareViewSide::Server;
            case PromptAnswer::No:
                return CompareViewSide::Local;
            case PromptAnswer::Cancel:
                return CompareViewSide::None;
        }
    }
    if (remoteFile)
        return CompareViewSide::Server;
    return localFile ? CompareViewSide::Local : CompareViewSide::None;
}
