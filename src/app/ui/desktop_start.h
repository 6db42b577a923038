#pragma once

#include "app/launch_options.h"
#include "app/ui/main_frame.h"

#include <QString>

#include <memory>

class Workbench;

// Opens the main window for a loaded workbench as the command line asked:
// placement restored (maximised on a first start), then the connection to the
// site or address given, once the event loop runs. A --site naming no stored
// site gives an error text and no window.
std::unique_ptr<MainFrame> StartDesktop(Workbench& workbench, const LaunchOptions& launch,
                                        QString* error, const MainFrame::Services& services = {});
