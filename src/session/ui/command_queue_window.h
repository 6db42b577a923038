#pragma once

#include <QDialog>

class CommandQueueModel;
class FtpSession;
class QLabel;
class QPushButton;
class QTableView;

// "Command queue for bug detection and report": the groups waiting in the
// session's queue, kept current while the window is shown, and a button that
// empties the queue.
class CommandQueueWindow : public QDialog {
    Q_OBJECT
public:
    explicit CommandQueueWindow(FtpSession& session, QWidget* parent = nullptr);

    QLabel* countLabel() const { return count_; }
    QTableView* view() const { return view_; }
    CommandQueueModel* model() const { return model_; }
    QPushButton* clearButton() const { return clear_; }
    // How many times the rows were rebuilt (bursts of signals make one).
    int refreshCount() const { return refreshes_; }

public slots:
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scheduleRefresh();

    FtpSession& session_;
    QLabel* count_;
    QTableView* view_;
    CommandQueueModel* model_;
    QPushButton* clear_;
    bool refreshScheduled_ = false;
    int refreshes_ = 0;
};
