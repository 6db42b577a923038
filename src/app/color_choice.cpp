#include "app/color_choice.h"

#include "platform/program_texts.h"
#include "platform/prompter.h"

Rgb RgbFromColorRef(qint32 colorRef) {
    const quint32 v = quint32(colorRef);
    return {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)};
}

qint32 ColorRefFromRgb(const Rgb& rgb) {
    const quint32 r = quint32(qBound(0, rgb.red, 255));
    const quint32 g = quint32(qBound(0, rgb.green, 255));
    const quint32 b = quint32(qBound(0, rgb.blue, 255));
    return qint32(r | (g << 8) | (b << 16));
}

bool ParseColorPart(const QString& text, int* value) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 3)
        return false;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const int v = trimmed.toInt();
    if (v > 255)
        return false;
    if (value)
        *value = v;
    return true;
}

ColorChoiceOutcome ApplyColorChoice(const Rgb& original, const Rgb& chosen, Prompter& prompter) {
    if (original == chosen) {
        prompter.showMessage(QString::fromLatin1(CommonTexts::kNoChange));
        return ColorChoiceOutcome::NoChange;
    }
    return ColorChoiceOutcome::Accepted;
}
