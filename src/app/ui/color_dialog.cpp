#include "app/ui/color_dialog.h"

#include "platform/program_texts.h"
#include "platform/prompter.h"
#include "platform/ui/rgb_colour.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* makeSwatch(const QString& name) {
    auto* swatch = new QFrame;
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(64, 24);
    swatch->setAutoFillBackground(true);
    swatch->setAccessibleName(name);
    return swatch;
}

void paintSwatch(QFrame* swatch, const Rgb& rgb) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, ToQColor(rgb));
    swatch->setPalette(palette);
    swatch->update();
}

QLineEdit* partField(int value, bool editable) {
    auto* field = new QLineEdit(QString::number(value));
    field->setMaxLength(3);
    field->setFixedWidth(48);
    field->setAlignment(Qt::AlignRight);
    field->setReadOnly(!editable);
    field->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
    if (editable)
        field->setValidator(new QIntValidator(0, 255, field));
    return field;
}

}  // namespace

ColorDialog::ColorDialog(qint32 colorRef, Prompter& prompter, const QString& title, QWidget* parent)
    : QDialog(parent),
      prompter_(prompter),
      original_(RgbFromColorRef(colorRef)),
      chosen_(original_),
      originalSwatch_(makeSwatch(QStringLiteral("Original color"))),
      newSwatch_(makeSwatch(QStringLiteral("New color"))),
      apply_(new QPushButton(QStringLiteral("Apply"))) {
    setWindowTitle(title.isEmpty() ? QString::fromLatin1(ColorTexts::kTitle) : title);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Original R, G, B values")), 0, 0);
    const int parts[3] = {original_.red, original_.green, original_.blue};
    const char* names[3] = {"red", "green", "blue"};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* field = partField(parts[i], false);
        field->setAccessibleName(QStringLiteral("Original ") + QLatin1String(names[i]));
        grid->addWidget(field, 0, 1 + i);
    }
    grid->addWidget(originalSwatch_, 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("New R, G, B values")), 1, 0);
    for (int i = 0; i < 3; ++i) {
        newFields_[i] = partField(parts[i], true);
        newFields_[i]->setAccessibleName(QStringLiteral("New ") + QLatin1String(names[i]));
        grid->addWidget(newFields_[i], 1, 1 + i);
        connect(newFields_[i], &QLineEdit::textChanged, this, &ColorDialog::updateNewSwatch);
    }
    grid->addWidget(newSwatch_, 1, 4);
    grid->setHorizontalSpacing(8);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(apply_);
    apply_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, &ColorDialog::apply);
    newFields_[0]->setFocus();
    newFields_[0]->selectAll();
    paintSwatch(originalSwatch_, original_);
    paintSwatch(newSwatch_, chosen_);
}

bool ColorDialog::readNew(Rgb* rgb) const {
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!ParseColorPart(newFields_[i]->text(), &values[i]))
            return false;
    }
    *rgb = {values[0], values[1], values[2]};
    return true;
}

void ColorDialog::updateNewSwatch() {
    Rgb rgb;
    if (readNew(&rgb))
        paintSwatch(newSwatch_, rgb);
}

void ColorDialog::apply() {
    Rgb rgb;
    if (!readNew(&rgb)) {
        prompter_.showMessage(QString::fromLatin1(kBadValue));
        return;
    }
    if (ApplyColorChoice(original_, rgb, prompter_) == ColorChoiceOutcome::NoChange)
        return;
    chosen_ = rgb;
    accept();
}
