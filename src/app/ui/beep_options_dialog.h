#pragma once

#include <QDialog>
#include <QTimer>

#include "app/completion_actions.h"

class Beeper;
class Prompter;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// "Beep options": continual beeping, its frequency and after how many minutes. "Test" plays
// the chosen frequency until "Stop"; "Apply" closes accepted only when something changed, and
// the caller stores options() with storeBeepOptions.
class BeepOptionsDialog : public QDialog {
    Q_OBJECT
public:
    BeepOptionsDialog(const BeepOptions& opened, Beeper& beeper, Prompter& prompter,
                      QWidget* parent = nullptr);

    BeepOptions options() const;

    void toggleTest();
    void apply();
    bool testing() const { return testTimer_.isActive(); }

    QCheckBox* notContinuallyBox() const { return notContinually_; }
    QSlider* frequencySlider() const { return frequency_; }
    QSpinBox* minutesSpin() const { return minutes_; }
    QLabel* minutesLabel() const { return minutesLabel_; }
    QPushButton* testButton() const { return test_; }
    QPushButton* applyButton() const { return apply_; }

protected:
    void done(int result) override;

private:
    void updateMinutes();
    void stopTest();
    void beepOnce();

    const BeepOptions opened_;
    Beeper& beeper_;
    Prompter& prompter_;
    QCheckBox* notContinually_;
    QSlider* frequency_;
    QSpinBox* minutes_;
    QLabel* minutesLabel_;
    QPushButton* test_;
    QPushButton* apply_;
    QTimer testTimer_;
};
