#pragma once

// A model of the mouse's firmware: it enumerates like the real mouse, keeps
// 16 KiB of memory filled through the memory-write transaction, answers the
// status read, sends the input reports the buttons produce, and records every
// report with a steady-clock timestamp, counting the host's protocol faults.
// Thread-safe: hosts, tests playing the user's hands and inspectors may call
// it from any thread.
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/hid_backend.h"
#include "device/memory_map.h"

namespace kx700::device {

// Faults the host caused, as the firmware saw them.
struct SimViolations {
    std::uint64_t interleaved = 0;       // a report of another kind inside a memory transaction, or two blocks mixed
    std::uint64_t incompleteBlocks = 0;  // a block ended (or abandoned) with data bytes missing
    std::uint64_t outOfRange = 0;        // a block reaching past memory, or a byte index beyond its block
    std::uint64_t shortPauses = 0;       // a report sooner than the pause the previous one asked for
    std::uint64_t unknownReports = 0;    // a report ID or command the firmware does not know

    std::uint64_t total() const { return interleaved + incompleteBlocks + outOfRange + shortPauses + unknownReports; }
    friend bool operator==(const SimViolations&, const SimViolations&) = default;
};

enum class SimDirection : std::uint8_t { HostToMouse, MouseToHost };

struct SimLogEntry {
    std::int64_t micros = 0;                     // since the simulated mouse's state began
    std::chrono::steady_clock::time_point at{};  // when it happened in this process
    SimDirection direction = SimDirection::HostToMouse;
    std::vector<std::uint8_t> bytes;
};

// What the firmware did with the commands that are not memory writes.
struct SimFirmwareState {
    int cpiLevel = 0;
    std::uint8_t cpiEnabledMask = 0x0F;
    bool held = false;
    std::uint16_t lastConsumerUsage = 0;
    std::uint64_t consumerReports = 0;
    std::uint64_t exitNotices = 0;
    std::uint64_t finishes = 0;
    std::uint64_t blocksWritten = 0;
};

// The fault knobs a state file keeps, so that any program loading the file
// (kx700ctl, the window) replays the fault.
struct SimFaultKnobs {
    int disconnectAfter = 0;  // unplugged after that many more feature reports; 0: no countdown
    bool failReads = false;   // every input read fails; the mouse stays listed
    bool denyAccess = false;  // opening its collections is refused, as without permissions
    friend bool operator==(const SimFaultKnobs&, const SimFaultKnobs&) = default;
};

// Everything that persists in a state file.
struct SimulatedMouseState {
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(mem::kMemorySize, 0);
    std::uint8_t statusByte6 = 0;
    std::uint8_t statusByte7 = 0;
    SimFirmwareState firmware;
    SimViolations violations;
    SimFaultKnobs faults;            // the countdown as far as it ran; an unplug that happened is over
    std::int64_t elapsedMicros = 0;  // state time already spent in earlier runs
    std::vector<SimLogEntry> log;
};

class SimulatedMouse {
public:
    // The log keeps at most this many reports, dropping the oldest.
    static constexpr std::size_t kMaxLogEntries = 100000;
    static constexpr std::size_t kReportLength = 8;
    // The longest disconnect countdown a state file or a command line may set.
    static constexpr int kMaxDisconnectCountdown = 1'000'000'000;

    explicit SimulatedMouse(IdentifierPair ids = kIdentifierPairs[0]);
    explicit SimulatedMouse(SimulatedMouseState state, IdentifierPair ids = kIdentifierPairs[0]);

    // --- What the system lists: a pointer collection and the two vendor
    // collections, each on its own path. Empty once disconnected.
    std::vector<HidInterfaceInfo> interfaces() const;
    std::string readPath() const;
    std::string writePath() const;
    // The report descriptor every path gives, as a hidraw node gives the
    // descriptor of its whole interface: a pointer (report ID 1), the input
    // collection (0xFF00/1, input report 6 of kReportLength bytes) and the
    // feature collection (0xFF01/1, feature report 7 of featureReportLength()
    // bytes), report ID bytes included. Opened collections take their report
    // lengths from it.
    std::vector<std::uint8_t> reportDescriptor() const;
    // A firmware whose feature report is longer than the 8 bytes the host
    // fills (clamped to 8 .. kReportBufferSize). The firmware then takes only
    // reports of that length and pads its status reply with zeros to it.
    // Collections opened before the change keep the length they were given.
    void setFeatureReportLength(std::size_t bytes);
    std::size_t featureReportLength() const;

