#include "settings/web_links.h"

#include <gtest/gtest.h>

#include "../support/temp_dir.h"

namespace kx700 {
namespace {

TEST(WebLinks, OnlyWebAddressesReachTheBrowser) {
    const std::pair<const char*, bool> cases[] = {
        {"https://example.org/", true},
        {"http://example.org/path?q=1#top", true},
        {"https://", false},
        {"https:///etc/passwd", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"steam://run/1", false},
        {"https://example.org/a b", false},
        {"https://example.org/\x1b[2J", false},
        {" https://example.org/", false},
        {"", false},
    };
    for (const auto& [address, web] : cases) EXPECT_EQ(IsWebAddress(address), web) << address;
}

TEST(WebLinks, TheFileSetsEachLinkOrLeavesItUnset) {
    testing::TempDir dir;
    EXPECT_EQ(ReadWebLinks(dir / "links.ini"), WebLinks{}) << "no file: nothing set";
    testing::WriteBytes(dir / "links.ini",
                        "[Links]\r\nSite=https://site.test/\r\nSocial1=ftp://old.test/\r\n; Social2 left out\r\n");
    EXPECT_EQ(ReadWebLinks(dir / "links.ini"), (WebLinks{"https://site.test/", "", ""}));
}

TEST(WebLinks, NoAddressShips) {
    EXPECT_EQ(ReadWebLinks(std::filesystem::path(KX700_SOURCE_DIR) / "data" / "links.ini"), WebLinks{});
}

}  // namespace
}  // namespace kx700
