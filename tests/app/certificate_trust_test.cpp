// The TLS mode bits of a site, the trust store file and the judge that
// decides over certificates that did not verify.
#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "app/certificate_question.h"
#include "app/site_file.h"
#include "app/site_rules.h"
#include "app/site_tls.h"
#include "app/stored_certificate_judge.h"
#include "app/test_bytes.h"
#include "app/trust_store.h"

using test_bytes::hex;
using test_bytes::le32;
using test_bytes::wide;

namespace {

QByteArray digest(char c) {
    return QByteArray(32, c);
}

CertificateCheck checkFor(const QString& host, int port, char digestByte) {
    CertificateCheck c;
    c.host = host;
    c.port = port;
    c.tls.certificate.subject = QStringLiteral("CN=localhost");
    c.tls.certificate.sha256 = digest(digestByte);
    c.tls.problems = QStringList{QStringLiteral("The certificate is self-signed, and untrusted")};
    return c;
}

class ScriptedAsker : public CertificateAsker {
public:
    void ask(const CertificateQuestion& q, std::function<void(TrustChoice)> answer) override {
        questions.append(q);
        answer(choice);
    }
    TrustChoice choice = TrustChoice::Cancel;
    QList<CertificateQuestion> questions;
};

}  // namespace

TEST(SiteTls, ModeLivesInTwoSpareFlagBits) {
    struct Row {
        qint32 flags;
        TlsMode mode;
    };
    const Row rows[] = {
        {0x01, TlsMode::Off},     {0x00, TlsMode::Off},     {0x05, TlsMode::IfAvailable},
        {0x09, TlsMode::Require}, {0x0f, TlsMode::Require},  // both bits: the stricter one
    };
    for (const Row& row : rows) {
        SiteRecord r;
        r.SiteFlags = row.flags;
        EXPECT_EQ(SiteTlsMode(r), row.mode) << row.flags;
    }
    // Setting a mode keeps the other flags.
    SiteRecord r;
    r.SiteFlags = 0x03 | 0x08;
    SetSiteTlsMode(r, TlsMode::IfAvailable);
    EXPECT_EQ(r.SiteFlags, 0x07);
    SetSiteTlsMode(r, TlsMode::Off);
    EXPECT_EQ(r.SiteFlags, 0x03);
    EXPECT_EQ(SiteTlsMode(NewSiteRecord()), TlsMode::IfAvailable);
    // "New site" in the dialog.
    SiteList list;
    ASSERT_EQ(AddSite(list, QStringLiteral("n"), QStringLiteral("c")), 0);
    EXPECT_EQ(SiteTlsMode(list.Records[0]), TlsMode::IfAvailable);
    EXPECT_EQ(SiteTlsMode(SiteRecord{}), TlsMode::Off);  // records read from old files
}

TEST(SiteTls, FlagsTravelInTheUnchangedSiteLayout) {
    QTemporaryDir dir;
    const QString path = dir.filePath("site.set");
    SiteList list;
    SiteRecord r;
    SetSiteTlsMode(r, TlsMode::Require);
    list.Records.push_back(r);
    list.SelectedIndex = 0;
    ASSERT_TRUE(SaveSites(list, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    // 8 bytes of list head and a record of 60 bytes with all texts empty but the
    // two abundant strings; the last field is SiteFlags 0x09.
    EXPECT_EQ(bytes.right(4), le32(0x09));
    SiteList back;
    ASSERT_EQ(LoadSites(back, path), SiteFileState::Complete);
    EXPECT_EQ(SiteTlsMode(back.Records.at(0)), TlsMode::Require);
}

TEST(TrustStore, FileLayoutIsWrittenByHand) {
    QTemporaryDir dir;
    const QString path = dir.filePath("trusted.set");
    TrustStore store(path);
    ASSERT_TRUE(store.load());  // missing: empty
    store.trust("ftp.example.org", 21, digest('\x11'));
    store.trust("127.0.0.1", 2121, digest('\x22'));
    store.trust("FTP.example.org", 21, digest('\x33'));  // replaces: host case does not matter
    ASSERT_TRUE(store.save());

    const QByteArray expected = le32(2) + wide("ftp.example.org") + le32(21) + digest('\x33') +
                                wide("127.0.0.1") + le32(2121) + digest('\x22');
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    TrustStore again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.find("ftp.example.org", 21), digest('\x33'));
    EXPECT_EQ(again.find("ftp.example.org", 2121), std::nullopt);
}

TEST(TrustStore, DamagedFilesKeepWhatIsWhole) {
    const QByteArray one = wide("a") + le32(21) + digest('\x01');
    struct Row {
        QByteArray bytes;
        bool ok;
        size_t kept;
    };
    const Row rows[] = {
        {le32(1) + one, true, 1},
        {le32(2) + one + wide("b") + le32(21) + digest('\x02').left(10), false, 1},
        {le32(5) + one, false, 1},  // the count is not trusted
        {le32(-1), false, 0},
        {le32(1) + one + hex("00"), false, 1},  // trailing bytes
        {hex("0100"), false, 0},
    };
    for (const Row& row : rows) {
        std::vector<TrustedCertificate> out;
        EXPECT_EQ(TrustStore::parse(row.bytes, &out), row.ok) << row.bytes.toHex().constData();
        EXPECT_EQ(out.size(), row.kept) << row.bytes.toHex().constData();
    }

    // Saved over, a damaged file is first kept aside for rescue, once.
    QTemporaryDir dir;
    const QString path = dir.filePath("trusted.set");
    const QByteArray damaged = rows[1].bytes;
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    TrustStore store(path);
    EXPECT_FALSE(store.load());
    store.trust("ftp.example.org", 21, digest('\x11'));
    ASSERT_TRUE(store.save());
    ASSERT_TRUE(store.save());
    QFile kept(path + ".damaged");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damaged);
    EXPECT_FALSE(QFile::exists(path + ".damaged.2"));
}

