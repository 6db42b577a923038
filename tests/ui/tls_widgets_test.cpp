// The FTP over TLS choice of the site pages and the certificate question.
#include <gtest/gtest.h>

#include "support/desktop_recorders.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/site_tls.h"
#include "app/ui/certificate_dialog.h"
#include "app/ui/site_pages.h"

namespace {

CertificateQuestion question(bool changed) {
    CertificateQuestion q;
    q.check.host = QStringLiteral("127.0.0.1");
    q.check.port = 2121;
    q.check.tls.certificate.subject = QStringLiteral("CN=localhost");
    q.check.tls.certificate.issuer = QStringLiteral("CN=localhost");
    q.check.tls.certificate.sha256 = QByteArray(32, '\x7f');
    q.check.tls.problems = QStringList{QStringLiteral("The certificate is self-signed")};
    if (changed)
        q.storedSha256 = QByteArray(32, '\x01');
    return q;
}

CertificateDialog* openDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<CertificateDialog*>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

}  // namespace

TEST(SitePagesTls, TheChoiceSetsOnlyItsBits) {
    ScriptedPrompter prompter;
    RecordingHelp help;
    SitePages pages(prompter, help);
    struct Row {
        qint32 flagsBefore;
        int shown;   // radio checked after showRecord
        int picked;  // radio the user picks
        qint32 flagsAfter;
    };
    const Row rows[] = {
        {0x01, 0, 1, 0x05},  // an old site (plain) switched to "if available"
        {0x03, 0, 2, 0x0b},  // bypass proxy stays
        {0x05, 1, 0, 0x01}, {0x09, 2, 2, 0x09},
        {0x0d, 2, 1, 0x05},  // both bits shown as required, cleaned up when changed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.flagsBefore);
        SiteRecord r;
        r.Host = QStringLiteral("h");
        r.SiteFlags = row.flagsBefore;
        pages.showRecord(r);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(pages.tlsButton(i)->isChecked(), i == row.shown);
        EXPECT_TRUE(pages.tlsButton(row.picked)->isEnabled());
        pages.tlsButton(row.picked)->click();
        EXPECT_EQ(pages.collect(r).SiteFlags, row.flagsAfter);
    }
}

TEST(CertificateDialogTest, EachButtonAnswersOnce) {
    struct Row {
        QPushButton* (CertificateDialog::*button)() const;
        TrustChoice choice;
    };
    const Row rows[] = {
        {&CertificateDialog::trustOnceButton, TrustChoice::TrustOnce},
        {&CertificateDialog::alwaysTrustButton, TrustChoice::AlwaysTrust},
        {&CertificateDialog::cancelButton, TrustChoice::Cancel},
    };
    QWidget window;
    window.show();
    DialogCertificateAsker asker(&window);
    for (const Row& row : rows) {
        QList<TrustChoice> answers;
        asker.ask(question(false), [&](TrustChoice c) { answers << c; });
        // The question does not block: ask() has returned with the dialog open.
        CertificateDialog* d = openDialog();
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(answers.isEmpty());
        EXPECT_TRUE(d->cancelButton()->isDefault());
        (d->*row.button)()->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.isEmpty(); }, 5000));
        EXPECT_EQ(answers, QList<TrustChoice>{row.choice});
        EXPECT_EQ(openDialog(), nullptr);
    }
}

TEST(CertificateDialogTest, ClosingTheWindowCancelsAndAChangeIsSaidLoudly) {
    QList<TrustChoice> answers;
    DialogCertificateAsker asker(nullptr);
    asker.ask(question(true), [&](TrustChoice c) { answers << c; });
    CertificateDialog* d = openDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Certificate changed"));
    bool warned = false;
    for (QLabel* l : d->findChildren<QLabel*>())
        warned |= l->text().contains(QStringLiteral("has CHANGED"));
    EXPECT_TRUE(warned);
    d->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !answers.isEmpty(); }, 5000));
    EXPECT_EQ(answers, QList<TrustChoice>{TrustChoice::Cancel});
}
