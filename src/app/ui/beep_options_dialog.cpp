#include "app/ui/beep_options_dialog.h"

#include "platform/beeper.h"
#include "platform/program_texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
const QString kTest = QStringLiteral("Test");
const QString kStop = QStringLiteral("Stop");
}  // namespace

BeepOptionsDialog::BeepOptionsDialog(const BeepOptions& opened, Beeper& beeper, Prompter& prompter,
                                     QWidget* parent)
    : QDialog(parent),
      opened_(opened),
      beeper_(beeper),
      prompter_(prompter),
      notContinually_(new QCheckBox(QString::fromLatin1(CompletionTexts::kNotContinually))),
      frequency_(new QSlider(Qt::Horizontal)),
      minutes_(new QSpinBox),
      minutesLabel_(new QLabel),
      test_(new QPushButton(kTest)),
      apply_(new QPushButton(QStringLiteral("Apply"))) {
    setWindowTitle(QString::fromLatin1(CompletionTexts::kBeepOptionsTitle));

    frequency_->setRange(kMinBeepFrequency, kMaxBeepFrequency);
    frequency_->setPageStep(500);
    frequency_->setValue(opened.frequency);
    frequency_->setAccessibleName(QStringLiteral("Beep frequency"));
    frequency_->setMinimumWidth(280);
    minutes_->setRange(kMinBeepMinutes, kMaxBeepMinutes);
    minutes_->setValue(opened.minutes);
    minutes_->setAccessibleName(QStringLiteral("Minutes"));
    minutesLabel_->setBuddy(minutes_);
    notContinually_->setChecked(opened.notContinually);

    auto* frequencyGrid = new QGridLayout;
    frequencyGrid->addWidget(new QLabel(QStringLiteral("Beep frequency: Hz")), 0, 0, 1, 2);
    auto* value = new QLabel(QString::number(opened.frequency));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    frequencyGrid->addWidget(value, 0, 2);
    connect(frequency_, &QSlider::valueChanged, value,
            [value](int hz) { value->setText(QString::number(hz)); });
    frequencyGrid->addWidget(new QLabel(QStringLiteral("50")), 1, 0);
    frequencyGrid->addWidget(frequency_, 1, 1);
    frequencyGrid->addWidget(new QLabel(QStringLiteral("10,000")), 1, 2);

    auto* minutesRow = new QHBoxLayout;
    minutesRow->addWidget(minutes_);
    minutesRow->addWidget(minutesLabel_);
    minutesRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test_);
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    apply_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notContinually_);
    layout->addLayout(minutesRow);
    layout->addLayout(frequencyGrid);
    layout->addLayout(buttons);

    testTimer_.setInterval(kBeepIntervalMs);
    connect(&testTimer_, &QTimer::timeout, this, &BeepOptionsDialog::beepOnce);
    connect(notContinually_, &QCheckBox::toggled, this, &BeepOptionsDialog::updateMinutes);
    connect(minutes_, &QSpinBox::valueChanged, this, &BeepOptionsDialog::updateMinutes);
    connect(test_, &QPushButton::clicked, this, &BeepOptionsDialog::toggleTest);
    connect(apply_, &QPushButton::clicked, this, &BeepOptionsDialog::apply);
    updateMinutes();
}

BeepOptions BeepOptionsDialog::options() const {
    BeepOptions o;
    o.notContinually = notContinually_->isChecked();
    o.frequency = frequency_->value();
    o.minutes = minutes_->value();
    return o;
}

void BeepOptionsDialog::updateMinutes() {
    minutesLabel_->setText(beepMinutesText(minutes_->value()));
    const bool enabled = beepMinutesEnabled(options());
    minutes_->setEnabled(enabled);
    minutesLabel_->setEnabled(enabled);
}

void BeepOptionsDialog::beepOnce() {
    beeper_.beep(frequency_->value(), kTestBeepMs);
}

void BeepOptionsDialog::toggleTest() {
    if (testing()) {
        stopTest();
        return;
    }
    beepOnce();
    testTimer_.start();
    test_->setText(kStop);
}

void BeepOptionsDialog::stopTest() {
    testTimer_.stop();
    test_->setText(kTest);
}

void BeepOptionsDialog::apply() {
    if (applyBeepOptions(opened_, options(), prompter_) == BeepOptionsOutcome::NoChange)
        return;
    accept();
}

void BeepOptionsDialog::done(int result) {
    stopTest();  // no tone outlives the dialog, however it closes
    QDialog::done(result);
}
