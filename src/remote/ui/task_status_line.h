#pragma once

#include <QWidget>

class QToolButton;
class TaskStatus;
class TransferCounts;

// The line above the task boxes: the header "Task", the state text centred in
// its colour, and at the right end the button that stops a continual beep.
class TaskStatusLine : public QWidget {
    Q_OBJECT
public:
    // With counts, the running, queued and failed transfers beside the header.
    explicit TaskStatusLine(const TaskStatus& status, const TransferCounts* counts = nullptr,
                            QWidget* parent = nullptr);

    // What the line says, as a screen reader reads it.
    QString describe() const;

    QToolButton* stopBeepButton() const { return stopBeep_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void stopBeepClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButton();

    const TaskStatus& status_;
    const TransferCounts* counts_;
    QToolButton* stopBeep_;
};
