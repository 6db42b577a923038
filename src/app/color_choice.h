#pragma once

#include <QString>
#include <QtGlobal>

#include "platform/rgb.h"

class Prompter;

Rgb RgbFromColorRef(qint32 colorRef);
// Each part is held inside 0 ... 255.
qint32 ColorRefFromRgb(const Rgb& rgb);

// A typed part: a whole number 0 ... 255, else none (the field is refused).
bool ParseColorPart(const QString& text, int* value);

enum class ColorChoiceOutcome { NoChange, Accepted };
// "Apply": "No change" when the new colour equals the original (the dialog stays open).
ColorChoiceOutcome ApplyColorChoice(const Rgb& original, const Rgb& chosen, Prompter& prompter);
