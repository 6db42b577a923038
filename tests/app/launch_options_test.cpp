#include "app/launch_options.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    QStringList args;
    const char* error;  // empty: accepted
    const char* settingDir;
    const char* site;
    const char* host;  // of the URL, empty when none
    int port;
    bool anonymous;
};

TEST(LaunchOptions, Table) {
    const Case cases[] = {
        {{}, "", "", "", "", 0, true},
        {{"--site", "Home"}, "", "", "Home", "", 0, true},
        {{"--site=Home page", "--setting-dir", "/tmp/s"}, "", "/tmp/s", "Home page", "", 0, true},
        {{"ftp://h.example:2121/www"}, "", "", "", "h.example", 2121, true},
        {{"ftp://bob:pw@h.example"}, "", "", "", "h.example", 21, false},
        {{"-style", "fusion", "--site", "A"}, "", "", "A", "", 0, true},
        {{"--site"}, "--site needs a value", "", "", "", 0, true},
        {{"--setting-dir="}, "--setting-dir needs a value", "", "", "", 0, true},
        {{"--bogus"}, "unknown option: --bogus", "", "", "", 0, true},
        {{"http://h.example"}, "not an ftp:// URL: http://h.example", "", "", "", 0, true},
        {{"ftp://a", "ftp://b"}, "more than one address: ftp://b", "", "", "", 0, true},
        {{"--site", "A", "ftp://h"},
         "give either --site or an address, not both",
         "",
         "",
         "",
         0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const LaunchOptions o = ParseLaunchOptions(c.args);
        EXPECT_EQ(o.error, QString::fromUtf8(c.error));
        if (!o.error.isEmpty())
            continue;
        EXPECT_EQ(o.settingDir, QString::fromUtf8(c.settingDir));
        EXPECT_EQ(o.site, QString::fromUtf8(c.site));
        EXPECT_EQ(o.url.has_value(), *c.host != 0);
        if (o.url) {
            EXPECT_EQ(o.url->host, QString::fromUtf8(c.host));
            EXPECT_EQ(o.url->port, c.port);
            EXPECT_EQ(o.url->anonymous, c.anonymous);
        }
    }
}

TEST(LaunchOptions, HelpAndVersion) {
    EXPECT_TRUE(ParseLaunchOptions({"--help"}).help);
    EXPECT_TRUE(ParseLaunchOptions({"--version"}).version);
    EXPECT_TRUE(LaunchUsage().startsWith("Usage: velmora"));
}

}  // namespace
