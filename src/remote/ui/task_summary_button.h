#pragma once

#include <QToolButton>

class TaskStatus;
class TransferCounts;

// The task in hand and the transfers it runs, in the status line's colour, for the main
// window's status bar: whichever page is shown, long work is seen going on. Clicking it is
// the owner's to answer (the frame shows the task boxes).
class TaskSummaryButton : public QToolButton {
    Q_OBJECT
public:
    TaskSummaryButton(const TaskStatus& status, const TransferCounts& counts,
                      QWidget* parent = nullptr);

    // The whole text, however narrow the button is.
    QString summary() const;

private:
    void showSummary();

    const TaskStatus& status_;
    const TransferCounts& counts_;
};
