#pragma once

#include "platform/beeper.h"
#include "platform/help_viewer.h"
#include "platform/launcher.h"
#include "platform/shutdown.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <vector>

// Stand-ins for the desktop that record what they are asked instead of doing it.

class RecordingHelp : public HelpViewer {
public:
    void showTopic(const QString& topic) override { topics << topic; }
    QStringList topics;
};

class RecordingLauncher : public Launcher {
public:
    struct Call {
        QString program;
        QStringList arguments;
    };
    bool startDetached(const QString& program, const QStringList& arguments) override {
        calls.push_back({program, arguments});
        return true;
    }
    bool openLink(const QString& link) override {
        links << link;
        return true;
    }
    // Each start as "program arg arg".
    QStringList started() const {
        QStringList lines;
        for (const Call& c : calls)
            lines << c.program + QLatin1Char(' ') + c.arguments.join(QLatin1Char(' '));
        return lines;
    }

    std::vector<Call> calls;
    QStringList links;
};

class RecordingBeeper : public Beeper {
public:
    void beep(int frequencyHz, int durationMs) override { beeps.append({frequencyHz, durationMs}); }
    QList<QPair<int, int>> beeps;
};

class RecordingShutdown : public SystemShutdown {
public:
    bool powerOff() override {
        ++calls;
        return result;
    }
    int calls = 0;
    bool result = true;
};
