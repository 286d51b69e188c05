#include "device/protocol.h"

#include <initializer_list>
#include <string>
#include <thread>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace kx700::device {
namespace {

using Clock = std::chrono::steady_clock;

// A sleeper wakes late by its timer slack (50 us by default) and by the
// scheduler; a memory write has two pauses, so that lateness would add
// several percent to every apply. Hence a slack of one nanosecond, a sleep to
// just before the deadline and a busy wait for the rest. The wait does not
// yield: a yield hands the core to any other runnable thread (a busy window,
// a build beside it) for a whole time slice.
constexpr auto kWakeMargin = std::chrono::microseconds(150);

void TightenTimerSlack() {
#ifdef __linux__
    thread_local const bool tightened = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)tightened;
#endif
}

void WaitUntil(Clock::time_point deadline) {
    if (Clock::now() >= deadline) return;
    TightenTimerSlack();
    std::this_thread::sleep_until(deadline - kWakeMargin);
    while (Clock::now() < deadline) {
    }
}

std::uint8_t Low(unsigned v) { return static_cast<std::uint8_t>(v & 0xFF); }
std::uint8_t High(unsigned v) { return static_cast<std::uint8_t>((v >> 8) & 0xFF); }

// One transaction on the shared FeatureReport buffer.
class Transaction {
public:
    explicit Transaction(DeviceLink& link) : link_(link), lock_(link.transactionMutex) {}

    bool canSend() const { return link_.writeHandle != nullptr; }

    // Fills the leading bytes of the buffer (later bytes keep what the last
    // report or reply left there), waits out the previous pause and sends.
    // False when the mouse is gone and the transaction should stop.
    bool send(std::initializer_list<std::uint8_t> bytes, Clock::duration pauseAfter = Clock::duration::zero()) {
        std::size_t i = 0;
        for (std::uint8_t b : bytes) link_.FeatureReport[i++] = b;
        if (link_.pace) WaitUntil(link_.quietUntil);
        const HidIo io = link_.writeHandle->sendFeatureReport(
            std::span<const std::uint8_t>(link_.FeatureReport.data(), link_.featureReportLength));
        // Taken after the report left, so the mouse never gets less than the pause.
        if (pauseAfter > Clock::duration::zero()) link_.quietUntil = Clock::now() + pauseAfter;
        if (!io.ok())
            note(io.status == HidIoStatus::Disconnected ? "the mouse is disconnected"
                                                        : "the mouse did not take a feature report");
        return io.status != HidIoStatus::Disconnected;
    }

    std::optional<DeviceStatus> readStatus() {
        link_.FeatureReport[0] = kFeatureReportId;
        if (link_.pace) WaitUntil(link_.quietUntil);
        const HidIo io = link_.writeHandle->getFeatureReport(
            std::span<std::uint8_t>(link_.FeatureReport.data(), link_.featureReportLength));
        if (!io.ok() || io.bytes < kCommandLength) return std::nullopt;
        return DeviceStatus{link_.FeatureReport[kStatusByte], link_.FeatureReport[kNibbleByte]};
    }

    Status result() const { return first_.empty() ? Status::Ok() : Status::Error(first_); }

private:
    void note(const char* problem) {
        if (first_.empty()) first_ = problem;
    }

    DeviceLink& link_;
    std::lock_guard<std::mutex> lock_;
    std::string first_;
};

Status NoMouse() { return Status::Error("no mouse is open"); }

}  // namespace

Status WriteDeviceMemory(DeviceLink& link, std::uint16_t address, std::span<const std::uint8_t> data) {
    const std::size_t n = data.size();
    if (n == 0 || n > kMaxBlockLength) return Status::Error("a memory block holds 1 to 8 bytes");
    if (address + n > kDeviceMemorySize) return Status::Error("memory block beyond the mouse's memory");
    Transaction t(link);
    if (!t.canSend()) return NoMouse();
    const std::uint8_t aLo = Low(address), aHi = High(address);
    const auto last = static_cast<std::uint8_t>(n - 1);
    for (std::size_t i = 0; i < n; ++i) {
        const Clock::duration pause = i + 1 == n ? kPauseBeforeEndBlock : Clock::duration::zero();
        if (!t.send(
                {kFeatureReportId, CMD_MEMORY, MEM_WRITE_BYTE, static_cast<std::uint8_t>(i), aLo, aHi, data[i], last},
                pause))
            return t.result();
    }
    if (t.send({kFeatureReportId, CMD_MEMORY, MEM_END_BLOCK, 0, aLo, aHi, 0, last}, kPauseAfterEndBlock))
        (void)t.send({kFeatureReportId, CMD_MEMORY, MEM_IDLE, 0, aLo, aHi, 0, 0});
    return t.result();
}

Status FinishProgramming(DeviceLink& link) {
    Transaction t(link);
    if (!t.canSend()) return NoMouse();
    if (t.send({kFeatureReportId, CMD_MEMORY, MEM_FINISH, 0, 0, 0, 0, 0}, kPauseAfterFinish))
        (void)t.send({kFeatureReportId, CMD_MEMORY, MEM_IDLE, 0, 0, 0, 0, 0});
    return t.result();
}

Status SendDpiState(DeviceLink& link, int level, std::uint8_t enabledMask) {
    if (level < 0 || level > 3) return Status::Error("CPI level out of range");
    const auto l = static_cast<std::uint8_t>(level);
    Transaction t(link);
    if (!t.canSend()) return NoMouse();
    (void)t.send({kFeatureReportId, CMD_DPI_STATE, l, static_cast<std::uint8_t>(l + kDpiLevelTag),
                  static_cast<std::uint8_t>(enabledMask & 0x0F), 0, 0, 0},
                 kPauseAfterDpiState);
    return t.result();
}

Status SendHoldState(DeviceLink& link, bool held) {
    Transaction t(link);
    if (!t.canSend()) return NoMouse();
    (void)t.send({kFeatureReportId, CMD_HOLD, held ? kHoldDown : kHoldUp, 0, 0, 0, 0, 0});
    return t.result();
}

Status SendConsumerUsage(DeviceLink& link, std::uint16_t usage) {
    Transaction t(link);
    if (!t.canSend()) return NoMouse();
    (void)t.send({kFeatureReportId, CMD_CONSUMER, High(usage), Low(usage)});
    return t.result();
}

Status SendExitNotice(DeviceLink& link) {
    Transaction t(link);
    if (!t.canSend()) return Status::Ok();
    (void)t.send({kFeatureReportId, CMD_EXIT, 0, 0});
    return t.result();
}

std::optional<DeviceStatus> ReadDeviceStatus(DeviceLink& link) {
    Transaction t(link);
    if (!t.canSend()) return std::nullopt;
    return t.readStatus();
}

}  // namespace kx700::device
