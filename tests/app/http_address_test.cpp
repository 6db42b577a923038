#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "app/http_address.h"

namespace {

struct AddressCase {
    const char* name;
    const char* host;
    const char* httpBase;
    const char* abundant3;
    const char* path;
    const char* address;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.name;
}

class HttpAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(HttpAddressTest, Address) {
    const AddressCase& c = GetParam();
    SiteRecord site;  // abundant strings "/public_html" and "/www"
    site.Host = QString::fromUtf8(c.host);
    site.HttpBase = QString::fromUtf8(c.httpBase);
    site.AbundantString3 = QString::fromUtf8(c.abundant3);
    EXPECT_EQ(HttpAddress(site, QString::fromUtf8(c.path)), QString::fromUtf8(c.address));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HttpAddressTest,
    testing::Values(
        AddressCase{"HostOnly", "H", "", "", "/public_html/docs/a.htm", "http://H/docs/a.htm"},
        AddressCase{"BaseWins", "H", "W", "", "/public_html/docs/a.htm", "http://W/docs/a.htm"},
        AddressCase{"PrefixAloneIsNotCut", "host", "", "", "/public_html",
                    "http://host/public_html"},
        AddressCase{"PrefixNeedsSlashAfter", "host", "", "", "/wwwroot/a.htm",
                    "http://host/wwwroot/a.htm"},
        AddressCase{"SecondPrefix", "host", "", "", "/www/a.htm", "http://host/a.htm"},
        AddressCase{"OnlyOnePrefixIsCut", "host", "", "", "/public_html/www/a",
                    "http://host/www/a"},
        AddressCase{"ThirdPrefix", "host", "", "/home/u", "/home/u/x.php", "http://host/x.php"},
        AddressCase{"PrefixIsCaseSensitive", "host", "", "", "/WWW/a", "http://host/WWW/a"},
        AddressCase{"BaseWithScheme", "h", "HTTP://sub.example.org", "", "/www/a",
                    "HTTP://sub.example.org/a"},
        AddressCase{"SecureBaseKeepsScheme", "h", "HttpS://secure.example.org/", "", "/www/a",
                    "HttpS://secure.example.org/a"},
        AddressCase{"SlashPutBetween", "host", "", "", "a.htm", "http://host/a.htm"},
        AddressCase{"BaseEndsWithSlash", "h", "w.org/sub/", "", "a.htm", "http://w.org/sub/a.htm"},
        AddressCase{"BothSlashesMakeOne", "h", "w.org/", "", "/x/a.htm", "http://w.org/x/a.htm"},
        AddressCase{"Backslashes", "h", "w.org\\sub", "", "\\x\\a.htm", "http://w.org/sub/x/a.htm"},
        AddressCase{"EmptyPath", "host", "", "", "", "http://host"},
        AddressCase{"NamesAreEncoded", "host", "", "", "/www/r\xc3\xa9sum\xc3\xa9 #1?.htm",
                    "http://host/r%C3%A9sum%C3%A9%20%231%3F.htm"}),
    [](const testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

}  // namespace
