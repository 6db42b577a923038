#include "app/extra_settings.h"

#include "app/settings_file.h"

namespace {

const QLatin1String kSimultaneousTransfers("SimultaneousTransfers");

}  // namespace

ExtraSettingsState LoadExtraSettings(ExtraSettings& settings, const QString& path,
                                     QStringList* problems) {
    settings = ExtraSettings{};
    const std::optional<QByteArray> data = SettingsFile::read(path);
    if (!data)
        return ExtraSettingsState::Missing;
    bool damaged = false;
    const QStringList lines = QString::fromUtf8(*data).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? QString() : line.left(eq).trimmed();
        const QString value = eq < 0 ? QString() : line.mid(eq + 1).trimmed();
        if (name != kSimultaneousTransfers) {
            settings.Kept << line;
            continue;
        }
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 0 || n > ExtraSettings::kMaxSimultaneousTransfers) {
            damaged = true;
            if (problems)
                *problems << QStringLiteral(
                                 "%1 line %2: %3 takes a number from 0 to %4, not "
                                 "\"%5\"; %6 is used")
                                 .arg(ExtraSettings::fileName())
                                 .arg(i + 1)
                                 .arg(name)
                                 .arg(ExtraSettings::kMaxSimultaneousTransfers)
                                 .arg(value)
                                 .arg(ExtraSettings::kDefaultSimultaneousTransfers);
            continue;
        }
        settings.SimultaneousTransfers = n;
    }
    return damaged ? ExtraSettingsState::Damaged : ExtraSettingsState::Read;
}

bool SaveExtraSettings(const ExtraSettings& settings, const QString& path, QString* error) {
    QString text =
        QStringLiteral("%1=%2\n").arg(kSimultaneousTransfers).arg(settings.SimultaneousTransfers);
    for (const QString& line : settings.Kept)
        text += line + QLatin1Char('\n');
    SettingsFile::SaveOptions options;
    options.error = error;
    return SettingsFile::save(path, text.toUtf8(), options);
}
