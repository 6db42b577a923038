#pragma once

#include "remote/task_menu_rules.h"

#include <QWidget>

#include <vector>

class FailedTransferModel;
class FailedTransfers;
class FtpSession;
class QListView;
class QMenu;
class QPushButton;
class TaskBoxModel;
class TaskList;
class TaskStatus;
class TaskStatusLine;
class TransferCounts;
class TransferPool;

// The task panel of the "FTP chat" page: the status line titled "Task" and one
// box per running transfer, drawn over a model (a folder of thousands of files
// gives thousands of boxes). A right-click takes work out of the queue. Below
// the boxes, the "Failed" list keeps transfers that did not finish, with
// "Retry" (once logged in to their server) and "Remove"; it shows while it
// holds any.
class TaskPanel : public QWidget {
    Q_OBJECT
public:
    // With a pool the boxes of every connection are shown and taken out where
    // they run; with counts the status line counts the transfers.
    TaskPanel(TaskList& tasks, TaskStatus& status, FtpSession& session,
              TransferPool* pool = nullptr, TransferCounts* counts = nullptr,
              QWidget* parent = nullptr);

    // Shows these failed transfers below the boxes.
    void setFailedTransfers(FailedTransfers* failed);
    QListView* failedView() const { return failedView_; }
    QPushButton* retryButton() const { return retry_; }
    QPushButton* removeButton() const { return remove_; }

    void setStopBeepVisible(bool visible);
    bool isStopBeepVisible() const;

    QListView* boxView() const { return view_; }
    TaskBoxModel* model() const { return model_; }
    TaskStatusLine* statusLine() const { return line_; }

    // The box under a point of the box view's viewport, -1 for none.
    int boxAt(const QPoint& viewportPos) const;
    // The menu for a click on a box (-1: the panel's empty part); null when
    // there is no menu. Each action carries its command id in data().
    QMenu* createTaskMenu(int clickedIndex, QWidget* parent);
    // Carries out a menu choice for the clicked box.
    bool runTaskCommand(int id, int clickedIndex);

signals:
    void stopBeepClicked();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTaskMenu(int clickedIndex, const QPoint& globalPos);
    std::vector<int> selectedFailed() const;
    void updateFailed();

    TaskList& tasks_;
    FtpSession& session_;
    TransferPool* pool_;
    TaskStatusLine* line_;
    QListView* view_;
    TaskBoxModel* model_;
    FailedTransfers* failed_ = nullptr;
    FailedTransferModel* failedModel_ = nullptr;
    QWidget* failedBox_;
    QListView* failedView_;
    QPushButton* retry_;
    QPushButton* remove_;
};
