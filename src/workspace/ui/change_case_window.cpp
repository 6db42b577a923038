#include "workspace/ui/change_case_window.h"

#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/proportional_columns.h"
#include "platform/ui/result_list_keys.h"
#include "remote/action_engine.h"
#include "session/ftp_session.h"
#include "workspace/loop_result_order.h"
#include "workspace/loop_starters.h"
#include "workspace/ui/loop_result_models.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

ChangeCaseWindow::ChangeCaseWindow(const LoopContext& context, const QByteArray& folder,
                                   const ChangeCaseOptions& stored, QWidget* parent)
    : LoopWindow(context, {HelpTopics::kChangeCase, "Change", LoopTexts::kChangeEnded}, parent),
      folder_(folder),
      lower_(new QRadioButton(QStringLiteral("Lower case"), this)),
      upper_(new QRadioButton(QStringLiteral("Upper case"), this)),
      list_(new QTreeView(this)),
      model_(new ChangeCaseModel(this)) {
    setWindowTitle(ChangeCaseWindowTitle(QString::fromUtf8(folder)));
    helpButton_->setText(QStringLiteral("Help"));
    auto* closeButton = new QPushButton(QStringLiteral("x"), this);
    closeButton->setAccessibleName(QStringLiteral("Close"));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* caseBox = new QGroupBox(QStringLiteral("Change item name to"), this);
    auto* caseLayout = new QVBoxLayout(caseBox);
    caseLayout->addWidget(lower_);
    caseLayout->addWidget(upper_);
    (stored.target == ChangeCaseOptions::Upper ? upper_ : lower_)->setChecked(true);

    auto* kindBox = new QGroupBox(this);
    auto* kindLayout = new QGridLayout(kindBox);
    const char* const texts[] = {
        "File", "Folder", "Link", "Device B", "Device C", "Others", "Include sub folders"};
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(texts[i]), kindBox);
        box->setChecked(stored.bits & (1 << i));
        boxes_ << box;
        if (i < 6)
            kindLayout->addWidget(box, i / 3, i % 3);
        else
            kindLayout->addWidget(box, 2, 0, 1, 3);
    }

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(startButton_);
    buttons->addWidget(helpButton_);
    buttons->addWidget(closeButton);
    buttons->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addWidget(caseBox, 1);
    controls->addWidget(kindBox, 3);
    controls->addLayout(buttons);

    list_->setModel(model_);
    ResultListKeys::attach(list_);
    makeSortable(list_, kCaseFirstSortColumn);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAccessibleName(QStringLiteral("Item to change"));
    // The image column's share comes to about 20 pixels at the window's size.
    list_->header()->setMinimumSectionSize(16);
    new ProportionalColumns(list_, list_->header(), {10, 50, 50, 150});
    auto* listLabel = new QLabel(QStringLiteral("Item to change"), this);

    status_->setText(QString::fromLatin1(LoopTexts::kChangeIdle));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(listLabel);
    layout->addWidget(list_, 1);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    setProgressRange(200);
    resize(680, 460);
}

QCheckBox* ChangeCaseWindow::optionBox(int bit) const {
    for (int i = 0; i < 7; ++i) {
        if ((1 << i) == bit)
            return boxes_[i];
    }
    return nullptr;
}

ChangeCaseOptions ChangeCaseWindow::options() const {
    ChangeCaseOptions o;
    o.target = upper_->isChecked() ? ChangeCaseOptions::Upper : ChangeCaseOptions::Lower;
    for (int i = 0; i < 7; ++i) {
        if (boxes_[i]->isChecked())
            o.bits |= quint8(1 << i);
    }
    return o;
}

bool ChangeCaseWindow::startLoop() {
    if (engine_.session().isBusy()) {
        prompter_.showMessage(QString::fromLatin1(LoopTexts::kChangeBusy));
        return false;
    }
    const ChangeCaseOptions o = options();
    if (!o.anyKind()) {
        prompter_.showMessage(QString::fromLatin1(LoopTexts::kNoChangeKind));
        return false;
    }
    emit optionsStored(o);
    model_->clear();
    runOptions_ = o;
    previewing_ = true;
    stoppedInPreview_ = false;
    planned_ = taken_ = 0;
    return LoopStarters(engine_).startChangeCase(folder_, o, {this, this}, true);
}

bool ChangeCaseWindow::loopFinished() {
    if (!previewing_)
        return false;
    previewing_ = false;
    if (stopRequested()) {
        stoppedInPreview_ = true;
        return false;
    }
    if (planned_ == 0) {
        finishRun(QString::fromLatin1(ChangeCaseTexts::kNothingToRename));
        return true;
    }
    // Asked once the session has finished with the preview's end.
    QMetaObject::invokeMethod(this, &ChangeCaseWindow::confirmRenames, Qt::QueuedConnection);
    return true;
}

QString ChangeCaseWindow::stoppedNote() const {
    return stoppedInPreview_ ? QString::fromLatin1(ChangeCaseTexts::kStoppedBeforeRenaming)
                             : LoopWindow::stoppedNote();
}

void ChangeCaseWindow::confirmRenames() {
    if (!prompter_.askYesNo(ChangeCaseQuestion(planned_, taken_))) {
        finishRun(QString::fromLatin1(ChangeCaseTexts::kNothingRenamed));
        return;
    }
    if (engine_.session().isBusy()) {
        finishRun(QString::fromLatin1(LoopTexts::kChangeBusy));
        return;
    }
    model_->clear();
    progress_->setValue(0);
    if (!LoopStarters(engine_).startChangeCase(folder_, runOptions_, {this, this}))
        finishRun(QString::fromLatin1(ChangeCaseTexts::kNothingRenamed));
}

void ChangeCaseWindow::caseRenamed(const CaseRename& rename, bool success) {
    // A refused rename is in the log; the list shows what was renamed.
    if (!success)
        return;
    if (previewing_)
        ++planned_;
    model_->append(rename, previewing_ ? CaseRowMark::Planned : CaseRowMark::Renamed);
    list_->scrollTo(model_->index(model_->rowCount() - 1, 1));
}

void ChangeCaseWindow::caseClash(const CaseRename& rename) {
    if (previewing_)
        ++taken_;
    model_->append(rename, CaseRowMark::Taken);
    list_->scrollTo(model_->index(model_->rowCount() - 1, 1));
}

void ChangeCaseWindow::sortRows(ListSort sort) {
    model_->setSort(sort);
}
