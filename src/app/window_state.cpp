#include "app/window_state.h"

#include <QDir>
#include <QSettings>

namespace {
const QString kPageKey = QStringLiteral("Window/Page");
const QString kBannerKey = QStringLiteral("Window/Banner");

QString filePath(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(kWindowStateFile));
}
}  // namespace

WindowState LoadWindowState(const QString& settingFolder, int pageCount) {
    WindowState state;
    if (settingFolder.isEmpty())
        return state;
    const QSettings file(filePath(settingFolder), QSettings::IniFormat);
    bool ok = false;
    const int page = file.value(kPageKey).toInt(&ok);
    if (ok && page >= 0 && page < pageCount)
        state.page = page;
    const QVariant banner = file.value(kBannerKey);
    if (banner.isValid())
        state.bannerVisible = banner.toString() != QLatin1String("false");
    return state;
}

bool SaveWindowState(const QString& settingFolder, const WindowState& state) {
    if (settingFolder.isEmpty() || !QDir().mkpath(settingFolder))
        return false;
    QSettings file(filePath(settingFolder), QSettings::IniFormat);
    file.setValue(kPageKey, state.page);
    file.setValue(kBannerKey, state.bannerVisible);
    file.sync();
    return file.status() == QSettings::NoError;
}
