#include "app/general_options.h"

#include "app/settings_archive.h"
#include "platform/program_texts.h"
#include "platform/prompter.h"

#include <algorithm>

namespace {

int listIndex(int value, const QStringList& choices) {
    return value >= 0 && value < choices.size() ? value : 0;
}

QByteArray storedImage(const AppSettings& settings) {
    AppSettings copy = settings;
    SettingsArchive archive;
    SerializeAppSettings(archive, SettingsArchive::Direction::Write, copy);
    return archive.data();
}

constexpr qint32 kCommonMask = AppSettings::kShowUnprintableAsBinary |
                               AppSettings::kShowSoftwareTraces |
                               AppSettings::kShowActiveServerFiles;
constexpr qint32 kLocalShowMask = AppSettings::kShowSystemFiles | AppSettings::kShowHiddenFiles;
constexpr qint32 kServerKindMask = AppSettings::kServerKindLink | AppSettings::kServerKindDeviceB |
                                   AppSettings::kServerKindDeviceC |
                                   AppSettings::kServerKindUnknown;

// Keeps bits the sheet has no box for, so a value written by another install survives.
qint32 merge(qint32 stored, qint32 chosen, qint32 mask) {
    return (stored & ~mask) | (chosen & mask);
}

}  // namespace

QStringList ChatInfoLevelChoices() {
    return {QStringLiteral("Do not show any"), QStringLiteral("Show files when expanding folders"),
            QStringLiteral("Show more"), QStringLiteral("Show much more"),
            QStringLiteral("Show all")};
}

QStringList KeepAliveIntervalChoices() {
    return {QStringLiteral("Do not active server"), QStringLiteral("2 minutes"),
            QStringLiteral("5 minutes"), QStringLiteral("7 minutes"), QStringLiteral("10 minutes")};
}

QStringList KeepAliveCommand1Choices() {
    return {QStringLiteral("MLST"), QStringLiteral("MLSD or LIST")};
}

QStringList KeepAliveCommand2Choices() {
    return {QStringLiteral("NOOP"), QStringLiteral("PWD")};
}

GeneralOptions GeneralOptionsFrom(const AppSettings& settings) {
    GeneralOptions o;
    o.chatInfoLevel = listIndex(settings.ChatInfoLevel, ChatInfoLevelChoices());
    o.commonFlags = settings.CommonFlags & kCommonMask;
    o.localShowFlags = settings.LocalShowFlags & kLocalShowMask;
    o.keepAliveInterval = listIndex(settings.KeepAliveInterval, KeepAliveIntervalChoices());
    o.keepAliveCommand1 = listIndex(settings.KeepAliveCommand1, KeepAliveCommand1Choices());
    o.keepAliveCommand2 = listIndex(settings.KeepAliveCommand2, KeepAliveCommand2Choices());
    o.serverKindFlags = settings.ServerKindFlags & kServerKindMask;
    o.simultaneousTransfers = settings.SimultaneousTransfers;
    return o;
}

AppSettings WithGeneralOptions(const AppSettings& settings, const GeneralOptions& options) {
    AppSettings copy = settings;
    // A list showing its first choice for an unknown stored value keeps that value until the
    // user picks another one.
    const GeneralOptions opened = GeneralOptionsFrom(settings);
    if (options.chatInfoLevel != opened.chatInfoLevel)
        copy.ChatInfoLevel = quint8(options.chatInfoLevel);
    if (options.keepAliveInterval != opened.keepAliveInterval)
        copy.KeepAliveInterval = quint8(options.keepAliveInterval);
    if (options.keepAliveCommand1 != opened.keepAliveCommand1)
        copy.KeepAliveCommand1 = quint8(options.keepAliveCommand1);
    if (options.keepAliveCommand2 != opened.keepAliveCommand2)
        copy.KeepAliveCommand2 = quint8(options.keepAliveCommand2);
    copy.CommonFlags = merge(settings.CommonFlags, options.commonFlags, kCommonMask);
    copy.LocalShowFlags = merge(settings.LocalShowFlags, options.localShowFlags, kLocalShowMask);
    copy.ServerKindFlags =
        merge(settings.ServerKindFlags, options.serverKindFlags, kServerKindMask);
    copy.SimultaneousTransfers =
        std::clamp(options.simultaneousTransfers, 0, AppSettings::kMaxSimultaneousTransfers);
    return copy;
}

bool SameStoredSettings(const AppSettings& a, const AppSettings& b) {
    return storedImage(a) == storedImage(b) && a.SimultaneousTransfers == b.SimultaneousTransfers;
}

GeneralOptionsOutcome ApplyGeneralOptions(const AppSettings& current, const AppSettings& copy,
                                          Prompter& prompter) {
    if (SameStoredSettings(current, copy)) {
        prompter.showMessage(QString::fromLatin1(CommonTexts::kNoChange));
        return GeneralOptionsOutcome::NoChange;
    }
    return GeneralOptionsOutcome::Accepted;
}

GeneralOptionsOutcome ApplyGeneralOptions(const AppSettings& current, const AppSettings& copy,
                                          const PublishOptions& currentPublish,
                                          const PublishOptions& copyPublish, Prompter& prompter) {
    if (currentPublish != copyPublish)
        return GeneralOptionsOutcome::Accepted;
    return ApplyGeneralOptions(current, copy, prompter);
}

bool KeepAliveSwitched(const AppSettings& before, const AppSettings& after) {
    return (before.KeepAliveInterval == 0) != (after.KeepAliveInterval == 0);
}
