#pragma once

#include <QString>

enum class PromptAnswer { Yes, No, Cancel };

// How engine decisions put a question or a notice to the user. Every box the
// program shows this way is titled "Message"; the widget layer supplies message
// boxes, tests a scripted fake.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // A Yes/No/Cancel question; closing the box is Cancel.
    virtual PromptAnswer askYesNoCancel(const QString& text) = 0;
    // A notice with an OK button.
    virtual void showMessage(const QString& text) = 0;
};

inline constexpr char kPrompterTitle[] = "Message";
