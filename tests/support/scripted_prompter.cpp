#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

ScriptedPrompter::~ScriptedPrompter() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " scripted answer(s) were never asked for";
    }
}

ScriptedPrompter& ScriptedPrompter::answer(bool yes) {
    answers_.push_back(Scripted{yes, std::nullopt, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectQuestion(const QString& text, bool yes) {
    answers_.push_back(Scripted{yes, text, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectChoice(const QString& text, PromptAnswer answer) {
    answers_.push_back(Scripted{false, text, answer});
    return *this;
}

std::optional<ScriptedPrompter::Scripted> ScriptedPrompter::next(const QString& text) {
    shown_ << text;
    questions_ << text;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return std::nullopt;
    }
    const Scripted next = answers_.front();
    answers_.pop_front();
    if (next.expected) {
        EXPECT_EQ(next.expected->toStdString(), text.toStdString());
    }
    return next;
}

bool ScriptedPrompter::askYesNo(const QString& text) {
    const std::optional<Scripted> n = next(text);
    if (n && n->choice) {
        ADD_FAILURE() << "a Yes/No/Cancel answer given to a Yes/No question: "
                      << text.toStdString();
    }
    return n && n->yes;
}

PromptAnswer ScriptedPrompter::askYesNoCancel(const QString& text) {
    const std::optional<Scripted> n = next(text);
    if (n && !n->choice) {
        ADD_FAILURE() << "a Yes/No answer given to a Yes/No/Cancel question: "
                      << text.toStdString();
    }
    return n && n->choice ? *n->choice : PromptAnswer::Cancel;
}

void ScriptedPrompter::showMessage(const QString& text) {
    shown_ << text;
    messages_ << text;
}
