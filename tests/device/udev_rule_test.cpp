// The shipped udev rule: both identifier pairs, seat access, never a mode
// that would open the mouse to every user.
#include <gtest/gtest.h>

#include <string>

#include "../support/temp_dir.h"
#include "file_text.h"

using kx700::device::testing::ReadText;

TEST(UdevRule, GrantsSeatAccessToBothIdentifierPairsOnly) {
    const std::string rule = ReadText(KX700_SOURCE_DIR "/data/udev/70-kx700.rules");
    ASSERT_FALSE(rule.empty());
    for (const char* line : {R"(ATTRS{idVendor}=="18f8", ATTRS{idProduct}=="13c0", TAG+="uaccess")",
                             R"(ATTRS{idVendor}=="30fa", ATTRS{idProduct}=="1330", TAG+="uaccess")",
                             R"(SUBSYSTEM!="hidraw", GOTO="kx700_end")"}) {
        EXPECT_NE(rule.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(rule.find("MODE"), std::string::npos);
    EXPECT_EQ(rule.find("GROUP"), std::string::npos);
}
