#pragma once

#include <QString>
#include <QtGlobal>

class Prompter;

// The colour dialog's values: red, green and blue of a stored colour (0x00BBGGRR).
struct RgbValues {
    int red = 0;
    int green = 0;
    int blue = 0;

    bool operator==(const RgbValues&) const = default;
};

namespace ColorTexts {
inline constexpr char kTitle[] = "Change color";
inline constexpr char kNoChange[] = "No change";
inline constexpr char kLocalPageTitle[] = "Change local project background color";
inline constexpr char kRemotePageTitle[] = "Change remote project background color";
}  // namespace ColorTexts

RgbValues RgbFromColorRef(qint32 colorRef);
// Each part is held inside 0 ... 255.
qint32 ColorRefFromRgb(const RgbValues& rgb);

// A typed part: a whole number 0 ... 255, else none (the field is refused).
bool ParseColorPart(const QString& text, int* value);

enum class ColorChoiceOutcome { NoChange, Accepted };
// "Apply": "No change" when the new colour equals the original (the dialog stays open).
ColorChoiceOutcome ApplyColorChoice(const RgbValues& original, const RgbValues& chosen,
                                    Prompter& prompter);
