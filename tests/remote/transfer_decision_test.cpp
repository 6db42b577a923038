#include "remote/transfer_decision.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const TransferDecision& d, std::ostream* os) {
    switch (d.kind) {
        case TransferDecision::Skip:
            *os << "skip";
            break;
        case TransferDecision::Whole:
            *os << "whole";
            break;
        case TransferDecision::Resume:
            *os << "resume from " << d.offset;
            break;
    }
}

namespace {

const TransferDecision W{TransferDecision::Whole, 0};
const TransferDecision S{TransferDecision::Skip, 0};
TransferDecision R(qint64 offset) {
    return {TransferDecision::Resume, offset};
}

// One size situation and the answer for every pair of REST support and the
// "if larger" byte: [no REST, Overwrite], [no REST, Skip], [REST, Overwrite],
// [REST, Skip].
struct Row {
    const char* name;
    quint8 action;
    bool targetExists;
    qint64 source;  // the size of the file sent (remote for downloads)
    qint64 target;  // the size of the file already there
    TransferDecision expected[4];
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.name;
}

void checkRow(const Row& r, bool download) {
    const bool rests[] = {false, false, true, true};
    const quint8 larger[] = {0, 1, 0, 1};
    for (int i = 0; i < 4; ++i) {
        TransferAlertOptions o;
        o.fileAction = r.action;
        o.ifLarger = larger[i];
        SCOPED_TRACE(testing::Message() << "REST " << rests[i] << ", if larger " << int(larger[i]));
        const TransferDecision got =
            download ? decideDownload(o, r.targetExists, r.target, r.source, rests[i])
                     : decideUpload(o, r.targetExists, r.source, r.target, rests[i]);
        EXPECT_EQ(got, r.expected[i]);
    }
}

class DownloadDecision : public testing::TestWithParam<Row> {};

TEST_P(DownloadDecision, ByActionSizesRestAndIfLarger) {
    checkRow(GetParam(), true);
}

// Downloads: source = server size R, target = local size L.
INSTANTIATE_TEST_SUITE_P(Transfers, DownloadDecision,
                         testing::Values(
                             // "Overwite if different sizes"
                             Row{"DifferentMissing", 0, false, 250, 0, {W, W, W, W}},
                             Row{"DifferentMissingEmptyRemote", 0, false, 0, 0, {W, W, W, W}},
                             Row{"DifferentEmptyBoth", 0, true, 0, 0, {S, S, S, S}},
                             Row{"DifferentEmptyLocal", 0, true, 250, 0, {W, W, W, W}},
                             Row{"DifferentSmallerLocal", 0, true, 250, 100, {W, W, W, W}},
                             Row{"DifferentEqual", 0, true, 250, 250, {S, S, S, S}},
                             Row{"DifferentLargerLocal", 0, true, 250, 300, {W, W, W, W}},
                             // "Overwite always"
                             Row{"AlwaysMissing", 1, false, 250, 0, {W, W, W, W}},
                             Row{"AlwaysEqual", 1, true, 250, 250, {W, W, W, W}},
                             Row{"AlwaysSmallerLocal", 1, true, 250, 100, {W, W, W, W}},
                             Row{"AlwaysLargerLocal", 1, true, 250, 300, {W, W, W, W}},
                             // "Skip if file exists": a missing file is fetched
                             Row{"SkipMissing", 2, false, 250, 0, {W, W, W, W}},
                             Row{"SkipMissingEmptyRemote", 2, false, 0, 0, {W, W, W, W}},
                             Row{"SkipEmptyLocal", 2, true, 250, 0, {S, S, S, S}},
                             Row{"SkipSmallerLocal", 2, true, 250, 100, {S, S, S, S}},
                             Row{"SkipEqual", 2, true, 250, 250, {S, S, S, S}},
                             Row{"SkipLargerLocal", 2, true, 250, 300, {S, S, S, S}},
                             // "Resume - with options bellow"
                             Row{"ResumeMissing", 3, false, 250, 0, {W, W, W, W}},
                             Row{"ResumeEmptyLocal", 3, true, 250, 0, {W, W, W, W}},
                             Row{"ResumeEmptyBoth", 3, true, 0, 0, {W, W, W, W}},
                             Row{"ResumeSmallerLocal", 3, true, 250, 100, {W, W, R(100), R(100)}},
                             Row{"ResumeOneByteShort", 3, true, 250, 249, {W, W, R(249), R(249)}},
                             Row{"ResumeEqual", 3, true, 250, 250, {S, S, S, S}},
                             Row{"ResumeLargerLocal", 3, true, 250, 300, {W, S, W, S}},
                             Row{"ResumeLocalOverEmptyRemote", 3, true, 0, 100, {W, S, W, S}},
                             Row{"ResumeBeyondFourGigabytes",
                                 3,
                                 true,
                                 6000000000LL,
                                 5000000000LL,
                                 {W, W, R(5000000000LL), R(5000000000LL)}},
                             // An action byte the dialog would show as the first choice acts as it.
                             Row{"UnknownActionActsAsDifferent", 9, true, 250, 250, {S, S, S, S}},
                             Row{"UnknownActionMissing", 200, false, 0, 0, {W, W, W, W}}),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

class UploadDecision : public testing::TestWithParam<Row> {};

TEST_P(UploadDecision, ByActionSizesRestAndIfLarger) {
    checkRow(GetParam(), false);
}

// Uploads: source = local size L, target = server size R.
INSTANTIATE_TEST_SUITE_P(Transfers, UploadDecision,
                         testing::Values(
                             // Whatever the action, a file the server lacks is stored whole.
                             Row{"DifferentMissing", 0, false, 100, 0, {W, W, W, W}},
                             Row{"AlwaysMissing", 1, false, 100, 0, {W, W, W, W}},
                             Row{"SkipMissing", 2, false, 100, 0, {W, W, W, W}},
                             Row{"ResumeMissing", 3, false, 100, 0, {W, W, W, W}},
                             Row{"ResumeMissingEmptyLocal", 3, false, 0, 0, {W, W, W, W}},
                             // "Overwite if different sizes"
                             Row{"DifferentEmptyBoth", 0, true, 0, 0, {S, S, S, S}},
                             Row{"DifferentEmptyRemote", 0, true, 100, 0, {W, W, W, W}},
                             Row{"DifferentSmallerRemote", 0, true, 100, 40, {W, W, W, W}},
                             Row{"DifferentEqual", 0, true, 100, 100, {S, S, S, S}},
                             Row{"DifferentLargerRemote", 0, true, 100, 150, {W, W, W, W}},
                             // "Overwite always"
                             Row{"AlwaysEqual", 1, true, 100, 100, {W, W, W, W}},
                             Row{"AlwaysLargerRemote", 1, true, 100, 150, {W, W, W, W}},
                             // "Skip if file exists"
                             Row{"SkipEmptyRemote", 2, true, 100, 0, {S, S, S, S}},
                             Row{"SkipSmallerRemote", 2, true, 100, 40, {S, S, S, S}},
                             Row{"SkipEqual", 2, true, 100, 100, {S, S, S, S}},
                             // "Resume - with options bellow"
                             Row{"ResumeEmptyRemote", 3, true, 100, 0, {W, W, W, W}},
                             Row{"ResumeEmptyBoth", 3, true, 0, 0, {W, W, W, W}},
                             Row{"ResumeSmallerRemote", 3, true, 100, 40, {W, W, R(40), R(40)}},
                             Row{"ResumeEqual", 3, true, 100, 100, {S, S, S, S}},
                             Row{"ResumeLargerRemote", 3, true, 100, 150, {W, S, W, S}},
                             Row{"ResumeEmptyLocalOverRemote", 3, true, 0, 40, {W, S, W, S}},
                             Row{"ResumeBeyondFourGigabytes",
                                 3,
                                 true,
                                 6000000000LL,
                                 5000000000LL,
                                 {W, W, R(5000000000LL), R(5000000000LL)}},
                             Row{"UnknownActionActsAsDifferent", 4, true, 100, 100, {S, S, S, S}},
                             Row{"UnknownActionDifferentSizes", 255, true, 100, 40, {W, W, W, W}}),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

// The dialog shows an "if larger" byte above 1 as "Overwrite": the decision
// agrees.
TEST(TransferDecisionTest, IfLargerAboveOneActsAsOverwrite) {
    TransferAlertOptions o;
    o.fileAction = TransferAlertOptions::Resume;
    for (const quint8 larger : {quint8(2), quint8(255)}) {
        SCOPED_TRACE(int(larger));
        o.ifLarger = larger;
        EXPECT_EQ(decideDownload(o, true, 300, 250, true), W);
        EXPECT_EQ(decideUpload(o, true, 100, 150, true), W);
    }
}

}  // namespace
