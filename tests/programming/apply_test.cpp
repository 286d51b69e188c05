// The apply, checked byte by byte in the simulated mouse's memory.
#include <gtest/gtest.h>

#include <functional>

#include "fixture.h"
#include "macro/files.h"
#include "programming/functions.h"

namespace kx700 {
namespace {

using testing::SessionFixture;

struct MemoryCase {
    const char* what;
    std::function<void(Session&)> set;
    std::vector<std::pair<std::size_t, std::uint8_t>> expect;
};
void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.what; }

class ApplyMemory : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(ApplyMemory, WritesTheMemoryMap) {
    SessionFixture f;
    GetParam().set(f.s());
    const programming::ApplyResult r = programming::ApplySettings(f.s());
    ASSERT_TRUE(r.completed()) << r.failure;
    for (const auto& [address, value] : GetParam().expect) {
        EXPECT_EQ(f.at(address), value) << GetParam().what << " at 0x" << std::hex << address;
    }
    EXPECT_EQ(f.mouse->violations().total(), 0u);
    EXPECT_EQ(f.mouse->firmware().finishes, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Map, ApplyMemory,
    ::testing::Values(
        MemoryCase{"profile 0", [](Session& s) { s.currentProfile = 0; }, {{0x01, 0x02}, {0x00, 0}, {0x02, 0}}},
        MemoryCase{"profile 3", [](Session& s) { s.currentProfile = 3; }, {{0x01, 0x62}}},
        MemoryCase{"fire 50 ms", [](Session& s) { s.settings.fireInterval = 50; }, {{0x1A, 6}, {0x1B, 0}}},
        MemoryCase{"fire 300 ms", [](Session& s) { s.settings.fireInterval = 300; }, {{0x1A, 37}, {0x1B, 0}}},
        MemoryCase{"CPI codes",
                   [](Session& s) {
                       s.settings.dpiStep = {11, 0, 6, 7};
                   },
                   {{0x15, 0xF1}, {0x16, 0x79}, {0x17, 0}}},
        MemoryCase{
            "fixed bytes",
            [](Session& s) {
                s.settings.dpiLevel = 2;
                s.settings.dpiLevelEnabled = {1, 0, 1, 1};
                s.settings.ledBrightness = 5;
                s.settings.ledSymmetry = 1;
                s.settings.ledDirection = 2;
                s.deviceNibble = 5;
            },
            {{0x13, 0x3F}, {0x18, 0x1A}, {0x19, 0x0D}, {0x32, 7}, {0x33, 3}, {0x3A, 0x65}, {0x3F, 0x50}, {0x43, 0xFD}}},
        MemoryCase{"button bytes with reactions",
                   [](Session& s) {
                       s.settings.buttonAssign[0] = {1, 2, 3, 12, 15, 16, 19};
                       s.settings.reactEnable[0][7] = 1;
                       s.settings.reactType[0][7] = 1;
                       s.settings.reactType[0][1] = 4;
                   },
                   // positions 0-8: codes 1, 2, 3, 7, 0x15, 0x0B, (6: none), 0x17 + 32 + 64, (8: none)
                   {{0x08, 1},
                    {0x09, 2},
                    {0x0A, 3},
                    {0x0B, 7},
                    {0x0C, 0x15},
                    {0x0D, 0x0B},
                    {0x0E, 0},
                    {0x0F, 0x17 + 96},
                    {0x10, 0}}},
        MemoryCase{"report rate and colours",
                   [](Session& s) {
                       SetReportRate(s.settings, 1);
                       s.settings.cycleColourEnable = {1, 0, 1, 1};
                       s.settings.userColourEnable = 1;
                       s.settings.dpiColour[1] = Rgb4{15, 7, 3};
                   },
                   {{0x1E, 3}, {0x1D, 1 + 16 + 64 + 128}, {0x23, 15}, {0x24, 7}, {0x25, 3}}}));

TEST(Apply, LightingModeRegisterPersistsAcrossApplies) {
    SessionFixture f;
    f.s().settings.ledMode = 8;
    f.s().settings.ledCycleTime = 3;
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    EXPECT_EQ(f.at(0x1C), 0x1B);
    f.s().settings.ledMode = 9;
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    EXPECT_EQ(f.at(0x1C), 0x17) << "mute keeps the register of the previous apply";
}

TEST(Apply, SlotOneIsClearedAndMissingMacrosBecomeNothing) {
    SessionFixture f;
    f.s().settings.buttonAssign[1] = {1, 2, 3, 4, 5, 6, 7};
    const int groups = f.s().macros.groups.groupCount;
    ASSERT_GT(groups, 1);
    const int count = f.s().macros.groups.groupMacroCount[1];
    f.assign(2, 3, programming::MacroChoiceValue(1, count));      // one past the group's last macro
    f.assign(2, 4, programming::MacroChoiceValue(groups, 0));     // a group that does not exist
    f.assign(2, 5, programming::MacroChoiceValue(1, count - 1));  // the last macro: stays
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    EXPECT_EQ(f.s().settings.buttonAssign[1], (std::array<std::int32_t, 7>{}));
    EXPECT_EQ(f.s().settings.buttonAssign[2][3], 0);
    EXPECT_EQ(f.s().settings.buttonAssign[2][4], 0);
    EXPECT_EQ(f.s().settings.buttonAssign[2][5], programming::MacroChoiceValue(1, count - 1));
    EXPECT_EQ(profile::ReadString(f.config(), "Config1", "K0", "", 8), "0");
    EXPECT_EQ(profile::ReadString(f.config(), "Init", "CurConfig", "", 8), "0");
}

// The builder's result is what the apply then holds: the record's changes,
// the tables and the bytes in the mouse; building twice gives the same.
TEST(Apply, TheBuiltImageIsWhatTheApplyInstalls) {
    SessionFixture f;
    f.assign(1, 3, 5);
    f.assign(0, 2, programming::MacroChoiceValue(11, 0));  // no such group
    f.assign(0, 3, programming::MacroChoiceValue(0, 0));
    f.s().settings.ledMode = 8;
    const MouseSettings before = f.s().settings;
    const programming::ImageInputs in{.settings = f.s().settings,
                                      .currentProfile = f.s().currentProfile,
                                      .macros = f.s().macros,
                                      .previous = f.s().apply,
                                      .deviceNibble = f.s().deviceNibble,
                                      .memoryBankBit = 0,
                                      .sink = f.messages};
    const programming::BuiltImage built = programming::BuildDeviceImage(in);
    const programming::BuiltImage again = programming::BuildDeviceImage(in);
    EXPECT_EQ(f.s().settings, before);
    EXPECT_EQ(f.s().apply.ledModeRegister, 0);
    EXPECT_EQ(built.record.buttonAssign[1], (std::array<std::int32_t, kButtons>{}));
    EXPECT_EQ(built.record.buttonAssign[0][2], 0);
    EXPECT_EQ(built.record.buttonAssign[0][3], programming::MacroChoiceValue(0, 0));
    EXPECT_EQ(built.tables.ledModeRegister, 1);
    EXPECT_EQ(built.tables.deviceCode[0][3], programming::kCodeMacro);
    for (auto part :
         {&programming::DeviceImage::fixed, &programming::DeviceImage::descriptors, &programming::DeviceImage::data}) {
        ASSERT_EQ((built.image.*part).size(), (again.image.*part).size());
        for (std::size_t i = 0; i < (built.image.*part).size(); ++i) {
            EXPECT_EQ((built.image.*part)[i].address, (again.image.*part)[i].address);
            EXPECT_EQ((built.image.*part)[i].bytes, (again.image.*part)[i].bytes);
        }
    }

    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    EXPECT_EQ(f.s().settings.buttonAssign, built.record.buttonAssign);
    EXPECT_EQ(f.s().settings.cycleColourMask, built.record.cycleColourMask);
    EXPECT_EQ(f.s().apply.deviceCode, built.tables.deviceCode);
    EXPECT_EQ(f.s().apply.blockAddress, built.tables.blockAddress);
    EXPECT_EQ(f.s().apply.ledModeRegister, 1);
    const auto m = f.mouse->memory();
    for (const auto* part : {&built.image.fixed, &built.image.descriptors, &built.image.data}) {
        for (const programming::MemoryWrite& w : *part) {
            EXPECT_TRUE(std::equal(w.bytes.begin(), w.bytes.end(), m.begin() + w.address)) << std::hex << w.address;
        }
    }
}

std::uint16_t DescriptorAddress(const std::vector<std::uint8_t>& m, int p, int n) {
    const std::size_t d = 0x80 + 8 * static_cast<std::size_t>(14 * p + n);
    return static_cast<std::uint16_t>(m[d + 5] | ((m[d + 6] & 0x3F) << 8));
}

TEST(Apply, EqualAssignmentsShareOneBlock) {
    SessionFixture f;
    const std::int32_t macro = programming::MacroChoiceValue(0, 0);
    f.s().settings.buttonAssign[0] = {macro, macro, macro, macro, macro, macro, macro};
    f.s().settings.buttonAssign[0][0] = 1;  // keep a left button anyway; six share the macro
    f.assign(2, 2, macro);                  // another profile shares it too
    const programming::ApplyResult r = programming::ApplySettings(f.s());
    ASSERT_TRUE(r.completed());
    EXPECT_EQ(r.blocks, 1u);
    const auto m = f.mouse->memory();
    for (int n : {1, 2, 3, 4, 5, 7}) EXPECT_EQ(DescriptorAddress(m, 0, n), 0x240) << n;
    EXPECT_EQ(DescriptorAddress(m, 2, 2), 0x240);
    const macro::MacroRecord record = macro::ReadMacro(f.s().macros.folders.macroFolder, 0, 0);
    EXPECT_EQ(m[0x80 + 8 * 1 + 1], record.eventCount & 0x7F);
    EXPECT_EQ(m[0x240], record.repeatCount & 0xFF) << "the block starts with the repeat value";
}

TEST(Apply, ConstantMacrosAndMediaKeysGetDescriptors) {
    SessionFixture f;
    f.s().settings.buttonAssign[0] = {1, 40, 22, 53, 5, 6, 16};
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    const auto m = f.mouse->memory();
    const std::size_t constant = 0x80 + 8 * 1;  // value 40: constant macro 8
    EXPECT_EQ(m[constant + 2], 0xFF) << "no key index for 40";
    EXPECT_EQ(f.at(0x09), 13);
    const std::size_t media = 0x80 + 8 * 2;  // value 22: home page
    EXPECT_EQ(f.at(0x0A), 15);
    EXPECT_EQ(m[media + 3], 0x23);
    EXPECT_EQ(m[media + 4], 0x02);
    EXPECT_EQ(m[media + 0], 0) << "poll interval - 1 at 1000 Hz";
    // 53 is constant index 21: it plays constant macro 0, with its own block.
    EXPECT_NE(DescriptorAddress(m, 0, 3), DescriptorAddress(m, 0, 1));
}

TEST(Apply, FullMacroAreaEndsBeforeFinishingAndKeepsConfig) {
    SessionFixture f;
    // Twenty long macros in a new group fill more than the area.
    macro::MacroTable table;
    for (int i = 0; i < 20; ++i) {
        macro::MacroRecord& r = table.slots[static_cast<std::size_t>(i)];
        for (int e = 0; e < 120; ++e) macro::InsertEvent(r, e, 0x04, 1, f.messages);
        r.repeatCount = static_cast<std::uint16_t>(i + 1);
    }
    table.macroCount = 20;
    f.replaceFirstGroup(table);
    for (int b = 1; b < 7; ++b) f.assign(0, b, programming::MacroChoiceValue(0, b));
    for (int b = 0; b < 7; ++b) f.assign(2, b, programming::MacroChoiceValue(0, 7 + b));
    const std::string before = testing::ReadBytes(f.config());
    const programming::ApplyResult r = programming::ApplySettings(f.s());
    EXPECT_EQ(r.end, programming::ApplyEnd::MacroAreaFull);
    EXPECT_EQ(f.messages.messages().back(), "宏存储过多，请减少宏定义按键个数！");
    EXPECT_EQ(f.mouse->firmware().finishes, 0u);
    EXPECT_EQ(testing::ReadBytes(f.config()), before);
    for (const auto& e : f.mouse->log()) {
        if (e.bytes.size() > 5 && e.bytes[1] == 0x18 && e.bytes[2] == 0x03) {
            EXPECT_LT(e.bytes[4] | (e.bytes[5] << 8), 0x7F8) << "nothing written at or past the limit";
        }
    }
}

TEST(Apply, SystemPointerAndWheelFollowTheRecord) {
    struct Row {
        int pointer, expected;
    };
    for (Row r : {Row{0, 1}, Row{1, 2}, Row{5, 10}, Row{8, 16}, Row{9, 18}, Row{10, 18}}) {
        SessionFixture f;
        f.s().settings.pointerSpeed = static_cast<std::uint8_t>(r.pointer);
        f.s().settings.wheelSpeed = 4;
        ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
        EXPECT_EQ(f.system.pointer, r.expected) << r.pointer;
        EXPECT_EQ(f.system.lines, 5);
    }
    SessionFixture f;
    f.system.pointer.reset();  // cannot be read: left alone
    ASSERT_TRUE(programming::ApplySettings(f.s()).completed());
    EXPECT_FALSE(f.system.pointer.has_value());
}

}  // namespace
}  // namespace kx700
