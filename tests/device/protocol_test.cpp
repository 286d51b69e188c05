#include "device/protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <thread>

#include "sim_link.h"

namespace kx700::device {
namespace {

using testing::Bytes;
using testing::SimLink;

struct GoldenCase {
    std::string name;
    std::function<void(DeviceLink&)> before;  // leaves bytes in the shared buffer; not checked
    std::function<Status(DeviceLink&)> command;
    std::vector<Bytes> expected;
};

const std::array<std::uint8_t, 8> kEight = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};

std::vector<GoldenCase> GoldenCases() {
    const auto nothing = [](DeviceLink&) {};
    // A memory write at 0x1234 leaves 34 12 00 00 in bytes 4 to 7.
    const auto afterWrite = [](DeviceLink& l) {
        const std::uint8_t b = 0xEE;
        ASSERT_TRUE(WriteDeviceMemory(l, 0x1234, std::span(&b, 1)));
    };
    return {
        {"one byte: count byte 0 in data and end reports, idle carries the address",
         nothing,
         [](DeviceLink& l) {
             const std::uint8_t b = 0x62;
             return WriteDeviceMemory(l, 0x0001, std::span(&b, 1));
         },
         {{7, 0x18, 3, 0, 0x01, 0, 0x62, 0}, {7, 0x18, 9, 0, 0x01, 0, 0, 0}, {7, 0x18, 0, 0, 0x01, 0, 0, 0}}},
        {"eight bytes above 0xFF: high address byte in byte 5 of all three kinds",
         nothing,
         [](DeviceLink& l) { return WriteDeviceMemory(l, 0x0258, kEight); },
         {{7, 0x18, 3, 0, 0x58, 0x02, 0x11, 7},
          {7, 0x18, 3, 1, 0x58, 0x02, 0x22, 7},
          {7, 0x18, 3, 2, 0x58, 0x02, 0x33, 7},
          {7, 0x18, 3, 3, 0x58, 0x02, 0x44, 7},
          {7, 0x18, 3, 4, 0x58, 0x02, 0x55, 7},
          {7, 0x18, 3, 5, 0x58, 0x02, 0x66, 7},
          {7, 0x18, 3, 6, 0x58, 0x02, 0x77, 7},
          {7, 0x18, 3, 7, 0x58, 0x02, 0x88, 7},
          {7, 0x18, 9, 0, 0x58, 0x02, 0, 7},
          {7, 0x18, 0, 0, 0x58, 0x02, 0, 0}}},
        {"finish",
         afterWrite,
         [](DeviceLink& l) { return FinishProgramming(l); },
         {{7, 0x18, 0x10, 0, 0, 0, 0, 0}, {7, 0x18, 0, 0, 0, 0, 0, 0}}},
        {"CPI state: level, level + 0x40, four-bit mask",
         afterWrite,
         [](DeviceLink& l) { return SendDpiState(l, 2, 0xFB); },
         {{7, 0x49, 2, 0x42, 0x0B, 0, 0, 0}}},
        {"hold down", afterWrite, [](DeviceLink& l) { return SendHoldState(l, true); }, {{7, 0x11, 2, 0, 0, 0, 0, 0}}},
        {"hold up", afterWrite, [](DeviceLink& l) { return SendHoldState(l, false); }, {{7, 0x11, 0, 0, 0, 0, 0, 0}}},
        {"consumer usage keeps bytes 4-7 of the previous report",
         afterWrite,
         [](DeviceLink& l) { return SendConsumerUsage(l, 0x0223); },
         {{7, 0x17, 0x02, 0x23, 0x34, 0x12, 0, 0}}},
        {"exit notice keeps bytes 4-7 of the status reply",
         [](DeviceLink& l) {
             const std::uint8_t b = 0xEE;
             ASSERT_TRUE(WriteDeviceMemory(l, 0x1234, std::span(&b, 1)));
             ASSERT_TRUE(ReadDeviceStatus(l).has_value());
         },
         [](DeviceLink& l) { return SendExitNotice(l); },
         {{7, 0x20, 0, 0, 0x03, 0x00, 0x0E, 0x05}}},
    };
}

TEST(Protocol, EveryCommandSendsItsExactBytes) {
    for (const GoldenCase& c : GoldenCases()) {
        SCOPED_TRACE(c.name);
        SimLink sim;
        sim.mouse->setStatus(1, 3, 5);
        c.before(sim.link);
        const std::size_t mark = sim.mark();
        EXPECT_TRUE(c.command(sim.link));
        EXPECT_EQ(sim.sent(mark), c.expected);
        EXPECT_EQ(sim.mouse->violations(), SimViolations{});
    }
}

// A mouse whose descriptor gives a longer feature report gets reports of
// that length: the eight bytes of the command, then zeros (the firmware takes
// no report of another length).
TEST(Protocol, ALongerFeatureReportIsSentWholeAndZeroPadded) {
    for (std::size_t length : {9u, 16u, 64u}) {
        for (const GoldenCase& c : GoldenCases()) {
            SCOPED_TRACE(c.name + ", " + std::to_string(length) + " bytes");
            auto mouse = std::make_shared<SimulatedMouse>();
            mouse->setFeatureReportLength(length);
            mouse->setStatus(1, 3, 5);
            SimulatedBackend backend(mouse);
            DeviceLink link;
            ASSERT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::Ready);
            ASSERT_EQ(link.featureReportLength, length);
            c.before(link);
            const std::size_t mark = mouse->log().size();
            EXPECT_TRUE(c.command(link));
            std::vector<Bytes> expected = c.expected;
            for (Bytes& b : expected) b.resize(length, 0);
            std::vector<Bytes> sent;
            const auto log = mouse->log();
            for (std::size_t i = mark; i < log.size(); ++i)
                if (log[i].direction == SimDirection::HostToMouse) sent.push_back(log[i].bytes);
            EXPECT_EQ(sent, expected);
            EXPECT_EQ(mouse->violations(), SimViolations{});
        }
    }

