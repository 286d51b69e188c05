// The macro memory gauge against what the apply really writes into the
// simulated mouse's macro area.
#include "programming/macro_memory.h"

#include <gtest/gtest.h>

#include "fixture.h"
#include "macro/upload.h"
#include "programming/functions.h"

namespace kx700 {
namespace {

using testing::SessionFixture;

std::size_t RoundUp8(std::size_t n) { return (n + 7) / 8 * 8; }

// `events` key presses 20 ms apart: a block of RoundUp8(2 + 2 * events) bytes.
macro::MacroRecord KeyMacro(int events, std::uint8_t runMode = 0, std::uint16_t delay = 20) {
    macro::MacroRecord r{};
    r.eventCount = static_cast<std::uint16_t>(events);
    r.repeatCount = 1;
    r.runMode = runMode;
    for (int e = 0; e < events; ++e) {
        r.eventCode[static_cast<std::size_t>(e)] = 0x04;
        r.eventType[static_cast<std::size_t>(e)] = macro::TY_DOWN;
        r.eventDelay[static_cast<std::size_t>(e)] = delay;
    }
    return r;
}

struct Place {
    int profile, button, macro;  // macro: index in the first group
};

struct GaugeCase {
    const char* what;
    int bank;
    std::vector<macro::MacroRecord> macros;
    std::vector<Place> places;
    std::size_t used;  // by hand
    bool fits;
    int overProfile = -1, overButton = -1;
};
void PrintTo(const GaugeCase& c, std::ostream* os) { *os << c.what; }

// The places of n distinct macros, one a button: profile 0 from button 1,
// then profiles 2 and 3.
std::vector<Place> Spread(int n) {
    std::vector<Place> out;
    int i = 0;
    for (int p : {0, 2, 3}) {
        for (int b = p == 0 ? 1 : 0; b < kButtons && i < n; ++b) out.push_back(Place{p, b, i++});
    }
    return out;
}

std::vector<macro::MacroRecord> Sized(std::vector<int> events) {
    std::vector<macro::MacroRecord> out;
    for (int e : events) out.push_back(KeyMacro(e));
    return out;
}

// 0x7F8 - 0x240 = 1464 = 3 x 368 + 360; 0xFF8 - 0x240 = 3512 = 9 x 368 + 200.
const macro::MacroRecord kShortMode2 = KeyMacro(2, macro::RUN_MODE2, 5);  // 10 ms: played 4 times per image

class MacroMemoryGauge : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(MacroMemoryGauge, MatchesWhatTheApplyWrites) {
    const GaugeCase& c = GetParam();
    SessionFixture f;
    for (int p : kUserProfileSlots) f.s().settings.buttonAssign[static_cast<std::size_t>(p)].fill(1);
    if (!c.macros.empty()) {
        macro::MacroTable table;
        for (std::size_t i = 0; i < c.macros.size(); ++i) table.slots[i] = c.macros[i];
        table.macroCount = static_cast<std::uint16_t>(c.macros.size());
        f.replaceFirstGroup(table);
    }
    for (const Place& at : c.places) f.assign(at.profile, at.button, programming::MacroChoiceValue(0, at.macro));
    f.mouse->setStatus(c.bank, 0, 0);

    const programming::MacroMemoryUse use =
        programming::MeasureMacroMemory(f.s().settings, f.s().currentProfile, f.s().macros, c.bank);
    EXPECT_EQ(use.used, c.used);
    EXPECT_EQ(use.capacity, c.bank ? 3512u : 1464u);
    EXPECT_EQ(use.fits, c.fits);
    EXPECT_EQ(use.overProfile, c.overProfile);
    EXPECT_EQ(use.overButton, c.overButton);

    const programming::ApplyResult r = programming::ApplySettings(f.s());
    EXPECT_EQ(f.s().memoryBankBit, c.bank) << "the apply's status read sets the limit";
    std::size_t dataBytes = 0;
    for (const device::SimLogEntry& e : f.mouse->log()) {
        if (e.bytes.size() > 6 && e.bytes[1] == 0x18 && e.bytes[2] == 0x03 && (e.bytes[4] | e.bytes[5] << 8) >= 0x240)
            ++dataBytes;
    }
    if (c.fits) {
        EXPECT_TRUE(r.completed());
        EXPECT_EQ(dataBytes, use.used) << "every byte the gauge counts is written, and no other";
    } else {
        EXPECT_EQ(r.end, programming::ApplyEnd::MacroAreaFull);
        EXPECT_EQ(f.messages.messages().back(), "宏存储过多，请减少宏定义按键个数！");
        EXPECT_EQ(dataBytes, use.capacity) << "the apply stops where the gauge says the area ends";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, MacroMemoryGauge,
    ::testing::Values(
        GaugeCase{"no macros", 0, {}, {}, 0, true},
        GaugeCase{"equal values share one block",
                  0,
                  Sized({10, 20}),
                  {{0, 1, 0}, {0, 2, 0}, {2, 0, 0}, {3, 6, 0}, {2, 1, 1}},
                  RoundUp8(22) + RoundUp8(42),
                  true},
        GaugeCase{"a short run-mode-2 macro is unrolled", 0, {kShortMode2}, {{0, 1, 0}}, RoundUp8(2 + 2 * 8), true},
        GaugeCase{"just under the low limit", 0, Sized({180, 180, 180, 179}), Spread(4), 1464, true},
        GaugeCase{"just over the low limit", 0, Sized({180, 180, 180, 180}), Spread(4), 1472, false, 0, 4},
        GaugeCase{"the low limit's overflow on the high limit", 1, Sized({180, 180, 180, 180}), Spread(4), 1472, true},
        GaugeCase{"just under the high limit", 1, Sized({180, 180, 180, 180, 180, 180, 180, 180, 180, 99}), Spread(10),
                  3512, true},
        GaugeCase{"just over the high limit", 1, Sized({180, 180, 180, 180, 180, 180, 180, 180, 180, 100}), Spread(10),
                  3520, false, 2, 3}));

TEST(MacroMemoryGauge, CountsTheMacroBeingEditedAndNamesWhoPushesItOver) {
    SessionFixture f;
    for (int p : kUserProfileSlots) f.s().settings.buttonAssign[static_cast<std::size_t>(p)].fill(1);
    macro::MacroTable table;
    for (int i = 0; i < 4; ++i) table.slots[static_cast<std::size_t>(i)] = KeyMacro(180);
    table.slots[3] = KeyMacro(179);
    table.macroCount = 4;
    f.replaceFirstGroup(table);
    for (const Place& at : Spread(4)) f.assign(at.profile, at.button, programming::MacroChoiceValue(0, at.macro));
    EXPECT_TRUE(programming::MeasureMacroMemory(f.s()).fits);
    // One event more in the editor, not yet saved: the next apply saves it first.
    f.s().macros.table.currentMacro = 3;
    f.s().macros.table.slots[3] = KeyMacro(180);
    const programming::MacroMemoryUse use = programming::MeasureMacroMemory(f.s());
    EXPECT_FALSE(use.fits);
    const std::array<std::string, 3> names{"Default", "Shooter", "Media"};
    EXPECT_EQ(programming::DescribeMacroMemory(use, true, names),
              "Macro memory: 1472 / 1464 bytes - Too many macros: Default, button 5 does not fit");
    EXPECT_EQ(programming::DescribeMacroMemory(use, false, names),
              "宏存储：1472 / 1464 字节，宏存储过多：Default 按键5 放不下");
    EXPECT_EQ(programming::ApplySettings(f.s()).end, programming::ApplyEnd::MacroAreaFull);
}

}  // namespace
}  // namespace kx700
