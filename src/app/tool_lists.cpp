#include "app/tool_lists.h"

const std::vector<ToolRecord>& BuiltInTools() {
    static const std::vector<ToolRecord> kTools = {
        {QStringLiteral("Mozilla Firefox"), QString(), QStringLiteral("firefox"), 1},
        {QStringLiteral("Chromium"), QString(), QStringLiteral("chromium"), 1},
        {QStringLiteral("Google Chrome"), QString(), QStringLiteral("google-chrome"), 1},
        {QStringLiteral("VLC media player"), QString(), QStringLiteral("vlc"), 1},
        {QStringLiteral("LibreOffice Writer"), QString(), QStringLiteral("libreoffice"), 1},
        {QStringLiteral("gedit"), QString(), QStringLiteral("gedit"), 0},
        {QStringLiteral("Kate"), QString(), QStringLiteral("kate"), 0},
        {QStringLiteral("GIMP"), QString(), QStringLiteral("gimp"), 0},
        {QStringLiteral("Inkscape"), QString(), QStringLiteral("inkscape"), 0},
        {QStringLiteral("Evince"), QString(), QStringLiteral("evince"), 0},
    };
    return kTools;
}

void TopUpSearchedTools(ToolLists& lists) {
    const std::vector<ToolRecord>& builtIn = BuiltInTools();
    for (std::size_t i = lists.SearchedTools.size(); i < builtIn.size(); ++i) {
        lists.SearchedTools.push_back(builtIn[i]);
    }
}
