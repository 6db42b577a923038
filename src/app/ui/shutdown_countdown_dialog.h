#pragma once

#include <QDialog>
#include <QPointer>

class CompletionActions;
class QPushButton;

// "Shutdown": the running countdown of CompletionActions, which owns the timer. The dialog
// paints the line, closes when the countdown ends, and passes its buttons on.
class ShutdownCountdownDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShutdownCountdownDialog(CompletionActions& completion, QWidget* parent = nullptr);

    // Opens a (non-blocking) countdown dialog each time a countdown starts.
    static void watch(CompletionActions& completion, QWidget* parent);

    QPushButton* shutdownNowButton() const { return now_; }
    QPushButton* cancelButton() const { return cancel_; }
    QWidget* line() const { return line_; }

    void reject() override;

private:
    void countdownClosed();

    CompletionActions& completion_;
    QWidget* line_;
    QPushButton* now_;
    QPushButton* cancel_;
    bool closing_ = false;
};
