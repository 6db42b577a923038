#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

#include "app/app_settings.h"
#include "app/color_choice.h"

namespace {

TEST(ColorChoiceTest, StoredColoursSplitAndJoin) {
    const AppSettings defaults;
    EXPECT_EQ(RgbFromColorRef(defaults.LocalPageColor), (Rgb{255, 255, 210}));
    EXPECT_EQ(RgbFromColorRef(defaults.RemotePageColor), (Rgb{240, 255, 255}));
    EXPECT_EQ(ColorRefFromRgb({1, 2, 3}), 0x00030201);
    EXPECT_EQ(ColorRefFromRgb({300, -4, 255}), 0x00FF00FF);
    // The unused top byte of a stored value does not leak into the parts.
    EXPECT_EQ(RgbFromColorRef(qint32(0xFF102030u)), (Rgb{0x30, 0x20, 0x10}));
}

TEST(ColorChoiceTest, TypedPartsAreWholeNumbersUpTo255) {
    const struct {
        const char* text;
        bool ok;
        int value;
    } cases[] = {{"0", true, 0},    {"255", true, 255}, {" 42 ", true, 42},
                 {"256", false, 0}, {"", false, 0},     {"-1", false, 0},
                 {"1e2", false, 0}, {"0012", false, 0}, {"12.5", false, 0}};
    for (const auto& c : cases) {
        int value = -1;
        EXPECT_EQ(ParseColorPart(QString::fromLatin1(c.text), &value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(ColorChoiceTest, ApplyWithoutChangeSaysSo) {
    ScriptedPrompter prompter;
    EXPECT_EQ(ApplyColorChoice({1, 2, 3}, {1, 2, 3}, prompter), ColorChoiceOutcome::NoChange);
    EXPECT_EQ(ApplyColorChoice({1, 2, 3}, {1, 2, 4}, prompter), ColorChoiceOutcome::Accepted);
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("No change")});
}

}  // namespace
