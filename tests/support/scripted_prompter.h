#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

#include "platform/prompter.h"

// A Prompter for tests: answers questions from a queue and records every text
// shown. A question with nothing queued, a question whose text differs from
// the expected one, or answers left unused at the end fail the running test.
class ScriptedPrompter : public Prompter {
public:
    ScriptedPrompter() = default;
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    // Queues the answer to the next question, whatever it asks.
    ScriptedPrompter& answer(bool yes);
    // Queues the answer to the next question, which must read exactly text.
    ScriptedPrompter& expectQuestion(const QString& text, bool yes);
    // The same for a Yes/No/Cancel question; a Yes/No question must not get it.
    ScriptedPrompter& expectChoice(const QString& text, PromptAnswer answer);

    bool askYesNo(const QString& text) override;
    PromptAnswer askYesNoCancel(const QString& text) override;
    void showMessage(const QString& text) override;

    // Every text in the order shown: questions and messages alike.
    const QStringList& shown() const { return shown_; }
    const QStringList& questions() const { return questions_; }
    const QStringList& messages() const { return messages_; }
    int pendingAnswers() const { return static_cast<int>(answers_.size()); }
    // Forgets unused answers so the end-of-test check passes.
    void dropPendingAnswers() { answers_.clear(); }

private:
    struct Scripted {
        bool yes = false;
        std::optional<QString> expected;
        std::optional<PromptAnswer> choice;  // for Yes/No/Cancel questions only
    };
    std::optional<Scripted> next(const QString& text);
    std::deque<Scripted> answers_;
    QStringList shown_;
    QStringList questions_;
    QStringList messages_;
};
