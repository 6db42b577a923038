#include "app/connection_security.h"

#include <gtest/gtest.h>

namespace {

// A certificate that verified (the journey walks the plain and accepted cases).
TEST(ConnectionSecurity, AVerifiedCertificateIsSaidAsSuch) {
    TlsStatus tls;
    tls.secure = true;
    tls.protocol = QStringLiteral("TLSv1.3");
    tls.cipher = QStringLiteral("TLS_AES_256_GCM_SHA384");
    const ConnectionSecurity s = ConnectionSecurityOf(true, true, tls);
    EXPECT_EQ(s.text, "TLS");
    EXPECT_EQ(s.detail,
              "Encrypted with TLSv1.3, TLS_AES_256_GCM_SHA384; the server's certificate "
              "was verified.");
    EXPECT_TRUE(s.encrypted);
}

}  // namespace
