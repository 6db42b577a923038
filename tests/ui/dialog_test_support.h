#pragma once

#include "platform/help_viewer.h"

#include <QStringList>

// Records the help topics a dialog opens.
class RecordingHelp : public HelpViewer {
public:
    void showTopic(const QString& topic) override { topics << topic; }
    QStringList topics;
};
