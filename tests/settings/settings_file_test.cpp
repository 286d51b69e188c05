// The settings record and config.ini: reading, writing and the derived values.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../support/temp_dir.h"
#include "platform/profile.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(MouseSettingsRecord, FreshRecordAndReportRateRule) {
    const MouseSettings fresh;
    MouseSettings zero;
    zero.fireInterval = 0;
    MouseSettings copy = fresh;
    copy.fireInterval = 0;
    EXPECT_EQ(fresh.fireInterval, 50);
    EXPECT_EQ(copy, zero);

    struct Row {
        std::uint8_t rate;
        std::int32_t interval;
        std::uint8_t code;
    };
    for (Row r : {Row{3, 1, 0}, Row{2, 2, 1}, Row{1, 4, 3}, Row{0, 8, 7}, Row{5, 8, 7}}) {
        MouseSettings s;
        SetReportRate(s, r.rate);
        EXPECT_EQ(s.pollIntervalMs, r.interval) << int{r.rate};
        EXPECT_EQ(s.reportIntervalCode, r.code) << int{r.rate};
    }
    EXPECT_EQ(ButtonOfHardwareCode(8), 6);
    EXPECT_EQ(ButtonOfHardwareCode(7), -1);
    EXPECT_EQ(MemorySlotOfButton(6), 7);
}

// A small but complete profile file; each case changes one line of it.
const std::string kBase =
    "[Init]\r\nCurConfig=0\r\n"
    "[Config2]\r\nK0=1\r\nK6=512\r\nLED_REACT_EN7=1\r\nLED_REACT_TYPE7=3\r\nWHEEL_STATUS=1\r\n"
    "[ShareData]\r\nDPI_LEVEL=2\r\nDPI_SET0=3\r\nDPI_SET_EN0=1\r\nUSB_SPEED=3\r\nFIRE_TIME=50\r\n"
    "CYC_7COL_EN=15\r\nLED_USER0_R=0\r\nLED_USER0_G=15\r\nLED_USER0_B=1\r\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct LoadCase {
    const char* what;
    std::string from, to;
    std::function<void(const MouseSettings&)> check;
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.what; }

