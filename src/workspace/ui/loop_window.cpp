#include "workspace/ui/loop_window.h"

#include "platform/format.h"
#include "platform/help_viewer.h"
#include "platform/program_texts.h"
#include "remote/action_engine.h"
#include "remote/task_status.h"
#include "session/ftp_session.h"
#include "workspace/loop_starters.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

LoopWindow::LoopWindow(const LoopContext& context, const LoopWords& words, QWidget* parent)
    : QDialog(parent),
      engine_(context.engine),
      prompter_(context.prompter),
      help_(context.help),
      startButton_(new QPushButton(this)),
      helpButton_(new QPushButton(this)),
      status_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      words_(words),
      taskStatus_(context.status) {
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    progress_->setTextVisible(false);
    progress_->hide();
    status_->setWordWrap(true);
    startButton_->setText(QString::fromLatin1(words_.start));
    connect(startButton_, &QPushButton::clicked, this, &LoopWindow::onStartStop);
    connect(helpButton_, &QPushButton::clicked, this,
            [this] { help_.showTopic(QString::fromLatin1(words_.helpTopic)); });
    connect(&context.status, &TaskStatus::loopEnded, this, &LoopWindow::onLoopEnded);
    // Enter starts the loop from the criteria, and only the start button
    // takes it: the window opens with that button in hand.
    startButton_->setDefault(true);
    helpButton_->setAutoDefault(false);
    startButton_->setFocus();
}

LoopWindow::~LoopWindow() {
    stopQueued();
}

void LoopWindow::stopQueued() {
    LoopStarters(engine_).stop(token());
}

void LoopWindow::onStartStop() {
    if (!running_) {
        if (!startLoop())
            return;
        running_ = true;
        stopRequested_ = false;
        startButton_->setText(QStringLiteral("Stop"));
        status_->clear();
        status_->hide();
        progress_->setValue(0);
        progress_->show();
        return;
    }
    stopQueued();
    stopRequested_ = true;
    status_->setText(QString::fromLatin1(LoopTexts::kPleaseWait));
    progress_->hide();
    status_->show();
    startButton_->setText(QString::fromLatin1(words_.start));
}

void LoopWindow::onLoopEnded(quintptr token, qint64 elapsedMs) {
    if (token != this->token() || loopFinished())
        return;
    QString text = QString::fromLatin1(words_.ended) + FormatElapsed(quint32(elapsedMs));
    // Only a run that went through clean may say what it found, or did not;
    // one stopped says that it is partial.
    const QString note = stopRequested_                                 ? stoppedNote()
                         : taskStatus_.state() == TaskStatus::Completed ? endNote()
                                                                        : QString();
    if (!note.isEmpty())
        text += u'\n' + note;
    finishRun(text);
}

void LoopWindow::finishRun(const QString& statusText) {
    running_ = false;
    status_->setText(statusText);
    progress_->hide();
    status_->show();
    startButton_->setText(QString::fromLatin1(words_.start));
}

void LoopWindow::makeSortable(QTreeView* view, int firstSortColumn) {
    sortView_ = view;
    firstSortColumn_ = firstSortColumn;
    sort_ = sort_.sortableFrom(firstSortColumn);
    QHeaderView* header = view->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sort_.column, Qt::AscendingOrder);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const ListSort before = sort_;
        // Also puts the header's arrow back where a click that orders
        // nothing moved it.
        setListSort(sort_.clicked(column, firstSortColumn_));
        if (sort_ != before)
            emit listSortChanged(sort_);
    });
}

int LoopWindow::listColumnCount() const {
    return sortView_ && sortView_->model() ? sortView_->model()->columnCount() : 0;
}

void LoopWindow::setListSort(ListSort sort) {
    sort_ = sort.sortableFrom(firstSortColumn_);
    sortRows(sort);
    if (!sortView_)
        return;
    sortView_->header()->setSortIndicator(
        sort.column, sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (sortView_->currentIndex().isValid())
        sortView_->scrollTo(sortView_->currentIndex());
}

void LoopWindow::progressStep() {
    // The bar wraps round, as a stepping bar does.
    const int next = progress_->value() + 1;
    progress_->setValue(next > progress_->maximum() ? progress_->minimum() : next);
}

void LoopWindow::setProgressRange(int maximum) {
    progress_->setRange(0, maximum);
}

void LoopWindow::closeEvent(QCloseEvent* event) {
    stopQueued();
    QDialog::closeEvent(event);
}
