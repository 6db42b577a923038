#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

ScriptedPrompter::~ScriptedPrompter() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " scripted answer(s) were never asked for";
    }
}

ScriptedPrompter& ScriptedPrompter::answer(bool yes) {
    answers_.push_back(Scripted{yes, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectQuestion(const QString& text, bool yes) {
    answers_.push_back(Scripted{yes, text});
    return *this;
}

bool ScriptedPrompter::askYesNo(const QString& text) {
    shown_ << text;
    questions_ << text;
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const Scripted next = answers_.front();
    answers_.pop_front();
    if (next.expected) {
        EXPECT_EQ(next.expected->toStdString(), text.toStdString());
    }
    return next.yes;
}

void ScriptedPrompter::showMessage(const QString& text) {
    shown_ << text;
    messages_ << text;
}
