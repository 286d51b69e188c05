#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "../support/temp_dir.h"
#include "device/memory_description.h"
#include "device/protocol.h"
#include "device/report_descriptor.h"
#include "device/sim_state_file.h"
#include "file_text.h"
#include "sim_link.h"

namespace kx700::device {
namespace {

using testing::Bytes;
using testing::ReadText;
using testing::SimLink;
using testing::WriteText;

Bytes Data(unsigned i, unsigned address, std::uint8_t d, unsigned count) {
    return {7,
            CMD_MEMORY,
            MEM_WRITE_BYTE,
            static_cast<std::uint8_t>(i),
            static_cast<std::uint8_t>(address & 0xFF),
            static_cast<std::uint8_t>(address >> 8),
            d,
            static_cast<std::uint8_t>(count - 1)};
}
Bytes End(unsigned address, unsigned count) {
    return {7,
            CMD_MEMORY,
            MEM_END_BLOCK,
            0,
            static_cast<std::uint8_t>(address & 0xFF),
            static_cast<std::uint8_t>(address >> 8),
            0,
            static_cast<std::uint8_t>(count - 1)};
}
Bytes Idle(unsigned address) {
    return {
        7, CMD_MEMORY, MEM_IDLE, 0, static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(address >> 8),
        0, 0};
}
const Bytes kHold = {7, CMD_HOLD, 2, 0, 0, 0, 0, 0};

// Sends raw reports; `pauseBefore` marks where a well-paced host would pause.
struct Step {
    Bytes report;
    bool pauseBefore = true;
};

TEST(SimulatedMouse, CountsTheHostsProtocolFaults) {
    struct Case {
        std::string name;
        std::vector<Step> steps;
        SimViolations expected;
        std::uint8_t byteAt0x100;
    };
    auto v = [](std::uint64_t inter, std::uint64_t incomplete, std::uint64_t range, std::uint64_t shortp,
                std::uint64_t unknown) {
        return SimViolations{inter, incomplete, range, shortp, unknown};
    };
    const std::vector<Case> cases = {
        {"well-formed two-byte block",
         {{Data(0, 0x100, 0xAB, 2), false}, {Data(1, 0x100, 0xCD, 2), false}, {End(0x100, 2)}, {Idle(0x100)}},
         v(0, 0, 0, 0, 0),
         0xAB},
        {"a data byte missing: the block is not committed",
         {{Data(1, 0x100, 0xCD, 2), false}, {End(0x100, 2)}, {Idle(0x100)}},
         v(0, 1, 0, 0, 0),
         0},
        {"idle without end of block", {{Data(0, 0x100, 0xAB, 1), false}, {Idle(0x100)}}, v(0, 1, 0, 0, 0), 0},
        {"another report inside the transaction",
         {{Data(0, 0x100, 0xAB, 1), false}, {kHold, false}, {End(0x100, 1)}, {Idle(0x100)}},
         v(1, 0, 0, 0, 0),
         0xAB},
        {"a second block before the first went idle",
         {{Data(0, 0x200, 1, 1), false}, {Data(0, 0x100, 0xAB, 1), false}, {End(0x100, 1)}, {Idle(0x100)}},
         v(1, 1, 0, 0, 0),
         0xAB},
        {"block past the end of memory",
         {{Data(0, 0x3FFF, 1, 2), false}, {Data(1, 0x3FFF, 2, 2), false}, {End(0x3FFF, 2)}, {Idle(0x3FFF)}},
         v(0, 0, 1, 0, 0),
         0},
        {"byte index beyond its block", {{Data(3, 0x100, 1, 2), false}}, v(0, 0, 1, 0, 0), 0},
        {"end of block without the 4 ms pause, idle without the 2 ms one",
         {{Data(0, 0x100, 0xAB, 1), false}, {End(0x100, 1), false}, {Idle(0x100), false}},
         v(0, 0, 0, 2, 0),
         0xAB},
        {"unknown command and report ID",
         {{{7, 0x55, 0, 0, 0, 0, 0, 0}, false},
          {{5, CMD_HOLD, 2, 0, 0, 0, 0, 0}, false},
          {{7, CMD_MEMORY, 0x77, 0, 0, 0, 0, 0}, false}},
         v(0, 0, 0, 0, 3),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedMouse mouse;
        auto now = std::chrono::steady_clock::now();
        mouse.useClock([&now] { return now; });
        for (const Step& s : c.steps) {
            now += s.pauseBefore ? kPauseBeforeEndBlock : std::chrono::microseconds(10);
            EXPECT_TRUE(mouse.receiveFeatureReport(s.report).ok());
        }
        EXPECT_EQ(mouse.violations(), c.expected);
        EXPECT_EQ(mouse.memory()[0x100], c.byteAt0x100);
    }
}

TEST(SimulatedMouse, ActsOnTheHostCommands) {
    SimLink sim;
    ASSERT_TRUE(SendDpiState(sim.link, 3, 0x05));
    ASSERT_TRUE(SendHoldState(sim.link, true));
    ASSERT_TRUE(SendConsumerUsage(sim.link, 0x00CD));
    ASSERT_TRUE(FinishProgramming(sim.link));
    ASSERT_TRUE(SendExitNotice(sim.link));
    const SimFirmwareState f = sim.mouse->firmware();
    EXPECT_EQ(f.cpiLevel, 3);
    EXPECT_EQ(f.cpiEnabledMask, 0x05);
    EXPECT_TRUE(f.held);
    EXPECT_EQ(f.lastConsumerUsage, 0x00CD);
    EXPECT_EQ(f.finishes, 1u);
    EXPECT_EQ(f.exitNotices, 1u);
}

TEST(SimulatedMouse, ItsDescriptorDescribesWhatItEnumerates) {
    SimulatedMouse mouse;
    const auto collections = ParseReportDescriptor(mouse.reportDescriptor());
    ASSERT_TRUE(collections.has_value());
    const std::vector<HidTopLevelCollection> expected = {
        {0x0001, 0x0002, 5, 0, 0, true, {1}},  // buttons, padding, X, Y, wheel: 4 bytes and the ID
        {0xFF00, 0x0001, 8, 0, 0, true, {6}},  // the events
        {0xFF01, 0x0001, 0, 0, 8, true, {7}},  // the commands and the status reply
    };
    EXPECT_EQ(*collections, expected);
    std::vector<std::pair<std::uint16_t, std::uint16_t>> listed;
    for (const HidInterfaceInfo& i : mouse.interfaces()) listed.emplace_back(i.usagePage, i.usage);
    EXPECT_EQ(listed, (std::vector<std::pair<std::uint16_t, std::uint16_t>>{{0x0001, 2}, {0xFF00, 1}, {0xFF01, 1}}));

    mouse.setFeatureReportLength(300);  // beyond the host's buffer: as long as that
    EXPECT_EQ(FindCollection(*ParseReportDescriptor(mouse.reportDescriptor()), 0xFF01, 1)->featureReportLength,
              kReportBufferSize);
}

TEST(SimulatedMouse, NoAccessIsItsOwnDiscoveryResult) {
    auto mouse = std::make_shared<SimulatedMouse>(kIdentifierPairs[1]);
    mouse->denyAccess(true);
    SimulatedBackend backend(mouse);
    DeviceLink link;
    EXPECT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::NoAccess);
    EXPECT_EQ(DescribeDiscovery(DiscoveryResult::NoAccess), "found, no access");
}

TEST(SimulatedMouse, StateSurvivesTheStateFile) {
    kx700::testing::TempDir dir;
    const auto file = dir / "mouse.state";
    {
        SimLink sim;
        sim.mouse->setStatus(1, 2, 0xA);
        const std::array<std::uint8_t, 3> bytes = {1, 2, 3};
        ASSERT_TRUE(WriteDeviceMemory(sim.link, 0x3FFD, bytes));
        ASSERT_TRUE(SendExitNotice(sim.link));
        (void)sim.mouse->receiveFeatureReport(Bytes{7, 0x55, 0, 0, 0, 0, 0, 0});
        ASSERT_TRUE(SaveSimState(file, sim.mouse->snapshot()));
    }
    SimulatedMouseState loaded;
    bool existed = false;
    ASSERT_TRUE(LoadSimState(file, loaded, existed));
    EXPECT_TRUE(existed);
    EXPECT_EQ(SerializeSimState(loaded), ReadText(file));
    EXPECT_EQ(loaded.memory[0x3FFF], 3);
    EXPECT_EQ(loaded.statusByte6, 0x0A);
    EXPECT_EQ(loaded.statusByte7, 0x0A);
    EXPECT_EQ(loaded.firmware.exitNotices, 1u);
    EXPECT_EQ(loaded.violations.unknownReports, 1u);
    ASSERT_EQ(loaded.log.size(), 7u);
    EXPECT_EQ(FormatLogEntry(loaded.log[0]).substr(FormatLogEntry(loaded.log[0]).find(' ')),
              " host->mouse 07 18 03 00 FD 3F 01 02");

    // A later run continues the state's clock instead of starting over.
    SimulatedMouse again(loaded);
    (void)again.receiveFeatureReport(kHold);
    EXPECT_GE(again.log().back().micros, loaded.log.back().micros);
}

TEST(SimulatedMouse, FaultKnobsSurviveTheStateFileAndOldFilesStillLoad) {
    SimulatedMouse mouse;
    mouse.disconnectAfter(5);
    mouse.failEveryRead(true);
    mouse.denyAccess(true);
    (void)mouse.receiveFeatureReport(kHold);  // the countdown runs: 4 left
    SimulatedMouseState loaded;
    ASSERT_TRUE(ParseSimState(SerializeSimState(mouse.snapshot()), loaded));
    EXPECT_EQ(loaded.faults, (SimFaultKnobs{4, true, true}));

    // The loaded knobs act: access refused, every read failing, the unplug after the 4th report.
    auto again = std::make_shared<SimulatedMouse>(loaded);
    SimulatedBackend backend(again);
    DeviceLink link;
    EXPECT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::NoAccess);
    again->denyAccess(false);
    DeviceLink open;
    ASSERT_EQ(DiscoverDevice(open, backend).result, DiscoveryResult::Ready);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(again->nextInputReport(buffer, std::chrono::milliseconds(1)).status, HidIoStatus::Failed);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(SendHoldState(open, true)) << i;
    EXPECT_FALSE(again->connected());
    EXPECT_EQ(again->faults(), (SimFaultKnobs{0, true, false})) << "an unplug that happened is over";

