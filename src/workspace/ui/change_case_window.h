#pragma once

#include "workspace/change_case.h"
#include "workspace/loop_owner.h"
#include "workspace/ui/loop_window.h"

class ChangeCaseModel;
class QCheckBox;
class QRadioButton;
class QTreeView;

// "Change case": renames the entries below a folder to lower or upper case.
// "Change" first lists what the run would rename (a dry run of the same plan,
// taken names marked) and asks; only a "Yes" sends the renames.
class ChangeCaseWindow : public LoopWindow, public ChangeCaseOwner {
    Q_OBJECT
public:
    ChangeCaseWindow(const LoopContext& context, const QByteArray& folder,
                     const ChangeCaseOptions& stored, QWidget* parent = nullptr);

    ChangeCaseOptions options() const;
    ChangeCaseModel* model() const { return model_; }
    QRadioButton* upperButton() const { return upper_; }
    QCheckBox* optionBox(int bit) const;

    // True while the list shows the plan rather than what was renamed.
    bool previewing() const { return previewing_; }

    // ChangeCaseOwner
    void caseRenamed(const CaseRename& rename, bool success) override;
    void caseClash(const CaseRename& rename) override;
    void changeCaseProgressStep() override { progressStep(); }

signals:
    void optionsStored(const ChangeCaseOptions& options);

protected:
    bool startLoop() override;
    void sortRows(ListSort sort) override;
    bool loopFinished() override;
    QString stoppedNote() const override;

private:
    void confirmRenames();

    QByteArray folder_;
    QRadioButton* lower_;
    QRadioButton* upper_;
    QList<QCheckBox*> boxes_;  // the six kinds, then "Include sub folders"
    QTreeView* list_;
    ChangeCaseModel* model_;
    ChangeCaseOptions runOptions_;
    bool previewing_ = false;
    bool stoppedInPreview_ = false;
    int planned_ = 0;
    int taken_ = 0;
};
