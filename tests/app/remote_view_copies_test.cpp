#include "app/remote_view_copies.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteViewCopies, TheCopyStaysInsideItsHostsFolder) {
    struct Case {
        const char* host;
        int port;
        QByteArray remote;
        const char* local;
    };
    const Case cases[] = {
        {"ftp.example.org", 21, "/www/a.html", "/c/ftp.example.org_21/www/a.html"},
        {"127.0.0.1", 2121, "/a.txt", "/c/127.0.0.1_2121/a.txt"},
        {"../../etc", 21, "/a", "/c/_.._etc_21/a"},
        {"h/o:st", 21, "/a", "/c/h_o_st_21/a"},
        {"h", 21, "/x/../../y/./a", "/c/h_21/x/y/a"},
        {"h", 21, "/caf\xc3\xa9/\xe9.txt", "/c/h_21/caf\xc3\xa9/\xef\xbf\xbd.txt"},
        {"h", 21, "/x/..", ""},
        {"h", 21, "/", ""},
        {"h", 21, "relative", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ViewCopyPath("/c", QString::fromLatin1(c.host), c.port, c.remote),
                  QString::fromUtf8(c.local))
            << c.remote.constData();
    EXPECT_EQ(ViewCopyPath("", "h", 21, "/a"), "");
}

}  // namespace
