#pragma once

// A typed test suite over a real server of each flavour. The server starts in
// SetUpTestSuite, so it is shared only where one process runs several of the
// suite's tests (the test program run by hand). ctest runs every test in a
// process of its own (gtest_discover_tests), so there each test starts and
// stops a server of its own, and tests running in parallel never share one.
// Each test still works in folders of its own below the server's writable
// folder, and on the local side in a temporary folder of its own, so that it
// passes either way.
#include "support/cli_runner.h"
#include "support/pyftpdlib_server.h"
#include "support/qt_printers.h"
#include "support/vsftpd_server.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <memory>

struct PyftpdlibFlavour {
    using Server = PyftpdlibServer;
    static constexpr bool kChmod = true;  // SITE CHMOD is allowed
    static QString account() { return QStringLiteral("velmora:velmora-pass@"); }
};

struct VsftpdFlavour {
    using Server = VsftpdServer;
    static constexpr bool kChmod = false;
    static QString account() { return QString(); }  // anonymous
};

inline std::string str(const QString& text) {
    return text.toStdString();
}

// The permission bits of a path on disk, -1 when it cannot be read.
inline int modeOf(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

inline bool setMode(const QString& path, int mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

// Values of `ls --tsv` by name: the size field.
inline QMap<QByteArray, QByteArray> tsvSizes(const CliResult& r) {
    QMap<QByteArray, QByteArray> sizes;
    for (const QByteArray& line : r.outLines()) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 12)
            sizes.insert(fields[10], fields[2]);
    }
    return sizes;
}

template <typename Flavour>
class CliServerSuite : public testing::Test {
protected:
    using Server = typename Flavour::Server;

    static void SetUpTestSuite() { startServer({}); }
    // A failure is kept for SetUp, which fails each test with it.
    static void startServer(const typename Server::Options& options) {
        settings_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<Server>(options);
        ready_ = server_->start();
        if (!ready_)
            error_ = server_->lastError();
    }
    static void TearDownTestSuite() {
        server_.reset();
        settings_.reset();
        ready_ = false;
    }
    void SetUp() override {
        ASSERT_TRUE(ready_) << "the FTP server did not start: " << str(error_);
        ASSERT_TRUE(work_.isValid());
    }

    static QString url(const QString& scheme = QStringLiteral("ftp")) {
        return scheme + QStringLiteral("://") + Flavour::account() +
               QStringLiteral("127.0.0.1:%1/").arg(server_->port());
    }
    // The absolute remote path of `rel` below the writable folder.
    static QString remote(const QString& rel) {
        QString base = QString::fromUtf8(server_->writableFolder());
        if (!base.endsWith(QLatin1Char('/')))
            base += QLatin1Char('/');
        return base + rel;
    }
    // `rel` below the writable folder, as the fixture's file helpers take it.
    static QString serverRel(const QString& rel) { return remote(rel).mid(1); }
    static QString serverPath(const QString& rel) { return server_->localPath(serverRel(rel)); }

    static QProcessEnvironment env() { return CliRun::cliEnvironment(settings_->path()); }
    // With `settingDir`, in that settings folder instead of the suite's.
    static CliResult cli(const QStringList& args, const QString& settingDir = QString()) {
        return runCli(args, settingDir.isEmpty() ? env() : CliRun::cliEnvironment(settingDir));
    }
    static std::unique_ptr<CliRun> start(const QStringList& args) {
        return std::make_unique<CliRun>(args, env());
    }
    QString local(const QString& rel) const { return work_.filePath(rel); }

    QTemporaryDir work_;
    static inline std::unique_ptr<Server> server_;
    static inline std::unique_ptr<QTemporaryDir> settings_;
    static inline bool ready_ = false;
    static inline QString error_;
};

using ServerFlavours = testing::Types<PyftpdlibFlavour, VsftpdFlavour>;

class FlavourNames {
public:
    template <typename T>
    static std::string GetName(int) {
        if constexpr (std::is_same_v<T, PyftpdlibFlavour>)
            return "pyftpdlib";
        else
            return "vsftpd";
    }
};
