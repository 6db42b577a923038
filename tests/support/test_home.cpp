#include "support/test_home.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

void UseTemporaryHome() {
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/velmora-test-home-XXXXXX"));
    if (!home.isValid())
        qFatal("no temporary home folder: %s", qPrintable(home.errorString()));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/.local/share")));
}
