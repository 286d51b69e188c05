// The macro files the build stages beside the executables: every one parses,
// reads back exactly as written, keeps the record's invariants and encodes
// without complaint.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../support/temp_dir.h"
#include "macro/files.h"
#include "macro/upload.h"
#include "macro/value_format.h"
#include "platform/profile.h"

namespace kx700::macro {
namespace {

namespace fs = std::filesystem;

fs::path Stage() {
    const char* stage = std::getenv("KX700_TEST_STAGE");
    return stage != nullptr ? fs::path(stage) : fs::path(KX700_STAGE_DIR);
}

void ExpectInvariants(const MacroRecord& r, const std::string& what) {
    int moves = 0, cpi = 0, leds = 0;
    for (int i = 0; i < r.eventCount; ++i) {
        const std::uint8_t code = r.eventCode[static_cast<std::size_t>(i)];
        if (code == EV_MOVE) ++moves;
        if (code == EV_CPI) ++cpi;
        if (code == EV_LED) {
            EXPECT_EQ(r.eventParam[static_cast<std::size_t>(i)].x, leds) << what;
            EXPECT_GE(r.ledTable[static_cast<std::size_t>(leds)].stepCount, 1) << what;
            ++leds;
        }
    }
    EXPECT_EQ(r.moveCount, moves) << what;
    EXPECT_EQ(r.cpiCount, cpi) << what;
    EXPECT_EQ(r.ledCount, leds) << what;
    EXPECT_EQ(r.countF7 + r.countFA + r.countFB, 0) << what;
    EXPECT_GE(r.repeatCount, 1) << what;
    EXPECT_FALSE(MacroName(r).empty()) << what;
    RecordingMessageSink sink;
    const MacroRecord unrolled = UnrollShortMacro(r);
    EXPECT_TRUE(EncodeMacroImage(unrolled, 0x240, MeasureMacroImage(unrolled), 1, sink).applyMayContinue) << what;
    EXPECT_TRUE(sink.messages().empty()) << what;
}

class ShippedMacros : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedMacros, GroupsReadBackExactlyAndMatchTheFactoryCopy) {
    const fs::path language = Stage() / "skins" / GetParam();
    ASSERT_TRUE(fs::exists(language / "macro" / "macroGrp.ini")) << "KX700_TEST_STAGE=" << Stage();
    const profile::Snapshot list(language / "macro" / "macroGrp.ini");
    GroupDirectory groups;
    groups.groupCount = list.readInt("MACRO_GROUP_NUM", "macGrpNum", kCountReadSize);
    ASSERT_GE(groups.groupCount, 2);
    for (int g = 0; g < groups.groupCount; ++g)
        groups.groupNames[static_cast<std::size_t>(g)] =
            list.readString("MACRO_GROUP_NAME", std::to_string(g), "", kGroupNameReadSize);
    ReadAllMacroNames(language / "macro", groups);

    for (int g = 0; g < groups.groupCount; ++g) {
        const std::string& name = groups.groupNames[static_cast<std::size_t>(g)];
        const std::string file = name + ".dat";
        const fs::path path = language / "macro" / fs::path(std::u8string(file.begin(), file.end()));
        RecordingMessageSink sink;
        MacroTable table;
        LoadGroupFile(path, table, sink);
        EXPECT_TRUE(sink.messages().empty());
        ASSERT_GE(table.macroCount, 1) << name;
        EXPECT_EQ(groups.groupMacroCount[static_cast<std::size_t>(g)], table.macroCount);
        for (int i = 0; i < table.macroCount; ++i) {
            const MacroRecord& r = table.slots[static_cast<std::size_t>(i)];
            const std::string what = name + "/" + MacroName(r);
            EXPECT_EQ(FormatMacroValue(r), profile::ReadString(path, "Macros", std::to_string(i), "", kValueReadSize))
                << what;
            EXPECT_EQ(ReadMacro(language / "macro", g, i), r) << what;
            EXPECT_EQ(groups.macroNames[static_cast<std::size_t>(g)][static_cast<std::size_t>(i)], MacroName(r));
            ExpectInvariants(r, what);
        }
        EXPECT_EQ(testing::ReadBytes(path), testing::ReadBytes(language / "macroReset" / path.filename())) << name;
    }
    EXPECT_EQ(testing::ReadBytes(language / "macro" / "macroGrp.ini"),
              testing::ReadBytes(language / "macroReset" / "macroGrp.ini"));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ShippedMacros, ::testing::Values("INI_EN", "INI_CN"));

TEST(ShippedConstantMacros, EightMacrosThatSurviveTheShortBuffer) {
    const fs::path file = Stage() / "constMacro.dat";
    RecordingMessageSink sink;
    ConstantMacroTable table;
    LoadConstantMacros(file, table, sink);
    EXPECT_TRUE(sink.messages().empty());
    ASSERT_EQ(table.count, 8);
    for (int i = 0; i < table.count; ++i) {
        const MacroRecord& r = table.records[static_cast<std::size_t>(i)];
        EXPECT_EQ(r, ParseMacroValue(profile::ReadString(file, "Macros", std::to_string(i), "", kValueReadSize)));
        EXPECT_LE(r.eventCount, 56);
        ExpectInvariants(r, MacroName(r));
    }
}

}  // namespace
}  // namespace kx700::macro
