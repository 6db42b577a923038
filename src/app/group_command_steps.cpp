#include "app/group_command_steps.h"

#include "app/command_ids.h"

StepList GroupCommandSteps(int id, const QByteArray& selectedFolder) {
    QByteArray listing;
    switch (id) {
        case kCmdGroupMlsd:
            listing = QByteArrayLiteral("MLSD");
            break;
        case kCmdGroupList:
            listing = QByteArrayLiteral("LIST");
            break;
        case kCmdGroupNlst:
            listing = QByteArrayLiteral("NLST");
            break;
        default:
            return {};
    }
    StepList steps;
    if (selectedFolder.isEmpty())
        steps.append({QByteArrayLiteral("PWD"), QByteArray()});
    else
        steps.append({QByteArrayLiteral("CWD"), selectedFolder});
    steps.append({QByteArrayLiteral("PASV"), QByteArray()});
    steps.append({listing, QByteArray()});
    return steps;
}
