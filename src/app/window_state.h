#pragma once

#include <QString>

// What the main window keeps beside the settings files, in "window.ini" of
// the setting folder: the page open when it closed and whether the banner
// pane shows. The settings files' layouts stay as they are.
struct WindowState {
    int page = 0;
    bool bannerVisible = true;

    bool operator==(const WindowState&) const = default;
};

inline constexpr char kWindowStateFile[] = "window.ini";

// Defaults for a missing or unreadable file; a page outside 0..pageCount-1
// gives the first page.
WindowState LoadWindowState(const QString& settingFolder, int pageCount);
// False when the file could not be written.
bool SaveWindowState(const QString& settingFolder, const WindowState& state);
