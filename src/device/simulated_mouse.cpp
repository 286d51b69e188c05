#include "device/simulated_mouse.h"

#include <algorithm>

namespace kx700::device {
namespace {

constexpr std::uint16_t kGenericDesktopPage = 0x0001;
constexpr std::uint16_t kMouseUsage = 0x0002;
constexpr std::string_view kPathPrefix = "sim:kx700/";

// Bytes 1 to 5 of the status reply are ours to choose: a reply marker and a
// firmware version, so a host that reads them sees a plausible mouse.
constexpr std::array<std::uint8_t, 5> kStatusFiller = {0x00, 0x5A, 0x01, 0x03, 0x00};

}  // namespace

SimulatedMouse::SimulatedMouse(IdentifierPair ids) : SimulatedMouse(SimulatedMouseState{}, ids) {}

SimulatedMouse::SimulatedMouse(SimulatedMouseState state, IdentifierPair ids) : ids_(ids), state_(std::move(state)) {
    state_.memory.resize(mem::kMemorySize, 0);
    if (state_.faults.disconnectAfter > 0) reportsUntilDisconnect_ = state_.faults.disconnectAfter;
    failEveryRead_ = state_.faults.failReads;
    denied_ = state_.faults.denyAccess;
    for (SimLogEntry& e : state_.log) log_.push_back(std::move(e));
    state_.log.clear();
    while (log_.size() > kMaxLogEntries) log_.pop_front();
}

std::string SimulatedMouse::readPath() const { return std::string(kPathPrefix) + "input"; }
std::string SimulatedMouse::writePath() const { return std::string(kPathPrefix) + "feature"; }

std::vector<std::uint8_t> SimulatedMouse::reportDescriptor() const {
    const auto dataBytes = static_cast<std::uint16_t>(featureReportLength() - 1);  // besides the report ID byte
    std::vector<std::uint8_t> d = {
        // The pointer: five buttons, three bits of padding, X, Y and wheel.
        0x05, 0x01,  // Usage Page (Generic Desktop)
        0x09, 0x02,  // Usage (Mouse)
        0xA1, 0x01,  // Collection (Application)
        0x85, 0x01,  //   Report ID (1)
        0x09, 0x01,  //   Usage (Pointer)
        0xA1, 0x00,  //   Collection (Physical)
        0x05, 0x09,  //     Usage Page (Button)
        0x19, 0x01,  //     Usage Minimum (1)
        0x29, 0x05,  //     Usage Maximum (5)
        0x15, 0x00,  //     Logical Minimum (0)
        0x25, 0x01,  //     Logical Maximum (1)
        0x75, 0x01,  //     Report Size (1)
        0x95, 0x05,  //     Report Count (5)
        0x81, 0x02,  //     Input (Data, Variable, Absolute)
        0x75, 0x03,  //     Report Size (3)
        0x95, 0x01,  //     Report Count (1)
        0x81, 0x01,  //     Input (Constant)
        0x05, 0x01,  //     Usage Page (Generic Desktop)
        0x09, 0x30,  //     Usage (X)
        0x09, 0x31,  //     Usage (Y)
        0x09, 0x38,  //     Usage (Wheel)
        0x15, 0x81,  //     Logical Minimum (-127)
        0x25, 0x7F,  //     Logical Maximum (127)
        0x75, 0x08,  //     Report Size (8)
        0x95, 0x03,  //     Report Count (3)
        0x81, 0x06,  //     Input (Data, Variable, Relative)
        0xC0,        //   End Collection
        0xC0,        // End Collection
        // The events the mouse sends: input report 6.
        0x06, kReadUsagePage & 0xFF, kReadUsagePage >> 8,  // Usage Page (vendor)
        0x09, kVendorUsage,                                // Usage
        0xA1, 0x01,                                        // Collection (Application)
        0x85, kInputReportId,                              //   Report ID
        0x15, 0x00,                                        //   Logical Minimum (0)
        0x26, 0xFF, 0x00,                                  //   Logical Maximum (255)
        0x75, 0x08,                                        //   Report Size (8)
        0x95, kReportLength - 1,                           //   Report Count
        0x09, kVendorUsage,                                //   Usage
        0x81, 0x02,                                        //   Input (Data, Variable, Absolute)
        0xC0,                                              // End Collection
        // The commands and the status reply: feature report 7.
        0x06, kWriteUsagePage & 0xFF, kWriteUsagePage >> 8,  // Usage Page (vendor)
        0x09, kVendorUsage,                                  // Usage
        0xA1, 0x01,                                          // Collection (Application)
        0x85, kFeatureReportId,                              //   Report ID
        0x15, 0x00,                                          //   Logical Minimum (0)
        0x26, 0xFF, 0x00,                                    //   Logical Maximum (255)
        0x75, 0x08,                                          //   Report Size (8)
        0x96, static_cast<std::uint8_t>(dataBytes & 0xFF),   //   Report Count (two bytes)
        static_cast<std::uint8_t>(dataBytes >> 8),           //
        0x09, kVendorUsage,                                  //   Usage
        0xB1, 0x02,                                          //   Feature (Data, Variable, Absolute)
        0xC0,                                                // End Collection
    };
    return d;
}

void SimulatedMouse::setFeatureReportLength(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    featureLength_ = std::clamp(bytes, kReportLength, kReportBufferSize);
}

std::size_t SimulatedMouse::featureReportLength() const {
    std::lock_guard lock(mutex_);
    return featureLength_;
}

std::vector<HidInterfaceInfo> SimulatedMouse::interfaces() const {
    std::lock_guard lock(mutex_);
    if (!connected_) return {};
    return {
        {std::string(kPathPrefix) + "pointer", ids_.vendorId, ids_.productId, kGenericDesktopPage, kMouseUsage},
        {readPath(), ids_.vendorId, ids_.productId, kReadUsagePage, kVendorUsage},
        {writePath(), ids_.vendorId, ids_.productId, kWriteUsagePage, kVendorUsage},
    };
}

bool SimulatedMouse::accessible() const {
    std::lock_guard lock(mutex_);
    return connected_ && !denied_;
}

bool SimulatedMouse::connected() const {
    std::lock_guard lock(mutex_);
    return connected_;
}

void SimulatedMouse::record(SimDirection direction, std::span<const std::uint8_t> bytes, Clock::time_point at) {
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(at - started_).count();
    log_.push_back({state_.elapsedMicros + micros, at, direction, {bytes.begin(), bytes.end()}});
    if (log_.size() > kMaxLogEntries) log_.pop_front();
}

void SimulatedMouse::checkQuiet(Clock::time_point at) {
    if (at < quietUntil_) ++state_.violations.shortPauses;
}

HidIo SimulatedMouse::receiveFeatureReport(std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (!connected_) return {HidIoStatus::Disconnected, 0};
    if (dropReports_ > 0) {
        --dropReports_;
        return {HidIoStatus::Failed, 0};
    }
    const Clock::time_point at = now();
    record(SimDirection::HostToMouse, report, at);
    checkQuiet(at);
    quietUntil_ = at;

    if (report.size() != featureLength_) {
        ++state_.violations.unknownReports;  // a report of another length is not the firmware's report
        return {HidIoStatus::Failed, 0};
    }
    if (report[0] != kFeatureReportId) {
        ++state_.violations.unknownReports;
    } else if (report[1] == CMD_MEMORY) {
        onMemoryCommand(report, at);
    } else {
        if (block_.open) ++state_.violations.interleaved;
        switch (report[1]) {
            case CMD_DPI_STATE:
                state_.firmware.cpiLevel = report[2];
                state_.firmware.cpiEnabledMask = report[4];
                quietUntil_ = at + kPauseAfterDpiState;
                break;
            case CMD_HOLD: state_.firmware.held = report[2] == kHoldDown; break;
            case CMD_CONSUMER:
                state_.firmware.lastConsumerUsage = static_cast<std::uint16_t>(report[2] << 8 | report[3]);
                ++state_.firmware.consumerReports;
                break;
            case CMD_EXIT: ++state_.firmware.exitNotices; break;
            default: ++state_.violations.unknownReports; break;
        }
    }

    if (reportsUntilDisconnect_ > 0 && --reportsUntilDisconnect_ == 0) disconnectNow();
    return {HidIoStatus::Ok, report.size()};
}

void SimulatedMouse::beginBlock(unsigned address, unsigned count) {
    block_ = Block{};
    block_.open = true;
    block_.address = address;
    block_.count = count;
}

void SimulatedMouse::onMemoryCommand(std::span<const std::uint8_t> r, Clock::time_point at) {
    const unsigned address = r[4] | static_cast<unsigned>(r[5]) << 8;
    const unsigned count = r[7] + 1u;
    const unsigned full = (1u << block_.count) - 1;
    switch (r[2]) {
        case MEM_WRITE_BYTE: {
            const unsigned index = r[3];
            if (count > kMaxBlockLength || index >= count) {
                ++state_.violations.outOfRange;
                return;
            }
            if (block_.open && (block_.ended || block_.address != address || block_.count != count)) {
                ++state_.violations.interleaved;  // another block started before this one went idle
                if (!block_.ended) ++state_.violations.incompleteBlocks;  // never ended, never committed
                block_.open = false;
            }
            if (!block_.open) beginBlock(address, count);
            block_.data[index] = r[6];
            block_.received |= 1u << index;
            block_.lastData = at;
            return;
        }
        case MEM_END_BLOCK:
            if (!block_.open || block_.ended || block_.address != address || block_.count != count) {
                ++state_.violations.interleaved;
                return;
            }
            if (at - block_.lastData < kPauseBeforeEndBlock) ++state_.violations.shortPauses;
            quietUntil_ = at + kPauseAfterEndBlock;
            block_.ended = true;
            if (block_.received != full) {
                ++state_.violations.incompleteBlocks;  // a torn block is never committed
            } else if (address + count > mem::kMemorySize) {
                ++state_.violations.outOfRange;
            } else {
                std::copy_n(block_.data.begin(), count, state_.memory.begin() + address);
                ++state_.firmware.blocksWritten;
            }
            return;
        case MEM_IDLE:
            if (block_.open && !block_.ended) ++state_.violations.incompleteBlocks;
            block_.open = false;
            return;
        case MEM_FINISH:
            if (block_.open) ++state_.violations.interleaved;
            ++state_.firmware.finishes;
            quietUntil_ = at + kPauseAfterFinish;
            return;
        default: ++state_.violations.unknownReports; return;
    }
}

HidIo SimulatedMouse::answerStatusRead(std::span<std::uint8_t> buffer) {
    std::lock_guard lock(mutex_);
    if (!connected_) return {HidIoStatus::Disconnected, 0};
    const Clock::time_point at = now();
    if (buffer.empty() || buffer[0] != kFeatureReportId) {
        ++state_.violations.unknownReports;
        return {HidIoStatus::Failed, 0};
    }
    record(SimDirection::HostToMouse, buffer.first(1), at);
    checkQuiet(at);
    quietUntil_ = at;
    if (block_.open) ++state_.violations.interleaved;

    std::vector<std::uint8_t> reply(featureLength_, 0);
    reply[0] = kFeatureReportId;
    std::copy(kStatusFiller.begin(), kStatusFiller.end(), reply.begin() + 1);
    reply[kStatusByte] = state_.statusByte6;
    reply[kNibbleByte] = state_.statusByte7;
    const std::size_t n = std::min(buffer.size(), reply.size());
    std::copy_n(reply.begin(), n, buffer.begin());
    record(SimDirection::MouseToHost, std::span(reply).first(n), at);
    return {HidIoStatus::Ok, n};
}

HidIo SimulatedMouse::nextInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (failEveryRead_) return {HidIoStatus::Failed, 0};
    if (failReads_ > 0) {
        --failReads_;
        return {HidIoStatus::Failed, 0};
    }
    const bool ready = inputArrived_.wait_for(lock, timeout, [&] { return !connected_ || !input_.empty(); });
    if (!connected_) return {HidIoStatus::Disconnected, 0};
    if (!ready) return {HidIoStatus::Timeout, 0};
    std::vector<std::uint8_t> report = std::move(input_.front());
    input_.pop_front();
    const std::size_t n = std::min(buffer.size(), report.size());
    std::copy_n(report.begin(), n, buffer.begin());
    record(SimDirection::MouseToHost, std::span(report).first(n), now());
    return {HidIoStatus::Ok, n};
}