    auto mouse = std::make_shared<SimulatedMouse>();
    mouse->setFeatureReportLength(16);
    mouse->setStatus(0, 2, 9);
    SimulatedBackend backend(mouse);
    DeviceLink link;
    ASSERT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::Ready);
    const auto status = ReadDeviceStatus(link);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->currentProfile(), 2);
    EXPECT_EQ(status->deviceNibble(), 9);
    EXPECT_EQ(mouse->log().back().bytes.size(), 16u) << "the reply is the whole feature report";
}

TEST(Protocol, MemoryWritesLandInTheMouseMemory) {
    SimLink sim;
    const std::uint8_t one = 0x62;
    ASSERT_TRUE(WriteDeviceMemory(sim.link, 0x0001, std::span(&one, 1)));
    ASSERT_TRUE(WriteDeviceMemory(sim.link, 0x3FF8, kEight));  // the last block of memory
    const auto memory = sim.mouse->memory();
    EXPECT_EQ(memory[0x0001], 0x62);
    EXPECT_EQ(memory[0x0000], 0);
    EXPECT_TRUE(std::equal(kEight.begin(), kEight.end(), memory.begin() + 0x3FF8));
    EXPECT_EQ(sim.mouse->firmware().blocksWritten, 2u);
}

TEST(Protocol, RefusesBadArgumentsWithoutSendingAnything) {
    SimLink sim;
    const std::array<std::uint8_t, 9> nine{};
    EXPECT_FALSE(WriteDeviceMemory(sim.link, 0x100, std::span(nine).first(0)));
    EXPECT_FALSE(WriteDeviceMemory(sim.link, 0x100, nine));
    EXPECT_FALSE(WriteDeviceMemory(sim.link, 0x3FFC, kEight));  // would reach past 16 KiB
    EXPECT_FALSE(SendDpiState(sim.link, 4, 0x0F));
    EXPECT_FALSE(SendDpiState(sim.link, -1, 0x0F));
    EXPECT_TRUE(sim.sent().empty());
}

TEST(Protocol, StatusReplyGivesBankProfileAndNibble) {
    const DeviceStatus example{0x0E, 0xA5};
    EXPECT_EQ(example.memoryBankBit(), 1);
    EXPECT_EQ(example.currentProfile(), 3);
    EXPECT_EQ(example.deviceNibble(), 5);

    SimLink sim;
    sim.mouse->setStatus(0, 2, 9);
    const auto status = ReadDeviceStatus(sim.link);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->byte6, 0x08);
    EXPECT_EQ(status->memoryBankBit(), 0);
    EXPECT_EQ(status->currentProfile(), 2);
    EXPECT_EQ(status->deviceNibble(), 9);
    // The status read sends only the report ID.
    EXPECT_EQ(sim.sent(), std::vector<Bytes>{{7}});
}

TEST(Protocol, WithoutAMouseNothingIsSentAndOnlyTheExitNoticeSucceeds) {
    DeviceLink link;  // discovery never found anything
    EXPECT_TRUE(SendExitNotice(link));
    EXPECT_FALSE(SendHoldState(link, true));
    EXPECT_FALSE(ReadDeviceStatus(link).has_value());
    const std::uint8_t b = 1;
    EXPECT_FALSE(WriteDeviceMemory(link, 0x10, std::span(&b, 1)));
}

