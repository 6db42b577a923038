#pragma once

#include <QWidget>

class QToolButton;
class TaskStatus;

// The line above the task boxes: the header "Task", the state text centred in
// its colour, and at the right end the button that stops a continual beep.
class TaskStatusLine : public QWidget {
    Q_OBJECT
public:
    explicit TaskStatusLine(const TaskStatus& status, QWidget* parent = nullptr);

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
    QToolButton* stopBeep_;
};
