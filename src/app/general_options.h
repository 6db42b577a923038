#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "app/app_settings.h"
#include "session/publish_plan.h"

class Prompter;

// The "General" options sheet edits fields ChatInfoLevel ... ServerKindFlags of the settings
// together, and "Simultaneous transfers" kept after the records; everything else is carried
// through unchanged.

// The sheet's values, one per control group.
struct GeneralOptions {
    int chatInfoLevel = 0;  // list index 0 ... 4
    qint32 commonFlags = 0;
    qint32 localShowFlags = 0;
    int keepAliveInterval = 0;  // list index 0 ... 4
    int keepAliveCommand1 = 0;  // list index 0 ... 1
    int keepAliveCommand2 = 0;  // list index 0 ... 1
    qint32 serverKindFlags = 0;
    int simultaneousTransfers = AppSettings::kDefaultSimultaneousTransfers;  // 0 ... 8

    bool operator==(const GeneralOptions&) const = default;
};

// The choices of the sheet's lists, in index order.
QStringList ChatInfoLevelChoices();
QStringList KeepAliveIntervalChoices();
QStringList KeepAliveCommand1Choices();
QStringList KeepAliveCommand2Choices();

// What the sheet opens with. A stored list value outside its choices shows as the first one.
GeneralOptions GeneralOptionsFrom(const AppSettings& settings);
// `settings` with the sheet's values written into it.
AppSettings WithGeneralOptions(const AppSettings& settings, const GeneralOptions& options);

// Two settings records would be stored alike: every stored field, fonts and splitter
// proportions included, compared through their stored image (the Loaded flag is not stored).
bool SameStoredSettings(const AppSettings& a, const AppSettings& b);

enum class GeneralOptionsOutcome { NoChange, Accepted };
// "Apply": "No change" when the copy equals the current settings (the sheet stays open).
GeneralOptionsOutcome ApplyGeneralOptions(const AppSettings& current, const AppSettings& copy,
                                          Prompter& prompter);
// The same with the publishing options the sheet shows beside the settings.
GeneralOptionsOutcome ApplyGeneralOptions(const AppSettings& current, const AppSettings& copy,
                                          const PublishOptions& currentPublish,
                                          const PublishOptions& copyPublish, Prompter& prompter);

// Accepting may switch the idle keep-alive on or off: true when the interval changed from or
// to "Do not active server".
bool KeepAliveSwitched(const AppSettings& before, const AppSettings& after);
