#pragma once

// The apply: the whole record and the macros its buttons use become the
// mouse's memory image, which is written, finished, and then the system's
// pointer settings and config.ini follow.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "programming/session.h"

namespace kx700::programming {

// The first device address of the macro area, and its end without and with
// the memory bank bit.
inline constexpr std::uint16_t kDataStart = 0x240;
inline constexpr std::uint16_t kMacroLimitLow = 0x7F8;
inline constexpr std::uint16_t kMacroLimitHigh = 0xFF8;
inline constexpr std::size_t kMaxBlockSize = 0x2000;

// One memory-write transaction: at most 8 bytes.
struct MemoryWrite {
    std::uint16_t address = 0;
    std::vector<std::uint8_t> bytes;
};

enum class ApplyEnd {
    Completed,
    MacroAreaFull,
    LedRangeExceeded,
    NoDevice,
    SettingsNotLoaded,  // the record was never read from config.ini: nothing was sent
    DeviceFailed,       // a report did not reach the mouse: its memory holds part of the image
};

// The image as data, in the order it is written.
struct DeviceImage {
    std::vector<MemoryWrite> fixed;        // 0x01, then 0x08 .. 0x78
    std::vector<MemoryWrite> descriptors;  // 8 bytes per code position that needs one
    std::vector<MemoryWrite> data;         // the macro blocks, 8 bytes at a time
    std::size_t dataBlocks = 0;            // distinct macro blocks
    ApplyEnd end = ApplyEnd::Completed;    // when not Completed, the writes stop after `data`
    ApplyState::FirstBlock firstBlock;     // what the first block will hold once all is written
};

// Steps 4 to 9 of the apply without a device: updates the record's button
// table (slot 1 cleared, missing macros to 0), the apply's working tables and
// cycleColourMask, and returns what must be written. "Error!" messages of the
// encoder go to the session's sink.
DeviceImage BuildDeviceImage(Session& s, int memoryBankBit);

struct ApplyResult {
    ApplyEnd end = ApplyEnd::Completed;
    std::size_t transactions = 0;
    std::size_t bytes = 0;
    std::size_t blocks = 0;
    std::chrono::steady_clock::duration elapsed{};
    std::string failure;    // why the apply ended early, for DeviceFailed
    std::string saveError;  // the mouse took everything, but a file could not be saved
    bool completed() const { return end == ApplyEnd::Completed; }
    bool succeeded() const { return completed() && saveError.empty(); }
};

// The whole apply on the UI thread: status read, the current group saved,
// the image, the CPI state and finish, the system settings, CurConfig with
// the four profiles in one save, the host view republished. An apply that ends
// early (macro area full, LED range, a report the mouse did not take) leaves
// config.ini as it was. A record that was never loaded is not applied at all.
// Every outcome but success shows one message through the session's sink.
ApplyResult ApplySettings(Session& s);

}  // namespace kx700::programming
