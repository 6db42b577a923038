#include "workspace/change_case.h"

#include "workspace/search_criteria.h"

#include <QSet>

QByteArray ChangeNameCase(const QByteArray& name, quint8 target) {
    QByteArray out = name;
    for (char& c : out) {
        if (target == ChangeCaseOptions::Upper && c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (target == ChangeCaseOptions::Lower && c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

bool NeedsCaseChange(const QByteArray& name, quint8 target) {
    const char from = target == ChangeCaseOptions::Upper ? 'a' : 'A';
    for (char c : name) {
        if (c >= from && c <= from + 25)
            return true;
    }
    return false;
}

CaseChangePlan PlanCaseChanges(const QByteArray& folder, const RemoteItemList& items,
                               const ChangeCaseOptions& options) {
    CaseChangePlan plan;
    // Names the folder will hold after the renames planned so far: a rename
    // onto one of them would replace an entry on servers that allow it.
    QSet<QByteArray> taken;
    for (const RemoteItem& item : items)
        taken.insert(item.name);
    for (const RemoteItem& item : items) {
        const bool sub = item.kind == 'd' || item.kind == 'l';
        if (sub)
            plan.subFolders.push_back(item.name);
        if (!(ItemKindBit(item.kind) & options.bits))
            continue;
        if (!NeedsCaseChange(item.name, options.target))
            continue;
        CaseRename r{folder, item.kind, item.name, ChangeNameCase(item.name, options.target)};
        if (taken.contains(r.newName)) {
            plan.clashes.push_back(r);
            continue;
        }
        taken.remove(r.oldName);
        taken.insert(r.newName);
        if (sub)
            plan.renamedSubFolder = true;
        plan.renames.push_back(std::move(r));
    }
    return plan;
}

QString CaseRowNewNameText(const CaseRename& rename, CaseRowMark mark) {
    const QString name = QString::fromUtf8(rename.newName);
    return mark == CaseRowMark::Taken ? name + QStringLiteral("  (taken: not renamed)") : name;
}

QString ChangeCaseQuestion(int planned, int taken) {
    QString text = planned == 1 ? QStringLiteral("Rename the item as listed?")
                                : QStringLiteral("Rename the %1 items as listed?").arg(planned);
    if (taken == 1)
        text += QStringLiteral("\n\nOne item keeps its name: its new name is taken.");
    else if (taken > 1)
        text +=
            QStringLiteral("\n\n%1 items keep their names: their new names are taken.").arg(taken);
    return text;
}
