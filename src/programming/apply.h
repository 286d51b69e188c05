#pragma once

// The apply: the whole record and the macros its buttons use become the
// mouse's memory image, which is written, finished, and then the system's
// pointer settings and config.ini follow.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "programming/session.h"

namespace kx700::programming {

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

// A macro block as the image places it: the first position that names its
// value, where it starts, how many bytes it takes.
struct PlacedBlock {
    int profile = 0;   // profile slot
    int position = 0;  // code position
    std::int32_t value = 0;
    std::int32_t address = 0;
    std::size_t size = 0;
};

// The image as data, in the order it is written.
struct DeviceImage {
    std::vector<MemoryWrite> fixed;        // 0x01, then 0x08 .. 0x78
    std::vector<MemoryWrite> descriptors;  // 8 bytes per code position that needs one
    std::vector<MemoryWrite> data;         // the macro blocks, 8 bytes at a time
    std::size_t dataBlocks = 0;            // distinct macro blocks
    // Every distinct macro block in the order the data is written, also the
    // ones past the limit that the data stops before (what measures the area).
    std::vector<PlacedBlock> blocks;
    ApplyEnd end = ApplyEnd::Completed;  // when not Completed, the writes stop after `data`
    ApplyState::FirstBlock firstBlock;   // what the first block will hold once all is written
};

// What the image is built from; nothing here is changed by the build.
struct ImageInputs {
    const MouseSettings& settings;
    int currentProfile = 0;
    // The group directory, the constant macros and the folder whose group
    // files the user macros are read from.
    const macro::MacroState& macros;
    // The tables of the last apply: the lighting-mode state and slot 1's
    // device codes and host flags carry over from it.
    const ApplyState& previous;
    std::uint8_t deviceNibble = 0;
    int memoryBankBit = 0;
    MessageSink& sink;  // the encoder's "Error!" messages
    // The macro being edited (the current group's table.currentMacro) from the
    // table instead of its file: what the file will hold once the apply has
    // saved it.
    bool currentGroupFromTable = false;
};

// What the apply changes in the record before it writes anything.
struct RecordChanges {
    // The button table with slot 1 cleared and every user macro that does not
    // exist replaced by 0.
    std::array<std::array<std::int32_t, kButtons>, kProfileSlots> buttonAssign{};
    std::uint8_t cycleColourMask = 0;
};

// The record's changes of an apply, as data.
RecordChanges RecordChangesOf(const MouseSettings& settings, const macro::GroupDirectory& groups);

struct BuiltImage {
    DeviceImage image;
    ApplyState tables;  // `previous` with the working tables rebuilt
    RecordChanges record;
};

// Steps 4 to 9 of the apply without a device: what must be written, the
// apply's new working tables and the record's changes, as data. Each macro is
// read once per build, however many positions use it.
BuiltImage BuildDeviceImage(const ImageInputs& in);

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

// The apply in three steps, so that the slow middle one can run on a worker
// while the thread that owns the session goes on answering its user.
struct PreparedApply {
    bool write = false;  // false: the apply has ended already, `result` says how
    ApplyResult result;
    DeviceImage image;
    int dpiLevel = 0;
    std::uint8_t dpiEnabledMask = 0;
    std::chrono::steady_clock::time_point started;
    // Transactions the write will send when every one succeeds.
    std::size_t total() const;
};

// Called on the writing thread after every transaction.
using ApplyProgress = std::function<void(std::size_t done, std::size_t total)>;

// Owner's thread: status read, the current group saved, the image built, the
// record and the working tables changed. Sends nothing but the status read.
PreparedApply PrepareApply(Session& s);
// Any thread: the image, then the CPI state and finish. Touches only `link`
// (whose mutex serialises it against the monitor's answers) and `p`.
void WriteApplyImage(device::DeviceLink& link, PreparedApply& p, const ApplyProgress& progress = {});
// Owner's thread, after the write: the system settings, CurConfig with the
// four profiles in one save, the host view republished, the message of an
// apply that did not succeed.
ApplyResult FinishApply(Session& s, PreparedApply& p);

// The three steps in a row: status read, the current group saved, the image,
// the CPI state and finish, the system settings, CurConfig with the four
// profiles in one save, the host view republished. An apply that ends early
// (macro area full, LED range, a report the mouse did not take) leaves
// config.ini as it was. A record that was never loaded is not applied at all.
// Every outcome but success shows one message through the session's sink.
ApplyResult ApplySettings(Session& s, const ApplyProgress& progress = {});

}  // namespace kx700::programming
