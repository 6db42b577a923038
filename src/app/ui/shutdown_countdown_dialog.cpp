#include "app/ui/shutdown_countdown_dialog.h"

#include "app/completion_actions.h"
#include "platform/program_texts.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "System will be shutdown in 30 seconds", the count in red, centred at y = 20.
class CountdownLine : public QWidget {
public:
    explicit CountdownLine(const CompletionActions& completion) : completion_(completion) {
        setMinimumSize(340, 48);
        setAttribute(Qt::WA_TranslucentBackground);
        refresh();
    }

    void refresh() {
        if (const ShutdownCountdown* c = completion_.countdown())
            setAccessibleName(c->lineText());
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const ShutdownCountdown* c = completion_.countdown();
        if (!c)
            return;
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const QString lead = c->leadText();
        const QString count = c->countText();
        const QString unit = c->unitText();
        const int total = metrics.horizontalAdvance(lead) + metrics.horizontalAdvance(count) +
                          metrics.horizontalAdvance(unit);
        int x = (width() - total) / 2;
        const int y = 20 + metrics.ascent();  // the line's top at y = 20
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(x, y, lead);
        x += metrics.horizontalAdvance(lead);
        painter.setPen(QColor(255, 0, 0));
        painter.drawText(x, y, count);
        x += metrics.horizontalAdvance(count);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(x, y, unit);
    }

private:
    const CompletionActions& completion_;
};

}  // namespace

ShutdownCountdownDialog::ShutdownCountdownDialog(CompletionActions& completion, QWidget* parent)
    : QDialog(parent),
      completion_(completion),
      line_(new CountdownLine(completion)),
      now_(new QPushButton(QString::fromLatin1(CompletionTexts::kShutdownNow))),
      cancel_(new QPushButton(QString::fromLatin1(CompletionTexts::kCancel))) {
    setWindowTitle(QString::fromLatin1(CompletionTexts::kCountdownTitle));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(now_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    cancel_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line_);
    layout->addLayout(buttons);

    connect(now_, &QPushButton::clicked, &completion_, &CompletionActions::shutdownNow);
    connect(cancel_, &QPushButton::clicked, &completion_, &CompletionActions::cancelCountdown);
    connect(&completion_, &CompletionActions::countdownChanged, line_,
            [line = static_cast<CountdownLine*>(line_)] { line->refresh(); });
    connect(&completion_, &CompletionActions::countdownClosed, this,
            &ShutdownCountdownDialog::countdownClosed);
}

void ShutdownCountdownDialog::watch(CompletionActions& completion, QWidget* parent) {
    QObject::connect(&completion, &CompletionActions::countdownStarted, parent,
                     [&completion, parent] {
                         auto* dialog = new ShutdownCountdownDialog(completion, parent);
                         dialog->setAttribute(Qt::WA_DeleteOnClose);
                         if (!completion.countdown()) {
                             dialog->close();  // nothing to count down
                             return;
                         }
                         dialog->open();
                     });
}

void ShutdownCountdownDialog::reject() {
    // Escape or the window's close button cancels like "Cancel".
    if (!closing_ && completion_.countdown()) {
        completion_.cancelCountdown();  // comes back through countdownClosed
        return;
    }
    QDialog::reject();
}

void ShutdownCountdownDialog::countdownClosed() {
    closing_ = true;
    QDialog::reject();
}