    // --- The firmware's side of the transfers (used by SimulatedBackend).
    HidIo receiveFeatureReport(std::span<const std::uint8_t> report);
    HidIo answerStatusRead(std::span<std::uint8_t> buffer);
    HidIo nextInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout);
    bool accessible() const;
    bool connected() const;

    // --- The user's hands. Codes are hardware button codes (1-6, 8); each
    // queues the input report the mouse sends for it.
    void pressButton(int code);
    void releaseButton(int code);
    void reportCpiLevel(int code, int level);  // level 0-7, carried in the state byte
    void switchProfile(int profile);           // changes the status reply, then reports the change
    void requestCorrection(bool up);
    void sendRawInputReport(std::span<const std::uint8_t> report);

    // --- The status reply: bank bit, profile (0-3), nibble (0-15).
    void setStatus(int bank, int profile, int nibble);

    // --- Inspection.
    std::vector<std::uint8_t> memory() const;
    SimViolations violations() const;
    SimFirmwareState firmware() const;
    std::vector<SimLogEntry> log() const;
    // The newest `count` log entries, oldest first, without copying the rest.
    std::vector<SimLogEntry> logTail(std::size_t count) const;
    // What the status reply says: bank bit, profile, nibble.
    struct StatusBits {
        int bank = 0;
        int profile = 0;
        int nibble = 0;
    };
    StatusBits statusBits() const;
    SimulatedMouseState snapshot() const;

    // --- Time. The firmware stamps every report with this clock (the steady
    // clock unless replaced); a test that sends raw reports can drive it by hand.
    using ClockSource = std::function<std::chrono::steady_clock::time_point()>;
    void useClock(ClockSource now);

    // --- Faults.
    void dropFeatureReports(int count);  // the next `count` feature reports are refused and lost
    void failReads(int count);           // the next `count` input reads fail, the mouse stays listed
    void failEveryRead(bool on);         // every input read fails until turned off
    void disconnectAfter(int reports);   // unplugged after that many more feature reports (0: now)
    void reconnect();                    // plugged in (again); a countdown that has not run out ends
    void denyAccess(bool denied);        // opening its collections is refused, as without permissions
    SimFaultKnobs faults() const;        // the knobs a state file keeps

private:
    using Clock = std::chrono::steady_clock;

    void record(SimDirection direction, std::span<const std::uint8_t> bytes, Clock::time_point at);
    void checkQuiet(Clock::time_point at);
    void onMemoryCommand(std::span<const std::uint8_t> r, Clock::time_point at);
    void beginBlock(unsigned address, unsigned count);
    void queueInput(std::uint8_t event, std::uint8_t state);
    void disconnectNow();
    SimFaultKnobs knobs() const;  // with mutex_ held
    Clock::time_point now() const { return clock_ ? clock_() : Clock::now(); }

    const IdentifierPair ids_;
    mutable std::mutex mutex_;
    std::condition_variable inputArrived_;
    SimulatedMouseState state_;
    std::deque<SimLogEntry> log_;
    ClockSource clock_;
    Clock::time_point started_ = Clock::now();

    // The memory transaction in progress.
    struct Block {
        bool open = false;   // from the first data byte to the idle report
        bool ended = false;  // the end-of-block report came
        unsigned address = 0;
        unsigned count = 0;
        std::array<std::uint8_t, kMaxBlockLength> data{};
        unsigned received = 0;  // bit i: data byte i came
        Clock::time_point lastData{};
    } block_;
    Clock::time_point quietUntil_{};

    std::deque<std::vector<std::uint8_t>> input_;
    int dropReports_ = 0;
    int failReads_ = 0;
    bool failEveryRead_ = false;
    int reportsUntilDisconnect_ = -1;
    bool connected_ = true;
    bool denied_ = false;
    std::size_t featureLength_ = kReportLength;
};

}  // namespace kx700::device