    // A state file written before the knobs existed: the same text without
    // the knobs line, under the first version's magic.
    std::string old = SerializeSimState(mouse.snapshot());
    old.replace(0, old.find('\n'), "kx700-simulated-mouse 1");
    const std::size_t line = old.find("faults ");
    ASSERT_NE(line, std::string::npos);
    old.erase(line, old.find('\n', line) + 1 - line);
    ASSERT_TRUE(ParseSimState(old, loaded));
    EXPECT_EQ(loaded.faults, SimFaultKnobs{});
    EXPECT_EQ(loaded.log.size(), 1u);
    // A current file must have the line.
    old.replace(0, old.find('\n'), "kx700-simulated-mouse 2");
    EXPECT_FALSE(ParseSimState(old, loaded));
}

TEST(SimulatedMouse, MissingStateFileIsAFreshMouseAndADamagedOneIsAnError) {
    kx700::testing::TempDir dir;
    SimulatedMouseState s;
    bool existed = true;
    ASSERT_TRUE(LoadSimState(dir / "none", s, existed));
    EXPECT_FALSE(existed);
    EXPECT_EQ(s.memory, std::vector<std::uint8_t>(kDeviceMemorySize, 0));

    const std::string good = SerializeSimState(SimulatedMouseState{});
    const std::vector<std::string> damaged = {
        "",
        "hello\n",
        good.substr(0, good.size() / 2),
        good + "extra\n",
        [&] {
            std::string t = good;
            t.replace(t.find("memory\n") + 7, 2, "G0");
            return t;
        }(),
        [&] {
            std::string t = good;
            t.replace(t.find("status 0 0"), 10, "status 0 999");
            return t;
        }(),
    };
    for (const std::string& text : damaged) {
        WriteText(dir / "bad", text);
        const Status st = LoadSimState(dir / "bad", s, existed);
        EXPECT_FALSE(st) << text.substr(0, 40);
        EXPECT_NE(st.message().find("line"), std::string::npos);
    }
}

TEST(SimulatedMouse, DescribesItsMemoryInWords) {
    std::vector<std::uint8_t> m(kDeviceMemorySize, 0);
    std::ostringstream blank;
    DescribeMemory(blank, m);
    EXPECT_NE(blank.str().find("blank"), std::string::npos);

    m[0x01] = 0x62;         // profile 3 active
    m[0x08] = 0x01;         // profile 0, code 1: left button
    m[0x09] = 0x0D | 0x20;  // code 2: macro, reaction lighting on
    const unsigned d = 0x80 + 8 * 1;
    m[d + 1] = 5;     // 5 events
    m[d + 5] = 0x40;  // block at 0x0240
    m[d + 6] = 0x02;
    m[0x0F] = 0x0F;  // code 8 (button 6): multimedia key
    m[0x80 + 8 * 7 + 3] = 0x23;
    m[0x80 + 8 * 7 + 4] = 0x02;
    m[0x15] = 0xF1;  // CPI codes 15, 1 -> 4800, 200
    m[0x16] = 0x79;  // 7, 9 -> 1600, 2000
    m[0x18] = 0x18 + 2;
    m[0x19] = 0x0B;
    m[0x1A] = 6;  // 48 ms
    m[0x1C] = 0x1B;
    std::ostringstream out;
    DescribeMemory(out, m);
    const std::string text = out.str();
    for (const char* expected :
         {"active profile: slot 3", "button 0 (code 1): left click",
          "button 1 (code 2): macro, reaction lighting type 0, block at 0x0240 with 5 events, repeat count",
          "button 6 (code 8): multimedia key, consumer usage 0x0223", "CPI levels: 4800 200 1600(off)* 2000",
          "rapid fire: 48 ms", "lighting: mode 1 (button response), speed 3", "macro blocks: 1"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }

    // The same in Chinese, in the names of the window's Chinese pages, and
    // no English word left behind.
    std::ostringstream cn, blankCn;
    DescribeMemory(cn, m, false);
    DescribeMemory(blankCn, std::vector<std::uint8_t>(kDeviceMemorySize, 0), false);
    EXPECT_EQ(blankCn.str(), "鼠标内存为空：从未写入过\n");
    const std::string chinese = cn.str();
    for (const char* expected : {"当前配置：槽 3", "按键 0（编号 1）：左键",
                                 "按键 1（编号 2）：宏，按键灯效类型 0，宏块 0x0240，5 个事件，循环次数",
                                 "按键 6（编号 8）：多媒体键，消费者用法 0x0223", "1600(关)*", "连发间隔：48 毫秒",
                                 "灯光：模式 1（按键响应），速度 3", "宏块数：1"}) {
        EXPECT_NE(chinese.find(expected), std::string::npos) << expected << "\n" << chinese;
    }
    for (const char* english : {"button", "profile", "macro", "events", "lighting", "colours", "nibble", "off"})
        EXPECT_EQ(chinese.find(english), std::string::npos) << english << "\n" << chinese;
}

}  // namespace
}  // namespace kx700::device
