#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include "velmora_paths.h"

namespace {

QString sourceFile(const QString& relative) {
    return QDir::cleanPath(QStringLiteral(VELMORA_TEST_DATA_DIR "/../../") + relative);
}

// The launcher entry: what desktops read to list the program and to hand it
// ftp:// links.
TEST(DesktopEntry, NamesTheProgramItsIconAndTheFtpScheme) {
    QFile file(sourceFile("data/velmora.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> keys;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            keys.insert(line.left(eq), line.mid(eq + 1));
    }
    EXPECT_EQ(keys.value("Name"), "Velmora");
    EXPECT_EQ(keys.value("GenericName"), "FTP client");
    EXPECT_EQ(keys.value("Exec"), "velmora %u");
    EXPECT_EQ(keys.value("Icon"), "velmora");
    EXPECT_EQ(keys.value("MimeType"), "x-scheme-handler/ftp;");
    EXPECT_EQ(keys.value("Terminal"), "false");
    EXPECT_TRUE(keys.value("Categories").split(';').contains("FileTransfer"));
    // The icon it names is the one installed.
    EXPECT_TRUE(QFile::exists(sourceFile("resources/icons/velmora.svg")));
}

TEST(DesktopEntry, PassesTheDesktopsOwnValidator) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    QProcess p;
    p.start(validator, {sourceFile("data/velmora.desktop")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString()
                               << p.readAllStandardError().toStdString();
    // Warnings count too: a clean entry says nothing.
    EXPECT_TRUE(p.readAllStandardOutput().trimmed().isEmpty());
}

}  // namespace
