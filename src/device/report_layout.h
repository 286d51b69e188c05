#pragma once

// Byte layout of the mouse's reports, shared by the host side and the
// simulated firmware so the two cannot drift apart.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "device/memory_map.h"

namespace kx700::device {

inline constexpr std::size_t kReportBufferSize = 260;
inline constexpr std::size_t kCommandLength = 8;  // bytes the host ever fills

inline constexpr std::uint8_t kFeatureReportId = 7;
inline constexpr std::uint8_t kInputReportId = 6;

// Byte 1 of a feature report.
inline constexpr std::uint8_t CMD_HOLD = 0x11;
inline constexpr std::uint8_t CMD_CONSUMER = 0x17;
inline constexpr std::uint8_t CMD_MEMORY = 0x18;
inline constexpr std::uint8_t CMD_EXIT = 0x20;
inline constexpr std::uint8_t CMD_DPI_STATE = 0x49;

// Byte 2 of a CMD_MEMORY report.
inline constexpr std::uint8_t MEM_IDLE = 0x00;
inline constexpr std::uint8_t MEM_WRITE_BYTE = 0x03;
inline constexpr std::uint8_t MEM_END_BLOCK = 0x09;
inline constexpr std::uint8_t MEM_FINISH = 0x10;

inline constexpr std::uint8_t kHoldDown = 0x02;
inline constexpr std::uint8_t kHoldUp = 0x00;
inline constexpr std::uint8_t kDpiLevelTag = 0x40;  // byte 3 of CMD_DPI_STATE = level + this

// Byte 1 of an input report.
inline constexpr std::uint8_t EVT_CORRECTION_UP = 0x01;
inline constexpr std::uint8_t EVT_CORRECTION_DOWN = 0x02;
inline constexpr std::uint8_t EVT_PROFILE_CHANGED = 0x03;
inline constexpr std::uint8_t EVT_BUTTON_BASE = 0xF0;
// Byte 2 of a button event.
inline constexpr std::uint8_t kButtonReleased = 0x80;
inline constexpr std::uint8_t kLevelFlag = 0x80;
inline constexpr std::uint8_t kLevelMask = 0x07;

// Status reply, byte 6 and byte 7.
inline constexpr std::size_t kStatusByte = 6;
inline constexpr std::size_t kNibbleByte = 7;

inline constexpr std::size_t kDeviceMemorySize = mem::kMemorySize;
inline constexpr std::size_t kMaxBlockLength = 8;

// The mouse needs these quiet times after the named reports.
inline constexpr std::chrono::milliseconds kPauseBeforeEndBlock{4};
inline constexpr std::chrono::milliseconds kPauseAfterEndBlock{2};
inline constexpr std::chrono::milliseconds kPauseAfterDpiState{2};
inline constexpr std::chrono::milliseconds kPauseAfterFinish{2};
// Before the first status read after discovery.
inline constexpr std::chrono::milliseconds kPauseBeforeFirstStatus{5};

}  // namespace kx700::device
