#include "session/ui/command_queue_window.h"

#include "platform/ui/proportional_columns.h"
#include "session/ftp_session.h"
#include "session/queue_rows.h"
#include "session/ui/command_queue_model.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

CommandQueueWindow::CommandQueueWindow(FtpSession& session, QWidget* parent)
    : QDialog(parent),
      session_(session),
      count_(new QLabel(this)),
      view_(new QTableView(this)),
      model_(new CommandQueueModel(this)),
      clear_(new QPushButton(QStringLiteral("Clear queue"), this)) {
    setWindowTitle(QStringLiteral("Command queue for bug detection and report"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);

    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setShowGrid(false);
    view_->setWordWrap(false);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    new ProportionalColumns(view_, view_->horizontalHeader(), QueueColumnWeights());

    auto* top = new QHBoxLayout;
    top->addWidget(count_, 1);
    top->addWidget(clear_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);

    connect(clear_, &QPushButton::clicked, this, [this] {
        session_.clearQueue();
        refresh();
    });

    // Anything the queue does shows in one of these; a burst of them makes one
    // refresh on the next turn of the event loop.
    connect(&session_, &FtpSession::logLine, this, &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::taskMarker, this, &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::transferStartedSignal, this,
            &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::transferProgressSignal, this,
            &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::transferEndedSignal, this,
            &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::idle, this, &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::disconnected, this, &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::connectionClosed, this, &CommandQueueWindow::scheduleRefresh);
    connect(&session_, &FtpSession::headStalled, this, &CommandQueueWindow::scheduleRefresh);

    resize(900, 360);
    refresh();
}

void CommandQueueWindow::scheduleRefresh() {
    // A hidden window catches up when it is shown again.
    if (refreshScheduled_ || !isVisible())
        return;
    refreshScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshScheduled_ = false;
            if (isVisible())
                refresh();
        },
        Qt::QueuedConnection);
}

void CommandQueueWindow::refresh() {
    ++refreshes_;
    const CommandQueue& queue = session_.queue();
    model_->setRows(QueueRows(queue));
    count_->setText(QueueCountText(queue.size()));
}

void CommandQueueWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
}
