#include "app/launch_options.h"

#include "velmora_version.h"

namespace {

// Qt's own options and whether they take a value; QApplication removes them.
bool isQtOption(const QString& a, bool* takesValue) {
    static const QStringList withValue = {
        QStringLiteral("-platform"),      QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
        QStringLiteral("-qmljsdebugger"), QStringLiteral("-style"),
        QStringLiteral("-stylesheet"),    QStringLiteral("-display"),
        QStringLiteral("-geometry"),      QStringLiteral("-qwindowgeometry"),
        QStringLiteral("-qwindowtitle"),  QStringLiteral("-qwindowicon"),
        QStringLiteral("-title"),         QStringLiteral("-name"),
        QStringLiteral("-session")};
    static const QStringList alone = {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"),
                                      QStringLiteral("-nograb"), QStringLiteral("-dograb"),
                                      QStringLiteral("-sync")};
    *takesValue = withValue.contains(a);
    return *takesValue || alone.contains(a);
}

}  // namespace

LaunchOptions ParseLaunchOptions(const QStringList& args) {
    LaunchOptions o;
    auto fail = [&o](const QString& text) {
        o.error = text;
        return o;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        bool takesValue = false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--setting-dir") || a == QLatin1String("--site")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return fail(a + QStringLiteral(" needs a value"));
            (a == QLatin1String("--site") ? o.site : o.settingDir) = args[++i];
        } else if (a.startsWith(QLatin1String("--setting-dir=")) ||
                   a.startsWith(QLatin1String("--site="))) {
            const QString value = a.section(QLatin1Char('='), 1);
            if (value.isEmpty())
                return fail(a.section(QLatin1Char('='), 0, 0) + QStringLiteral(" needs a value"));
            (a.startsWith(QLatin1String("--site=")) ? o.site : o.settingDir) = value;
        } else if (isQtOption(a, &takesValue)) {
            if (takesValue)
                ++i;
        } else if (a.startsWith(QLatin1Char('-'))) {
            return fail(QStringLiteral("unknown option: ") + a);
        } else {
            if (o.url)
                return fail(QStringLiteral("more than one address: ") + MaskUrlPassword(a));
            QString error;
            o.url = parseFtpUrl(a, &error);
            if (!o.url)
                return fail(error);
        }
    }
    if (o.url && !o.site.isEmpty())
        return fail(QStringLiteral("give either --site or an address, not both"));
    return o;
}

QString LaunchUsage() {
    return QStringLiteral(
        "Usage: velmora [--setting-dir DIR] [--site NAME | "
        "ftp://[user[:password]@]host[:port][/path]]\n"
        "\n"
        "Velmora, an FTP client for people who look after web sites.\n"
        "\n"
        "  --setting-dir DIR   folder of the settings files (else $VELMORA_SETTING_DIR,\n"
        "                      a Setting folder beside the program, or\n"
        "                      ~/.config/velmora/Setting)\n"
        "  --site NAME         connect at start to the stored site NAME\n"
        "  ftp://...           connect at start to this address (anonymous without a user);\n"
        "  ftpes://...         the same over FTP with explicit TLS, which it then requires\n"
        "  --help              this text\n"
        "  --version           the version\n");
}

QString VersionText() {
    return QStringLiteral("velmora " VELMORA_VERSION);
}
