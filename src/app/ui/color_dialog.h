#pragma once

#include <QDialog>

#include "app/color_choice.h"

class Prompter;
class QFrame;
class QLineEdit;
class QPushButton;

// "Change color": the original R, G, B values beside the new ones, each with a swatch that
// follows every edit. "Apply" closes accepted only when the colour changed.
class ColorDialog : public QDialog {
    Q_OBJECT
public:
    // `colorRef` as stored (0x00BBGGRR). An empty title keeps "Change color".
    ColorDialog(qint32 colorRef, Prompter& prompter, const QString& title = {},
                QWidget* parent = nullptr);

    // The new colour as stored (0x00BBGGRR); meaningful after acceptance.
    qint32 colorRef() const { return ColorRefFromRgb(chosen_); }

    void apply();

    QLineEdit* newField(int part) const { return newFields_[part]; }
    QFrame* newSwatch() const { return newSwatch_; }
    QPushButton* applyButton() const { return apply_; }

    static constexpr char kBadValue[] = "Please input R, G, B values from 0 to 255.";

private:
    // Reads the new fields; false when one holds no value 0 ... 255.
    bool readNew(Rgb* rgb) const;
    void updateNewSwatch();

    Prompter& prompter_;
    const Rgb original_;
    Rgb chosen_;
    QLineEdit* newFields_[3] = {};
    QFrame* originalSwatch_;
    QFrame* newSwatch_;
    QPushButton* apply_;
};
