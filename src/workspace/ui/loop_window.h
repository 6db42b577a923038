#pragma once

#include <QDialog>

#include "platform/list_sort.h"
#include "platform/program_texts.h"

class ActionEngine;
class HelpViewer;
class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeView;
class TaskStatus;

// What every loop window works with: the engine that queues its work, the
// status that says when a loop ended, and the prompter and help it shows.
struct LoopContext {
    ActionEngine& engine;
    TaskStatus& status;
    Prompter& prompter;
    HelpViewer& help;
};

// The fixed words of a loop window: its help page, its start button's text,
// and the first words of the line a run ends with.
struct LoopWords {
    const char* helpTopic;
    const char* start;
    const char* ended;
};

// What the three loop windows share: the start/stop button, the status text
// that gives way to the progress bar while a loop runs, the end line with the
// time used, and dropping the window's queued work when it stops or closes.
class LoopWindow : public QDialog {
    Q_OBJECT
public:
    LoopWindow(const LoopContext& context, const LoopWords& words, QWidget* parent);
    ~LoopWindow() override;

    bool running() const { return running_; }
    quintptr token() const { return quintptr(static_cast<const QObject*>(this)); }
    QPushButton* startButton() const { return startButton_; }
    QLabel* statusLabel() const { return status_; }
    QProgressBar* progressBar() const { return progress_; }

    // The result list's order: a click on a column's header sorts by it, a
    // second one reverses, and the header shows the order.
    void setListSort(ListSort sort);
    ListSort listSort() const { return sort_; }
    int listColumnCount() const;

    // Whether the window's results hold entries of this server folder, so work
    // that changes it lists it again for them.
    virtual bool showsFolder(const QByteArray& folder) const {
        Q_UNUSED(folder);
        return false;
    }

signals:
    // The user chose another order (to be kept for the next window).
    void listSortChanged(ListSort sort);

protected:
    // The start button while idle: check, then start; false leaves it idle.
    virtual bool startLoop() = 0;
    // The loop's end marker came. True when the window carries on itself and
    // later calls finishRun(); false ends the run with the time used.
    virtual bool loopFinished() { return false; }
    // A line under the end of a run that went through unstopped and clean;
    // empty for none.
    virtual QString endNote() const { return {}; }
    // The line under the end of a run Stop cut short: its results are partial.
    virtual QString stoppedNote() const { return QString::fromLatin1(LoopTexts::kStoppedPartial); }
    // Idle again, with this status text.
    void finishRun(const QString& statusText);
    // Stop was pressed during this run.
    bool stopRequested() const { return stopRequested_; }
    // The result list whose header sorts it from `firstSortColumn` on, and
    // putting its rows in order.
    void makeSortable(QTreeView* view, int firstSortColumn = 0);
    virtual void sortRows(ListSort sort) = 0;

    void progressStep();
    void setProgressRange(int maximum);
    void closeEvent(QCloseEvent* event) override;

    ActionEngine& engine_;
    Prompter& prompter_;
    HelpViewer& help_;
    QPushButton* startButton_;
    QPushButton* helpButton_;
    QLabel* status_;
    QProgressBar* progress_;

private:
    void onStartStop();
    void onLoopEnded(quintptr token, qint64 elapsedMs);
    void stopQueued();

    LoopWords words_;
    const TaskStatus& taskStatus_;
    QTreeView* sortView_ = nullptr;
    int firstSortColumn_ = 0;
    ListSort sort_;
    bool running_ = false;
    bool stopRequested_ = false;
};