TEST(Protocol, RefusedReportIsReportedAndTheTransactionStillEndsIdle) {
    SimLink sim;
    sim.mouse->dropFeatureReports(1);  // the first data byte is lost
    const Status s = WriteDeviceMemory(sim.link, 0x40, kEight);
    EXPECT_FALSE(s);
    const auto sent = sim.sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), (Bytes{7, 0x18, 0, 0, 0x40, 0, 0, 0}));
    // The firmware refuses the torn block: memory stays as it was.
    EXPECT_EQ(sim.mouse->memory()[0x41], 0);
    EXPECT_EQ(sim.mouse->violations().incompleteBlocks, 1u);
}

TEST(Protocol, UnpluggedMouseStopsTheTransaction) {
    SimLink sim;
    sim.mouse->disconnectAfter(3);
    EXPECT_FALSE(WriteDeviceMemory(sim.link, 0x40, kEight));
    EXPECT_EQ(sim.sent().size(), 3u);
    EXPECT_FALSE(ReadDeviceStatus(sim.link).has_value());
}

// Time between consecutive reports the mouse received, in the order received.
struct Gap {
    Bytes before;
    Bytes after;
    std::chrono::steady_clock::duration length;
};

std::vector<Gap> Gaps(const std::vector<SimLogEntry>& received) {
    std::vector<Gap> out;
    for (std::size_t i = 1; i < received.size(); ++i)
        out.push_back({received[i - 1].bytes, received[i].bytes, received[i].at - received[i - 1].at});
    return out;
}

TEST(Protocol, PausesAreNeverShorterThanTheMouseNeeds) {
    SimLink sim;
    for (std::uint16_t a = 0x240; a < 0x240 + 5 * 8; a += 8) ASSERT_TRUE(WriteDeviceMemory(sim.link, a, kEight));
    const std::uint8_t one = 0x02;
    ASSERT_TRUE(WriteDeviceMemory(sim.link, 0x01, std::span(&one, 1)));
    ASSERT_TRUE(SendDpiState(sim.link, 1, 0x0F));
    ASSERT_TRUE(FinishProgramming(sim.link));
    ASSERT_TRUE(SendHoldState(sim.link, true));

    int checked = 0;
    for (const Gap& g : Gaps(sim.entries(SimDirection::HostToMouse))) {
        std::chrono::milliseconds floor{0};
        if (g.after[1] == CMD_MEMORY && g.after[2] == MEM_END_BLOCK) floor = kPauseBeforeEndBlock;
        if (g.before[1] == CMD_MEMORY && g.before[2] == MEM_END_BLOCK) floor = kPauseAfterEndBlock;
        if (g.before[1] == CMD_MEMORY && g.before[2] == MEM_FINISH) floor = kPauseAfterFinish;
        if (g.before[1] == CMD_DPI_STATE) floor = kPauseAfterDpiState;
        if (floor.count() == 0) continue;
        ++checked;
        EXPECT_GE(g.length, floor);
    }
    EXPECT_EQ(checked, 6 * 2 + 2);
    EXPECT_EQ(sim.mouse->violations(), SimViolations{});
}

TEST(Protocol, ConcurrentSendersNeverInterleaveWithAMemoryWrite) {
    SimLink sim;
    std::atomic<bool> writing{true};
    std::vector<std::thread> senders;
    const std::array<std::function<void()>, 3> jobs = {
        [&] { (void)SendHoldState(sim.link, true); },
        [&] { (void)SendConsumerUsage(sim.link, 0x00E9); },
        [&] { (void)ReadDeviceStatus(sim.link); },
    };
    for (const auto& job : jobs)
        senders.emplace_back([&writing, job] {
            while (writing.load()) job();
        });
    for (std::uint16_t a = 0x240; a < 0x240 + 16 * 8; a += 8) ASSERT_TRUE(WriteDeviceMemory(sim.link, a, kEight));
    writing = false;
    for (auto& t : senders) t.join();

    EXPECT_EQ(sim.mouse->violations(), SimViolations{});
    EXPECT_EQ(sim.mouse->firmware().blocksWritten, 16u);
    EXPECT_GT(sim.mouse->firmware().consumerReports, 0u);
    const auto memory = sim.mouse->memory();
    EXPECT_TRUE(std::equal(kEight.begin(), kEight.end(), memory.begin() + 0x240 + 15 * 8));
}

}  // namespace
}  // namespace kx700::device
