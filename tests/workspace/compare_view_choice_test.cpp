#include "workspace/compare_view_choice.h"

#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

CompareItem item(bool localFile, bool localFolder, char remoteKind,
                 const QByteArray& remoteName = "a.html") {
    CompareItem i;
    if (localFile || localFolder) {
        i.flags |= CompareItem::Local;
        i.localName = QString::fromUtf8(remoteName);
    }
    if (localFolder)
        i.flags |= CompareItem::LocalFolder;
    if (remoteKind) {
        i.flags |= CompareItem::Remote;
        i.remoteKind = remoteKind;
        i.remoteName = remoteName;
    }
    return i;
}

}  // namespace

TEST(CompareViewChoice, AsksOnlyForAFileOnBothSides) {
    struct Case {
        const char* what;
        CompareItem item;
        std::optional<PromptAnswer> answer;  // the question is asked
        CompareViewSide side;
    } cases[] = {
        {"both, Yes views the server's", item(true, false, '-'), PromptAnswer::Yes,
         CompareViewSide::Server},
        {"both, No views the local one", item(true, false, '-'), PromptAnswer::No,
         CompareViewSide::Local},
        {"both, Cancel views nothing", item(true, false, '-'), PromptAnswer::Cancel,
         CompareViewSide::None},
        {"server only", item(false, false, '-'), std::nullopt, CompareViewSide::Server},
        {"local only", item(true, false, 0), std::nullopt, CompareViewSide::Local},
        {"local file, server folder", item(true, false, 'd'), std::nullopt, CompareViewSide::Local},
        {"local folder, server file", item(false, true, '-'), std::nullopt,
         CompareViewSide::Server},
        {"server name unsafe here: the local copy", item(true, false, '-', ".."), std::nullopt,
         CompareViewSide::Local},
        {"folders on both sides", item(false, true, 'd'), std::nullopt, CompareViewSide::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompter prompter;
        if (c.answer)
            prompter.expectChoice(
                "Click button\nYes\tto view server file\nNo\tto view local file\n", *c.answer);
        EXPECT_EQ(ChooseCompareViewSide(c.item, prompter), c.side);
        EXPECT_EQ(prompter.questions().size(), c.answer ? 1 : 0);
    }
}
