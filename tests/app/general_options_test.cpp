#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

#include <functional>

#include "app/general_options.h"

namespace {

TEST(GeneralOptionsTest, SheetValuesRoundTripAndKeepUnknownParts) {
    AppSettings stored;
    stored.ChatInfoLevel = 9;          // unknown: shows as the first choice
    stored.CommonFlags = 0x40 | 0x04;  // 0x40 has no box on the sheet
    stored.ServerKindFlags = 0x100 | 0x08;
    const GeneralOptions opened = GeneralOptionsFrom(stored);
    EXPECT_EQ(opened.chatInfoLevel, 0);
    EXPECT_EQ(opened.commonFlags, 0x04);
    EXPECT_EQ(opened.serverKindFlags, 0x08);

    // Untouched controls give back exactly what was stored.
    EXPECT_TRUE(SameStoredSettings(WithGeneralOptions(stored, opened), stored));

    GeneralOptions chosen = opened;
    chosen.chatInfoLevel = 3;
    chosen.commonFlags = 0x02;
    chosen.keepAliveInterval = 0;
    chosen.keepAliveCommand2 = 1;
    chosen.localShowFlags = 0x01;
    chosen.serverKindFlags = 0x06;
    const AppSettings copy = WithGeneralOptions(stored, chosen);
    EXPECT_EQ(copy.ChatInfoLevel, 3);
    EXPECT_EQ(copy.CommonFlags, 0x40 | 0x02);
    EXPECT_EQ(copy.KeepAliveInterval, 0);
    EXPECT_EQ(copy.KeepAliveCommand2, 1);
    EXPECT_EQ(copy.LocalShowFlags, 0x01);
    EXPECT_EQ(copy.ServerKindFlags, 0x100 | 0x06);
    EXPECT_EQ(GeneralOptionsFrom(copy), chosen);
    EXPECT_TRUE(KeepAliveSwitched(stored, copy));
}

TEST(GeneralOptionsTest, ApplyComparesEveryStoredField) {
    struct Case {
        const char* what;
        std::function<void(AppSettings&)> change;
        bool changed;
    };
    const Case cases[] = {
        {"nothing", [](AppSettings&) {}, false},
        {"not stored", [](AppSettings& s) { s.Loaded = !s.Loaded; }, false},
        {"keep-alive command", [](AppSettings& s) { s.KeepAliveCommand1 = 1; }, true},
        {"server kinds", [](AppSettings& s) { s.ServerKindFlags ^= 0x08; }, true},
        {"splitter", [](AppSettings& s) { s.NormalSplit = 0x40004000; }, true},
        {"font", [](AppSettings& s) { s.WizardFont.lfHeight = -20; }, true},
        {"last folder", [](AppSettings& s) { s.LastLocalFolder = QStringLiteral("/tmp"); }, true},
    };
    for (const Case& c : cases) {
        const AppSettings current;
        AppSettings copy = current;
        c.change(copy);
        ScriptedPrompter prompter;
        const GeneralOptionsOutcome outcome = ApplyGeneralOptions(current, copy, prompter);
        EXPECT_EQ(outcome == GeneralOptionsOutcome::Accepted, c.changed) << c.what;
        EXPECT_EQ(prompter.messages(),
                  c.changed ? QStringList() : QStringList{QStringLiteral("No change")})
            << c.what;
    }
}

TEST(GeneralOptionsTest, KeepAliveSwitchesOnlyFromOrToOff) {
    const struct {
        int before, after;
        bool switched;
    } cases[] = {{1, 0, true}, {0, 4, true}, {1, 3, false}, {0, 0, false}};
    for (const auto& c : cases) {
        AppSettings a, b;
        a.KeepAliveInterval = quint8(c.before);
        b.KeepAliveInterval = quint8(c.after);
        EXPECT_EQ(KeepAliveSwitched(a, b), c.switched) << c.before << "->" << c.after;
    }
}

}  // namespace
