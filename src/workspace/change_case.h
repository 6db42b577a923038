#pragma once

#include "remote/remote_item_list.h"
#include "workspace/item_kind_bits.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

// What the change-case loop renames: the target case and the kind bits
// (those of the search, plus SubFolders).
struct ChangeCaseOptions : ItemKindBits {
    static constexpr quint8 SubFolders = 0x40;
    enum Target : quint8 { Lower = 0, Upper = 1 };

    quint8 target = Lower;
    quint8 bits = 0;

    // A base class ends aggregate initialisation; this keeps {target, bits}.
    constexpr ChangeCaseOptions(quint8 target = Lower, quint8 bits = 0)
        : target(target), bits(bits) {}

    bool anyKind() const { return bits & AllKinds; }
    bool operator==(const ChangeCaseOptions&) const = default;
};

// The name in the target case: only ASCII letters change, every other byte
// (UTF-8 sequences included) stays.
QByteArray ChangeNameCase(const QByteArray& name, quint8 target);
// True when the name has a letter of the other case.
bool NeedsCaseChange(const QByteArray& name, quint8 target);

// One rename of the loop.
struct CaseRename {
    QByteArray folder;
    char kind = 0;
    QByteArray oldName;
    QByteArray newName;

    bool operator==(const CaseRename&) const = default;
};

// What one listing asks for.
struct CaseChangePlan {
    std::vector<CaseRename> renames;
    // Names whose new spelling is taken already in the folder: not renamed.
    std::vector<CaseRename> clashes;
    // The folders and links of the listing, in listing order.
    std::vector<QByteArray> subFolders;
    bool renamedSubFolder = false;
};

CaseChangePlan PlanCaseChanges(const QByteArray& folder, const RemoteItemList& items,
                               const ChangeCaseOptions& options);

// The preview the window shows before anything is renamed: the same plan as a
// dry run, each row planned or left alone because its new name is taken.
enum class CaseRowMark { Planned, Taken, Renamed };

// What the "New name" column shows: a taken name says it stays.
QString CaseRowNewNameText(const CaseRename& rename, CaseRowMark mark);
// Asked once the preview is complete; nothing is sent before a "Yes".
QString ChangeCaseQuestion(int planned, int taken);