class LoadProfileCase : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadProfileCase, ReadsTheFileAsWritten) {
    const LoadCase& c = GetParam();
    TempDir dir;
    WriteBytes(dir / "config.ini", Replace(kBase, c.from, c.to));
    RecordingMessageSink messages;
    MouseSettings s;
    ASSERT_TRUE(LoadProfile(s, dir.path(), 2, false, messages));
    EXPECT_TRUE(messages.messages().empty());
    c.check(s);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, LoadProfileCase,
    ::testing::Values(LoadCase{"base file", "", "",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.buttonAssign[2][0], 1);
                                   EXPECT_EQ(s.buttonAssign[2][6], 512);
                                   EXPECT_EQ(s.reactEnable[2][7], 1);
                                   EXPECT_EQ(s.reactType[2][7], 3);
                                   EXPECT_EQ(s.wheelStatus, 1);
                                   EXPECT_EQ(s.dpiLevel, 2);
                                   EXPECT_EQ(s.dpiStep[0], 3);
                                   EXPECT_EQ(s.pollIntervalMs, 1);
                                   EXPECT_EQ(s.reportIntervalCode, 0);
                               }},
                      LoadCase{"no ShareData: shared values are zero", "[ShareData]", "[Other]",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.buttonAssign[2][6], 512);
                                   EXPECT_EQ(s.dpiLevel, 0);
                                   EXPECT_EQ(s.fireInterval, 0);
                                   EXPECT_EQ(s.pollIntervalMs, 8);
                                   EXPECT_EQ(s.reportIntervalCode, 7);
                               }},
                      LoadCase{"DPI_SET_EN normalised", "DPI_SET_EN0=1", "DPI_SET_EN0=5",
                               [](const MouseSettings& s) { EXPECT_EQ(s.dpiLevelEnabled[0], 1); }},
                      LoadCase{"USB_SPEED out of range", "USB_SPEED=3", "USB_SPEED=9",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.reportIntervalCode, 7);
                                   EXPECT_EQ(s.pollIntervalMs, 8);
                               }},
                      LoadCase{"CYC_7COL_EN splits bits 0..3", "CYC_7COL_EN=15", "CYC_7COL_EN=21",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.cycleColourEnable, (std::array<std::int32_t, 4>{1, 0, 1, 0}));
                                   EXPECT_EQ(s.cycleColourMask, 21);
                               }},
                      LoadCase{"FIRE_TIME cut by its 5-character buffer", "FIRE_TIME=50", "FIRE_TIME=12345",
                               [](const MouseSettings& s) { EXPECT_EQ(s.fireInterval, 1234); }},
                      LoadCase{"u8 fields keep the low byte", "DPI_SET0=3", "DPI_SET0=300",
                               [](const MouseSettings& s) { EXPECT_EQ(s.dpiStep[0], 44); }},
                      LoadCase{"negative u8 wraps", "USB_SPEED=3", "USB_SPEED=-1",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.reportRate, 255);
                                   EXPECT_EQ(s.pollIntervalMs, 8);
                               }},
                      LoadCase{"junk numbers read as zero", "K0=1", "K0=left",
                               [](const MouseSettings& s) { EXPECT_EQ(s.buttonAssign[2][0], 0); }},
                      LoadCase{"huge numbers cut by the buffer", "K0=1", "K0=99999999999999999",
                               [](const MouseSettings& s) { EXPECT_EQ(s.buttonAssign[2][0], 999999999); }},
                      LoadCase{"user colour screen value", "", "",
                               [](const MouseSettings& s) {
                                   EXPECT_EQ(s.userColourRef[0], 255u | (15u << 8) | (239u << 16));
                               }}),
    [](const ::testing::TestParamInfo<LoadCase>& p) { return "case" + std::to_string(p.index); });

TEST(LoadProfile, ReplacesOnlyItsSlotButAllSharedValues) {
    TempDir dir;
    WriteBytes(dir / "config.ini", kBase + "[Config3]\r\nWHEEL_STATUS=0\r\nK0=7\r\n");
    RecordingMessageSink messages;
    MouseSettings s;
    for (int p = 0; p < kProfileSlots; ++p) s.buttonAssign[static_cast<std::size_t>(p)].fill(40 + p);
    ASSERT_TRUE(LoadProfile(s, dir.path(), 2, false, messages));
    EXPECT_EQ(s.buttonAssign[0][0], 40);
    EXPECT_EQ(s.buttonAssign[1][0], 41);
    EXPECT_EQ(s.buttonAssign[3][0], 43);
    EXPECT_EQ(s.buttonAssign[2][1], 0);  // missing key
    EXPECT_EQ(s.wheelStatus, 1);
    ASSERT_TRUE(LoadProfile(s, dir.path(), 3, false, messages));
    EXPECT_EQ(s.wheelStatus, 0) << "wheelStatus follows the slot read last";
    EXPECT_EQ(s.buttonAssign[3][0], 7);
}

TEST(LoadProfile, MissingFileShowsItsMessageAndChangesNothing) {
    TempDir dir;
    RecordingMessageSink messages;
    MouseSettings s;
    s.buttonAssign[0][0] = 9;
    const MouseSettings before = s;
    EXPECT_FALSE(LoadProfile(s, dir.path(), 0, false, messages));
    EXPECT_FALSE(LoadProfile(s, dir.path(), 0, true, messages));
    EXPECT_EQ(s, before);
    EXPECT_EQ(messages.messages(),
              (std::vector<std::string>{"Error：Config.ini文件不存在!", "Error：ConfigReset.ini文件不存在!"}));
}

