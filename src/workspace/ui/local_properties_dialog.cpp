#include "workspace/ui/local_properties_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "workspace/local_item_facts.h"

LocalPropertiesDialog::LocalPropertiesDialog(const QString& path, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Properties"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const auto& fact : LocalItemFacts(path)) {
        const QString value = fact.first == QLatin1String("Location")
                                  ? QDir::toNativeSeparators(fact.second)
                                  : fact.second;
        auto* label = new QLabel(value, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAccessibleName(fact.first);
        form->addRow(fact.first + QLatin1Char(':'), label);
    }
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}
