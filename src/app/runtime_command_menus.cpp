#include "app/runtime_command_menus.h"

namespace {

std::vector<RuntimeLetterMenu> lettersOf(const CommandIndex& index, int* nextId) {
    std::vector<RuntimeLetterMenu> menus;
    for (const CommandIndex::LetterGroup& g : index.groups()) {
        RuntimeLetterMenu menu;
        menu.letter = QString::fromLatin1(&g.letter, 1);
        for (const QByteArray& word : g.words) {
            if (*nextId > kCmdRuntimeLast)
                break;
            menu.items.push_back({(*nextId)++, word});
        }
        if (!menu.items.empty())
            menus.push_back(std::move(menu));
    }
    return menus;
}

}  // namespace

QByteArray RuntimeCommandMenus::wordFor(int id) const {
    for (const auto* side : {&feat, &help})
        for (const RuntimeLetterMenu& m : *side)
            for (const RuntimeCommandItem& item : m.items)
                if (item.id == id)
                    return item.word;
    return {};
}

RuntimeCommandMenus BuildRuntimeCommandMenus(const CommandIndex& feat, const CommandIndex& help) {
    int next = kCmdRuntimeFirst;
    RuntimeCommandMenus menus;
    menus.feat = lettersOf(feat, &next);
    menus.help = lettersOf(help, &next);
    return menus;
}

QByteArray SimpleCommandWord(const QString& itemText) {
    int end = 0;
    while (end < itemText.size() && itemText[end] != QLatin1Char(' ') &&
           itemText[end] != QLatin1Char('\t'))
        ++end;
    return itemText.left(end).toUtf8();
}
