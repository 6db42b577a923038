#include "app/connection_security.h"

#include <gtest/gtest.h>

namespace {

TEST(ConnectionSecurity, SaysHowTheConversationTravels) {
    TlsStatus verified;
    verified.secure = true;
    verified.protocol = QStringLiteral("TLSv1.3");
    verified.cipher = QStringLiteral("TLS_AES_256_GCM_SHA384");
    TlsStatus accepted = verified;
    accepted.problems = {QStringLiteral("self-signed")};
    accepted.certificate.sha256 = QByteArray(32, '\xab');
    const struct {
        const char* name;
        bool loggedIn, secure;
        TlsStatus tls;
        const char* text;
        const char* inDetail;
    } cases[] = {
        {"logged out", false, true, verified, "", ""},
        {"plain", true, false, {}, "Not encrypted", "travel in clear"},
        {"verified", true, true, verified, "TLS",
         "TLSv1.3, TLS_AES_256_GCM_SHA384; the server's "
         "certificate was verified"},
        {"accepted", true, true, accepted, "TLS, certificate not verified",
         "did not verify (self-signed) and was accepted by you: SHA256:AB:AB:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ConnectionSecurity s = ConnectionSecurityOf(c.loggedIn, c.secure, c.tls);
        EXPECT_EQ(s.text, QString::fromUtf8(c.text));
        EXPECT_TRUE(s.detail.contains(QString::fromUtf8(c.inDetail))) << s.detail.toStdString();
        EXPECT_EQ(s.encrypted, c.loggedIn && c.secure);
    }
}

}  // namespace
