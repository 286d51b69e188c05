#pragma once

// The simulated mouse's state file: memory, status reply, firmware state,
// violation counters and the protocol log, as text, so one kx700ctl call can
// inspect what another (or the window) programmed.
#include <filesystem>
#include <string>
#include <string_view>

#include "device/simulated_mouse.h"
#include "platform/status.h"

namespace kx700::device {

// One log line: microseconds since the state began, direction, bytes in hex.
std::string FormatLogEntry(const SimLogEntry& entry);

std::string SerializeSimState(const SimulatedMouseState& state);

// Parses a whole state file. On error `out` is unspecified and the Status
// names the line.
Status ParseSimState(std::string_view text, SimulatedMouseState& out);

// A missing file gives a fresh mouse (`existed` false); an unreadable or
// damaged file is an error, never silently a fresh mouse.
Status LoadSimState(const std::filesystem::path& file, SimulatedMouseState& out, bool& existed);

// Replaces the file atomically.
Status SaveSimState(const std::filesystem::path& file, const SimulatedMouseState& state);

}  // namespace kx700::device
