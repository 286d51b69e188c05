// The factory settings we ship: complete, in range, and identical in both files.
#include <gtest/gtest.h>

#include <algorithm>

#include "../support/temp_dir.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "settings/settings_file.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

const fs::path kConfigDir = fs::path(KX700_SOURCE_DIR) / "data" / "config";

TEST(ShippedConfig, FactoryCopyAndFirstConfigAreIdentical) {
    EXPECT_EQ(testing::ReadBytes(kConfigDir / "config.ini"), testing::ReadBytes(kConfigDir / "configReset.ini"));
}

TEST(ShippedConfig, EveryKeyIsPresentAndInRange) {
    const fs::path f = kConfigDir / "configReset.ini";
    const profile::Snapshot ini(f);
    ASSERT_TRUE(ini.exists());
    auto has = [&](std::string_view section, const std::string& key) {
        return ini.readString(section, key, "<missing>", 64) != "<missing>";
    };
    for (int p = 0; p < kProfileSlots; ++p) {
        const std::string section = "Config" + std::to_string(p);
        for (int i = 0; i < kMemorySlots; ++i) {
            if (i < kButtons) {
                EXPECT_TRUE(has(section, "K" + std::to_string(i))) << section << i;
            }
            EXPECT_TRUE(has(section, "LED_REACT_EN" + std::to_string(i)));
            EXPECT_TRUE(has(section, "LED_REACT_TYPE" + std::to_string(i)));
        }
        EXPECT_TRUE(has(section, "WHEEL_STATUS"));
    }
    for (const char* key : {"CurConfig", "ConfigNum", "VER_SEL", "ConfigName1", "ConfigName2", "ConfigName3",
                            "ConfigName1_EN", "ConfigName2_EN", "ConfigName3_EN"}) {
        EXPECT_TRUE(has("Init", key)) << key;
    }
    for (const char* key :
         {"ConfigName1", "ConfigName2", "ConfigName3", "ConfigName1_EN", "ConfigName2_EN", "ConfigName3_EN"}) {
        const std::string name = ini.readString("Init", key, "", 15);
        EXPECT_GE(text::Utf16Length(name), 1u) << key;
        EXPECT_LE(text::Utf16Length(name), 10u) << key;
    }
    EXPECT_TRUE(ReadEnglishInterface(f));
    EXPECT_EQ(ReadCurrentProfile(f), 0);

    // Every shared key SaveProfile writes must be present already.
    testing::TempDir dir;
    MouseSettings s;
    RecordingMessageSink messages;
    for (int p = 0; p < kProfileSlots; ++p) ASSERT_TRUE(LoadProfile(s, kConfigDir, p, true, messages));
    fs::copy_file(f, dir / "config.ini");
    const int all[] = {0, 1, 2, 3};
    ASSERT_TRUE(SaveProfiles(s, dir / "config.ini", all).ok());
    EXPECT_EQ(testing::ReadBytes(dir / "config.ini"), testing::ReadBytes(f)) << "a key is missing or not canonical";

    for (const auto& row : s.buttonAssign) {
        for (std::int32_t v : row) {
            EXPECT_GE(v, 1);
            EXPECT_LE(v, 31);
            EXPECT_FALSE(v >= 7 && v <= 11) << "values 7-11 are menu rows, not functions";
        }
    }
    EXPECT_NE(std::find(s.buttonAssign[0].begin(), s.buttonAssign[0].end(), 1), s.buttonAssign[0].end());
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(CpiOfStep(s.dpiStep[i]), 0);
        for (std::int32_t ch : {s.dpiColour[i].r, s.dpiColour[i].g, s.dpiColour[i].b, s.userColour[i].r,
                                s.userColour[i].g, s.userColour[i].b}) {
            EXPECT_GE(ch, 0);
            EXPECT_LE(ch, 15);
        }
    }
    EXPECT_EQ(s.dpiLevelEnabled[static_cast<std::size_t>(s.dpiLevel)], 1);
    EXPECT_LE(s.reportRate, 3);
    EXPECT_GE(s.pointerSpeed, 1);
    EXPECT_LE(s.pointerSpeed, 10);
    EXPECT_GE(s.wheelSpeed, 1);
    EXPECT_LE(s.wheelSpeed, 10);
    EXPECT_LE(s.ledCycleTime, 5);
    EXPECT_LE(s.ledBrightness, 6);
    EXPECT_GE(s.fireInterval, 0);
    EXPECT_LE(s.fireInterval, 300);
    EXPECT_EQ(s.cycleColourMask, ComposeCycleColourMask(s));
}

}  // namespace
}  // namespace kx700
