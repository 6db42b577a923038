#pragma once

#include "app/command_ids.h"
#include "session/command_index.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The "FEAT" and "HELP" submenus of the Command menu as data: one popup per
// letter group, one item per word, ids handed out in order from
// kCmdRuntimeFirst through FEAT and then HELP. An index without words shows only "(Empty)".
struct RuntimeCommandItem {
    int id = 0;
    QByteArray word;
};

struct RuntimeLetterMenu {
    QString letter;
    std::vector<RuntimeCommandItem> items;
};

struct RuntimeCommandMenus {
    std::vector<RuntimeLetterMenu> feat;
    std::vector<RuntimeLetterMenu> help;

    // The word behind an id, empty for ids not handed out.
    QByteArray wordFor(int id) const;
};

// Words beyond the id range are left out.
RuntimeCommandMenus BuildRuntimeCommandMenus(const CommandIndex& feat, const CommandIndex& help);

// A Simple item's command word: its text up to the first blank or tab.
QByteArray SimpleCommandWord(const QString& itemText);