std::vector<std::uint8_t> SimulatedMouse::memory() const {
    std::lock_guard lock(mutex_);
    return state_.memory;
}

SimViolations SimulatedMouse::violations() const {
    std::lock_guard lock(mutex_);
    return state_.violations;
}

SimFirmwareState SimulatedMouse::firmware() const {
    std::lock_guard lock(mutex_);
    return state_.firmware;
}

std::vector<SimLogEntry> SimulatedMouse::log() const {
    std::lock_guard lock(mutex_);
    return {log_.begin(), log_.end()};
}

std::vector<SimLogEntry> SimulatedMouse::logTail(std::size_t count) const {
    std::lock_guard lock(mutex_);
    const std::size_t from = log_.size() > count ? log_.size() - count : 0;
    return {log_.begin() + static_cast<std::ptrdiff_t>(from), log_.end()};
}

SimulatedMouse::StatusBits SimulatedMouse::statusBits() const {
    std::lock_guard lock(mutex_);
    return {(state_.statusByte6 >> 1) & 1, (state_.statusByte6 >> 2) & 3, state_.statusByte7 & 0x0F};
}

SimulatedMouseState SimulatedMouse::snapshot() const {
    std::lock_guard lock(mutex_);
    SimulatedMouseState out = state_;
    out.log.assign(log_.begin(), log_.end());
    out.faults = knobs();
    out.elapsedMicros += std::chrono::duration_cast<std::chrono::microseconds>(now() - started_).count();
    return out;
}

}  // namespace kx700::device