MouseSettings Sample() {
    MouseSettings s;
    for (int p = 0; p < kProfileSlots; ++p) {
        for (int b = 0; b < kButtons; ++b)
            s.buttonAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)] = p * 300 + b;
        for (int k = 0; k < kMemorySlots; ++k) {
            s.reactEnable[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)] = (p + k) % 2;
            s.reactType[static_cast<std::size_t>(p)][static_cast<std::size_t>(k)] = (p + k) % 5;
        }
    }
    s.pointerSpeed = 7;
    s.wheelSpeed = 3;
    SetReportRate(s, 2);
    SetCycleColourMask(s, 0x5A);
    s.ledMode = 8;
    s.ledCycleTime = 4;
    s.ledModeEnabled = {1, 0, 1, 1, 0, 0, 1, 0, 1, 1};
    s.userColourEnable = 1;
    s.ledSymmetry = 1;
    s.ledDirection = 3;
    s.ledBrightness = 6;
    s.dpiLevel = 3;
    s.wheelStatus = 1;
    s.dpiLevelEnabled = {1, 0, 1, 1};
    s.dpiColour = {Rgb4{1, 2, 3}, Rgb4{4, 5, 6}, Rgb4{7, 8, 9}, Rgb4{10, 11, 12}};
    s.userColour = {Rgb4{15, 0, 0}, Rgb4{0, 15, 0}, Rgb4{0, 0, 15}, Rgb4{13, 14, 15}};
    for (std::size_t i = 0; i < 4; ++i) s.userColourRef[i] = UserColourRef(s.userColour[i]);
    s.dpiStep = {11, 0, 6, 7};
    s.fireInterval = 300;
    return s;
}

TEST(SaveProfile, RoundTripsEverySlotThroughOneBatch) {
    TempDir dir;
    const MouseSettings s = Sample();
    const int slots[] = {0, 1, 2, 3};
    ASSERT_TRUE(SaveProfiles(s, dir / "config.ini", slots).ok());
    RecordingMessageSink messages;
    MouseSettings back;
    for (int p : slots) ASSERT_TRUE(LoadProfile(back, dir.path(), p, false, messages));
    EXPECT_EQ(back, s);
}

