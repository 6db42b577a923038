#include "remote/ui/task_panel.h"

#include "platform/ui/context_menu.h"
#include "platform/ui/keyboard_reach.h"
#include "remote/failed_transfers.h"
#include "remote/task_list.h"
#include "remote/task_status.h"
#include "remote/ui/failed_transfer_model.h"
#include "remote/ui/task_box_delegate.h"
#include "remote/ui/task_box_model.h"
#include "remote/ui/task_status_line.h"
#include "session/ftp_session.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TaskPanel::TaskPanel(TaskList& tasks, TaskStatus& status, FtpSession& session, TransferPool* pool,
                     TransferCounts* counts, QWidget* parent)
    : QWidget(parent),
      tasks_(tasks),
      session_(session),
      pool_(pool),
      line_(new TaskStatusLine(status, counts, this)),
      view_(new QListView(this)),
      model_(new TaskBoxModel(tasks, {}, this)),
      failedBox_(new QWidget(this)),
      failedView_(new QListView(failedBox_)),
      retry_(new QPushButton(QStringLiteral("Retry"), failedBox_)),
      remove_(new QPushButton(QStringLiteral("Remove"), failedBox_)) {
    view_->setModel(model_);
    view_->setItemDelegate(new TaskBoxDelegate(view_));
    // 4 pixels around every box: 4 from the edge, 8 between boxes.
    view_->setSpacing(4);
    view_->setUniformItemSizes(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setAccessibleName(QStringLiteral("Tasks"));
    view_->viewport()->installEventFilter(this);
    KeyboardReach::attach(view_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(line_);
    layout->addWidget(view_, 1);

    auto* failedLayout = new QVBoxLayout(failedBox_);
    failedLayout->setContentsMargins(4, 4, 4, 4);
    auto* title = new QLabel(QStringLiteral("Failed"), failedBox_);
    failedLayout->addWidget(title);
    failedView_->setAccessibleName(QStringLiteral("Failed transfers"));
    failedView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    failedView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    failedView_->setUniformItemSizes(true);
    failedView_->setTextElideMode(Qt::ElideRight);
    failedView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A few rows; the boxes above keep the room.
    failedView_->setMaximumHeight(failedView_->fontMetrics().lineSpacing() * 6 +
                                  2 * failedView_->frameWidth() + 4);
    KeyboardReach::attach(failedView_);
    failedLayout->addWidget(failedView_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    retry_->setToolTip(QStringLiteral("Queue the selected transfers again"));
    remove_->setToolTip(QStringLiteral("Forget the selected transfers"));
    buttons->addWidget(retry_);
    buttons->addWidget(remove_);
    failedLayout->addLayout(buttons);
    failedBox_->hide();
    layout->addWidget(failedBox_);

    connect(line_, &TaskStatusLine::stopBeepClicked, this, &TaskPanel::stopBeepClicked);
    connect(retry_, &QPushButton::clicked, this, [this] { failed_->retry(selectedFailed()); });
    connect(remove_, &QPushButton::clicked, this, [this] { failed_->remove(selectedFailed()); });
    connect(failedView_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { failed_->retry(index.row()); });
}

void TaskPanel::setFailedTransfers(FailedTransfers* failed) {
    failed_ = failed;
    delete failedModel_;
    failedModel_ = failed ? new FailedTransferModel(*failed, this) : nullptr;
    failedView_->setModel(failedModel_);
    if (failed) {
        connect(failed, &FailedTransfers::added, this, &TaskPanel::updateFailed);
        connect(failed, &FailedTransfers::removed, this, &TaskPanel::updateFailed);
        connect(failed, &FailedTransfers::retryableChanged, this, &TaskPanel::updateFailed);
        connect(failedView_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &TaskPanel::updateFailed);
        connect(failedView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &TaskPanel::updateFailed);
    }
    updateFailed();
}

std::vector<int> TaskPanel::selectedFailed() const {
    std::vector<int> rows;
    if (!failed_)
        return rows;
    for (const QModelIndex& index : failedView_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && failedView_->currentIndex().isValid())
        rows.push_back(failedView_->currentIndex().row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TaskPanel::updateFailed() {
    const bool any = failed_ && !failed_->isEmpty();
    failedBox_->setVisible(any);
    // Something is always chosen, so "Retry" is one click away.
    if (any && !failedView_->currentIndex().isValid())
        failedView_->setCurrentIndex(failedModel_->index(0, 0));
    const std::vector<int> rows = selectedFailed();
    bool retryable = false;
    for (int row : rows)
        retryable = retryable || failed_->canRetry(row);
    retry_->setEnabled(retryable);
    remove_->setEnabled(!rows.empty());
}

void TaskPanel::setStopBeepVisible(bool visible) {
    line_->stopBeepButton()->setVisible(visible);
}

bool TaskPanel::isStopBeepVisible() const {
    return !line_->stopBeepButton()->isHidden();
}

int TaskPanel::boxAt(const QPoint& viewportPos) const {
    const QModelIndex index = view_->indexAt(viewportPos);
    return index.isValid() ? index.row() : -1;
}

QMenu* TaskPanel::createTaskMenu(int clickedIndex, QWidget* parent) {
    const TaskMenu rules = taskMenuFor(tasks_.count(), clickedIndex);
    if (!rules.shown)
        return nullptr;
    auto* menu = new QMenu(parent);
    for (const TaskMenuItem& item : rules.items) {
        QAction* a = menu->addAction(QString::fromLatin1(taskMenuText(item.id)));
        a->setData(item.id);
        a->setEnabled(item.enabled);
    }
    return menu;
}

bool TaskPanel::runTaskCommand(int id, int clickedIndex) {
    return runTaskMenuCommand(id, clickedIndex, tasks_, session_, pool_);
}

void TaskPanel::showTaskMenu(int clickedIndex, const QPoint& globalPos) {
    if (clickedIndex >= 0)
        view_->setCurrentIndex(model_->index(clickedIndex));
    QMenu* menu = createTaskMenu(clickedIndex, this);
    if (!menu)
        return;
    // The box count may change while the menu is open: remember which transfer
    // was clicked and find its box again before acting.
    const SocketGroup* clicked = clickedIndex >= 0 ? tasks_.at(clickedIndex).group : nullptr;
    QPointer<QMenu> guard(menu);
    QAction* chosen = ExecContextMenu(menu, globalPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    delete guard.data();
    if (!id)
        return;
    const int now = clicked ? tasks_.indexOf(clicked) : -1;
    if (clicked && now < 0 && id == kRemoveSelectedTask)
        return;  // that transfer ended meanwhile
    runTaskCommand(id, now);
}

void TaskPanel::contextMenuEvent(QContextMenuEvent* event) {
    showTaskMenu(-1, event->globalPos());
}

bool TaskPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_->viewport() && event->type() == QEvent::ContextMenu) {
        auto* e = static_cast<QContextMenuEvent*>(event);
        showTaskMenu(boxAt(e->pos()), e->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
