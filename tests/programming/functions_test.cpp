// Assignment values: device codes, usages, host flags, menu choices.
#include "programming/functions.h"

#include <gtest/gtest.h>

namespace kx700::programming {
namespace {

TEST(Functions, DeviceCodesOfEveryKindOfValue) {
    struct Row {
        std::int32_t value;
        std::uint8_t mode;
        std::uint8_t code;
    };
    for (Row r :
         {Row{0, 0, 0},     Row{1, 0, 1},     Row{6, 0, 6},     Row{7, 0, 2},   Row{12, 0, 7},    Row{14, 0, 9},
          Row{15, 0, 0x15}, Row{16, 0, 0x0B}, Row{17, 0, 0x0C}, Row{18, 0, 0},  Row{19, 0, 0x17}, Row{20, 0, 0x19},
          Row{21, 0, 0x1A}, Row{22, 0, 15},   Row{31, 0, 15},   Row{32, 0, 13}, Row{40, 2, 14},   Row{40, 6, 13},
          Row{255, 0, 13},  Row{256, 0, 13},  Row{515, 2, 14},  Row{-5, 0, 0}}) {
        EXPECT_EQ(DeviceCodeOf(r.value, r.mode), r.code) << r.value << " mode " << int{r.mode};
    }
}

TEST(Functions, UsagesAndHostFlags) {
    EXPECT_EQ(ConsumerUsageOf(0), 0x223);
    EXPECT_EQ(ConsumerUsageOf(10), 0xB7);
    EXPECT_EQ(ConsumerUsageOf(11), 0);
    EXPECT_EQ(ConsumerUsageOf(-1), 0);
    EXPECT_EQ(KeyUsageOf(0), 0x29) << "Escape";
    EXPECT_EQ(KeyUsageOf(14), 0x32) << "grave accent";
    EXPECT_EQ(KeyUsageOf(30), 0x14) << "Q";
    EXPECT_EQ(KeyUsageOf(78), 0x51) << "Down";
    EXPECT_EQ(KeyUsageOf(79), 0xFF);
    EXPECT_EQ(KeyUsageOf(40 - 70), 0xFF);
    EXPECT_TRUE(HostFlagsOf(18, 0).hold);
    EXPECT_TRUE(HostFlagsOf(20, 0x19).profileKey);
    EXPECT_TRUE(HostFlagsOf(16, 0x0B).dpiReport);
    EXPECT_TRUE(HostFlagsOf(11, 6).dpiReport) << "the flag follows the device code";
    EXPECT_FALSE(HostFlagsOf(22, 15).dpiReport);
}

TEST(Functions, MenuChoicesAndTheLeftButton) {
    EXPECT_EQ(MenuChoiceValue(3, 0), 3);
    EXPECT_EQ(MenuChoiceValue(7, 1), 12);
    EXPECT_EQ(MenuChoiceValue(7, 7), 18);
    EXPECT_EQ(MenuChoiceValue(8, 10), 31);
    EXPECT_EQ(MenuChoiceValue(10, 8), 39);
    EXPECT_EQ(MenuChoiceValue(11, 1), 19);
    EXPECT_EQ(MacroChoiceValue(0, 0), 256);
    EXPECT_EQ(MacroChoiceValue(2, 4), 3 * 256 + 4);

    MouseSettings s;
    s.buttonAssign[0] = {2, 1, 3, 4, 5, 6, 16};
    s.buttonAssign[0][1] = 5;  // button 1 gave up the left button
    EXPECT_EQ(KeepLeftButton(s, 0, 1), 2);
    EXPECT_EQ(s.buttonAssign[0][2], 1);
    s.buttonAssign[0] = {2, 3, 3, 4, 5, 6, 1};
    s.buttonAssign[0][6] = 22;
    EXPECT_EQ(KeepLeftButton(s, 0, 6), 6) << "the last button takes it back itself";
    EXPECT_EQ(s.buttonAssign[0][6], 1);
    s.buttonAssign[2] = {5, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(KeepLeftButton(s, 2, 0), -1) << "other profiles have no such rule";
    EXPECT_EQ(s.buttonAssign[2][1], 2);
}

}  // namespace
}  // namespace kx700::programming
