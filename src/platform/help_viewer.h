#pragma once

#include <QString>

// Opens a help topic ("option.htm#General_options") in the program's help
// window. Dialogs and pages get one from the window that owns them.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showTopic(const QString& topic) = 0;
};
