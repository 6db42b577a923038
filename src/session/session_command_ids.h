#pragma once

// Command ids of the session's own views; each action carries its id in data().

// The chat pane's context menu.
enum ChatPaneCommand : int {
    kChatCopy = 32776,
    kChatSelectAll = 32777,
    kChatClear = 32778,
};
