#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "remote/kind_filter.h"
#include "remote/remote_command_ids.h"

// One item of a context menu as it is shown. A separator has id 0 and no
// text; items of a submenu name it in `submenu`.
struct RemoteMenuItem {
    int id = 0;
    QString text;
    bool enabled = true;
    QString submenu;
    bool operator==(const RemoteMenuItem&) const = default;
};

// Which loops the window can open now.
struct LoopAvailability {
    bool compare = false;
    bool search = false;
    bool changeCase = false;
};

struct RemoteTreeMenuContext {
    bool isRoot = false;
    char kind = 'd';        // the node's entry: folder or link
    KindFilter kindFilter;  // "Delete and download"
    QString downloadText;   // the rewritten "Download ..." text
    bool hasDownloadTarget = false;
    bool projectPage = false;  // the Remote project page's tree keeps "Compare"
    LoopAvailability loops;
};

struct RemoteListMenuContext {
    int selected = 0;
    bool singlePlainFile = false;  // exactly one regular file selected
    bool singleNotFolder = false;  // exactly one entry selected and it is not a folder
    QString downloadText;
    bool hasDownloadTarget = false;
};

std::vector<RemoteMenuItem> RemoteTreeMenu(const RemoteTreeMenuContext& context);
std::vector<RemoteMenuItem> RemoteListMenu(const RemoteListMenuContext& context);

// The loop submenu's caption ("View/edit by" is a shared word).
inline constexpr char kLoopSubmenu[] = "Loop";

// Search and change case refuse to start while the server is busy and in a
// folder or link known to be empty. Nothing: the loop may start.
enum class RemoteLoop { Search, ChangeCase };
std::optional<QString> LoopStartRefusal(RemoteLoop loop, bool sessionBusy, bool listed,
                                        bool emptyListing, bool isLink);

// "The link pointers to\n\n" + target + "\n\n".
QString LinkInfoText(const QString& target);
