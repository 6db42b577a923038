#include "remote/file_action_dialog_rules.h"

#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

TransferAlertOptions options(quint8 action, quint8 ifLarger, quint8 showAlert) {
    TransferAlertOptions o;
    o.fileAction = action;
    o.ifLarger = ifLarger;
    o.showAlert = showAlert;
    return o;
}

TEST(FileActionDialog, CaptionsByDirection) {
    struct Case {
        TransferDirection direction;
        const char* title;
        const char* label;
    };
    const Case cases[] = {
        {TransferDirection::Upload, "Upload file action", "If Local file size < Server file size"},
        {TransferDirection::Download, "Download file action",
         "If Server file size < Local file size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const FileActionDialogState s = openFileActionDialog(c.direction, {}, true);
        EXPECT_EQ(s.title, QString::fromLatin1(c.title));
        EXPECT_EQ(s.resumeGroupLabel, QString::fromLatin1(c.label));
    }
}

struct ShowCase {
    const char* name;
    TransferAlertOptions stored;
    bool rest;
    int actionRadio;
    int ifLargerRadio;
    bool doNotShowAgain;
    bool resumeEnabled;
    bool resumeGroupEnabled;
};

void PrintTo(const ShowCase& c, std::ostream* os) {
    *os << c.name;
}

class FileActionDialogShows : public testing::TestWithParam<ShowCase> {};

TEST_P(FileActionDialogShows, TheStoredBytes) {
    const ShowCase& c = GetParam();
    for (const TransferDirection d : {TransferDirection::Upload, TransferDirection::Download}) {
        SCOPED_TRACE(d == TransferDirection::Upload ? "upload" : "download");
        const FileActionDialogState s = openFileActionDialog(d, c.stored, c.rest);
        EXPECT_EQ(s.actionRadio, c.actionRadio);
        EXPECT_EQ(s.ifLargerRadio, c.ifLargerRadio);
        EXPECT_EQ(s.doNotShowAgain, c.doNotShowAgain);
        EXPECT_EQ(s.resumeEnabled, c.resumeEnabled);
        EXPECT_EQ(s.resumeGroupEnabled, c.resumeGroupEnabled);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, FileActionDialogShows,
    testing::Values(
        ShowCase{"Defaults", options(0, 0, 1), true, 0, 0, false, true, false},
        ShowCase{"Always", options(1, 1, 1), true, 1, 1, false, true, false},
        ShowCase{"SkipQuiet", options(2, 0, 0), false, 2, 0, true, false, false},
        ShowCase{"ResumeWithRest", options(3, 1, 0), true, 3, 1, true, true, true},
        // The resume choice is greyed without REST; its group still follows
        // the chosen action.
        ShowCase{"ResumeWithoutRest", options(3, 0, 1), false, 3, 0, false, false, true},
        ShowCase{"ActionAboveThreeShowsFirst", options(4, 0, 1), true, 0, 0, false, true, false},
        ShowCase{"ActionByteMax", options(255, 1, 1), true, 0, 1, false, true, false},
        ShowCase{"IfLargerAboveOneShowsOverwrite", options(3, 2, 1), true, 3, 0, false, true, true},
        // Only 0 ticks "Do not show the alert dialog again".
        ShowCase{"ShowAlertTwo", options(0, 0, 2), true, 0, 0, false, true, false}),
    [](const testing::TestParamInfo<ShowCase>& info) { return std::string(info.param.name); });

TEST(FileActionDialog, ResumeGroupFollowsTheChosenAction) {
    const bool expected[] = {false, false, false, true};
    for (int action = 0; action < 4; ++action) {
        SCOPED_TRACE(action);
        EXPECT_EQ(resumeGroupEnabledFor(action), expected[action]);
    }
}

TEST(FileActionDialog, ApplyStoresTheThreeBytes) {
    struct Case {
        int action;
        int ifLarger;
        bool doNotShowAgain;
        TransferAlertOptions stored;
    };
    const Case cases[] = {
        {0, 0, false, options(0, 0, 1)},
        {3, 1, true, options(3, 1, 0)},
        {2, 1, false, options(2, 1, 1)},
        {1, 0, true, options(1, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.action << ' ' << c.ifLarger << ' ' << c.doNotShowAgain);
        const TransferAlertOptions o =
            applyFileActionDialog(c.action, c.ifLarger, c.doNotShowAgain);
        EXPECT_EQ(o.fileAction, c.stored.fileAction);
        EXPECT_EQ(o.ifLarger, c.stored.ifLarger);
        EXPECT_EQ(o.showAlert, c.stored.showAlert);
        // Opened again, the dialog shows what was applied.
        const FileActionDialogState s = openFileActionDialog(TransferDirection::Download, o, true);
        EXPECT_EQ(s.actionRadio, c.action);
        EXPECT_EQ(s.ifLargerRadio, c.ifLarger);
        EXPECT_EQ(s.doNotShowAgain, c.doNotShowAgain);
    }
}

}  // namespace