TEST(StoredCertificateJudge, DecidesFromRunListStoreAndAnswer) {
    struct Row {
        const char* what;
        char digestByte;
        bool haveAsker;
        TrustChoice choice;
        bool trusted;
        bool asked;
        bool changed;
        bool storedAfter;  // the store then holds this certificate
    };
    // The store trusts host "h" port 21 with digest 'S'; the run list holds 'R'.
    const Row rows[] = {
        {"named for the run", 'R', false, TrustChoice::Cancel, true, false, false, false},
        {"stored", 'S', false, TrustChoice::Cancel, true, false, false, true},
        {"unknown, no asker", 'U', false, TrustChoice::Cancel, false, false, false, false},
        {"unknown, cancelled", 'U', true, TrustChoice::Cancel, false, true, true, false},
        {"unknown, once", 'U', true, TrustChoice::TrustOnce, true, true, true, false},
        {"unknown, always", 'U', true, TrustChoice::AlwaysTrust, true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QTemporaryDir dir;
        TrustStore store(dir.filePath("trusted.set"));
        store.trust("h", 21, digest('S'));
        ScriptedAsker asker;
        asker.choice = row.choice;
        StoredCertificateJudge judge(store, row.haveAsker ? &asker : nullptr, {digest('R')});
        bool answered = false, trusted = false;
        QString why;
        judge.judge(checkFor("h", 21, row.digestByte), [&](bool t, const QString& w) {
            answered = true;
            trusted = t;
            why = w;
        });
        ASSERT_TRUE(answered);
        EXPECT_EQ(trusted, row.trusted);
        EXPECT_EQ(asker.questions.size(), row.asked ? 1 : 0);
        if (row.asked) {
            EXPECT_EQ(asker.questions[0].changed(), row.changed);
        }
        EXPECT_EQ(store.find("h", 21) == digest(row.digestByte), row.storedAfter);
        // "Always trust" reaches the disk.
        TrustStore disk(dir.filePath("trusted.set"));
        disk.load();
        EXPECT_EQ(disk.find("h", 21) == digest('U'), row.choice == TrustChoice::AlwaysTrust);
        if (!row.trusted && !row.haveAsker) {
            // The command line is told the fingerprint and how to trust it; a
            // changed certificate is said loudly.
            EXPECT_TRUE(why.contains("--trust " + fingerprintText(digest(row.digestByte))))
                << why.toStdString();
            EXPECT_TRUE(why.contains("CHANGED")) << why.toStdString();
        }
    }
}

TEST(CertificateQuestion, DetailsShowWhatTheUserJudges) {
    CertificateQuestion q{checkFor("ftp.example.org", 990, '\xab'), {}};
    q.check.tls.certificate.issuer = QStringLiteral("CN=Some CA");
    q.check.tls.certificate.notBefore = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    q.check.tls.certificate.notAfter = QDateTime(QDate(2025, 1, 1), QTime(12, 30), Qt::UTC);
    const QDateTime now(QDate(2026, 6, 1), QTime(0, 0), Qt::UTC);
    const auto rows = q.details(now);
    QStringList text;
    for (const auto& [label, value] : rows)
        text << label + ": " + value;
    EXPECT_EQ(text, (QStringList{
                        "Subject: CN=localhost",
                        "Issuer: CN=Some CA",
                        "Valid: 2024-01-01 00:00 UTC to 2025-01-01 12:30 UTC (expired)",
                        "SHA-256: SHA256:" + QString("AB:").repeated(31) + "AB",
                        "Problems: The certificate is self-signed, and untrusted",
                    }));
    EXPECT_EQ(q.title(), "Unknown certificate");
    q.storedSha256 = digest('\x01');
    EXPECT_EQ(q.title(), "Certificate changed");
    EXPECT_TRUE(q.heading().contains("has CHANGED")) << q.heading().toStdString();
    EXPECT_TRUE(q.heading().contains("ftp.example.org:990"));
}

TEST(Fingerprint, TextFormsParse) {
    const QByteArray d = QByteArray::fromHex(QByteArray("ab").repeated(32));
    EXPECT_EQ(parseFingerprint(fingerprintText(d)), d);
    EXPECT_EQ(parseFingerprint(QString("ab").repeated(32)), d);
    EXPECT_EQ(parseFingerprint("sha256:" + QString("AB:").repeated(31) + "AB"), d);
    EXPECT_TRUE(parseFingerprint("SHA256:AB:CD").isEmpty());
    EXPECT_TRUE(parseFingerprint(QString("zz").repeated(32)).isEmpty());
}