TEST(SaveProfile, SlotOneWritesItsSectionAndTheSharedKeys) {
    TempDir dir;
    const auto f = dir / "config.ini";
    MouseSettings s = Sample();
    s.dpiLevelEnabled[1] = 7;  // any non-zero flag is written as 1
    ASSERT_TRUE(SaveProfile(s, f, 1).ok());
    const std::string text = ReadBytes(f);
    EXPECT_NE(text.find("[Config1]\r\nK0=300\r\nLED_REACT_EN0=1\r\nLED_REACT_TYPE0=1\r\nK1=301\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("[Config0]"), std::string::npos);
    EXPECT_EQ(profile::ReadString(f, "ShareData", "LED_CYC_TIME", "", 8), "4");
    EXPECT_EQ(profile::ReadString(f, "ShareData", "LED_CYCTIME", "", 8), "4");
    EXPECT_EQ(profile::ReadString(f, "ShareData", "LED_FEATURE_SCOLOR", "", 8), "0");
    EXPECT_EQ(profile::ReadString(f, "ShareData", "DPI_SET_EN1", "", 8), "1");
    EXPECT_EQ(profile::ReadString(f, "ShareData", "CYC_7COL_EN", "", 8), "90");
    EXPECT_EQ(text.find("K7"), std::string::npos);
}

TEST(SaveProfile, KeepsForeignKeysAndComments) {
    TempDir dir;
    const auto f = dir / "config.ini";
    WriteBytes(f, "; kept\r\n[Init]\r\nCurConfig=2\r\n[Config0]\r\nK7=99\r\nK0=5\r\n");
    ASSERT_TRUE(SaveProfile(Sample(), f, 0).ok());
    const std::string text = ReadBytes(f);
    EXPECT_EQ(text.rfind("; kept\r\n[Init]\r\nCurConfig=2\r\n[Config0]\r\nK7=99\r\nK0=0\r\n", 0), 0u) << text;
}

TEST(SaveProfile, UnwritableFileIsReportedAndKept) {
    TempDir dir;
    const auto f = dir / "config.ini";
    WriteBytes(f, kBase);
    fs::permissions(f, fs::perms::owner_read);
    EXPECT_FALSE(SaveProfile(Sample(), f, 0).ok());
    EXPECT_FALSE(SaveDpiLevel(Sample(), f).ok());
    EXPECT_EQ(ReadBytes(f), kBase);
}

TEST(SettingsFile, SaveDpiLevelWritesOneKey) {
    TempDir dir;
    const auto f = dir / "config.ini";
    WriteBytes(f, kBase);
    MouseSettings s;
    s.dpiLevel = 3;
    ASSERT_TRUE(SaveDpiLevel(s, f).ok());
    EXPECT_EQ(ReadBytes(f), Replace(kBase, "DPI_LEVEL=2", "DPI_LEVEL=3"));
}

TEST(SettingsFile, CurrentProfileAndLanguage) {
    TempDir dir;
    const auto f = dir / "config.ini";
    struct Row {
        const char* text;
        int slot;
    };
    for (Row r : {Row{"", 0}, Row{"2", 2}, Row{"3", 3}, Row{"7", 0}, Row{"-1", 0}, Row{"x", 0}}) {
        WriteBytes(f, std::string("[Init]\r\nCurConfig=") + r.text + "\r\n");
        EXPECT_EQ(ReadCurrentProfile(f), r.slot) << r.text;
    }
    struct Lang {
        const char* text;
        bool english;
    };
    for (Lang l : {Lang{"1", true}, Lang{"0", false}, Lang{"256", false}, Lang{"257", true}}) {
        WriteBytes(f, std::string("[Init]\r\nVER_SEL=") + l.text + "\r\n");
        EXPECT_EQ(ReadEnglishInterface(f), l.english) << l.text;
    }
    WriteBytes(f, "[Init]\r\n");
    EXPECT_FALSE(ReadEnglishInterface(f));
    ASSERT_TRUE(WriteCurrentProfile(f, 3).ok());
    EXPECT_EQ(ReadCurrentProfile(f), 3);
}

TEST(SettingsFile, HostileFilesReadWithoutHarm) {
    TempDir dir;
    std::string junk;
    for (int i = 0; i < 200000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
    const std::string files[] = {
        "",
        junk,
        "[ShareData]\r\nDPI_LEVEL=1\r\n[ShareData]\r\nDPI_LEVEL=3\r\n[Config0]\r\nK0=4\r\n[Config0]\r\nK0=9\r\n",
        "DPI_LEVEL=3\r\n[ShareData]\r\n",
        "[Config0]\r\nK0=" + std::string(5000, '9') + "\r\n[ShareData]\r\nLED_TYPE=-99999\r\nDPI_LEVEL=-7\r\n",
    };
    for (const std::string& content : files) {
        WriteBytes(dir / "config.ini", content);
        RecordingMessageSink messages;
        MouseSettings s;
        EXPECT_TRUE(LoadProfile(s, dir.path(), 0, false, messages));
        EXPECT_TRUE(messages.messages().empty());
    }
    MouseSettings s;
    RecordingMessageSink messages;
    WriteBytes(dir / "config.ini", files[2]);
    ASSERT_TRUE(LoadProfile(s, dir.path(), 0, false, messages));
    EXPECT_EQ(s.dpiLevel, 1);
    EXPECT_EQ(s.buttonAssign[0][0], 4);
    WriteBytes(dir / "config.ini", files[4]);
    ASSERT_TRUE(LoadProfile(s, dir.path(), 0, false, messages));
    EXPECT_EQ(s.buttonAssign[0][0], 999999999);
    EXPECT_EQ(s.ledMode, static_cast<std::uint8_t>(-999 & 0xFF)) << "5-character buffer keeps \"-999\"";
    EXPECT_EQ(s.dpiLevel, -7);
}

}  // namespace
}  // namespace kx700
