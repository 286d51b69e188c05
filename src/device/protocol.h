#pragma once

// The commands the host sends on the write collection. Each function is one
// transaction: it holds the link's transaction mutex for its reports and
// pauses, so callers on different threads never interleave. Pauses are
// deadlines on the steady clock taken after the report that asks for them;
// the next report of any transaction waits for them.
#include <cstdint>
#include <optional>
#include <span>

#include "device/device_link.h"
#include "platform/status.h"

namespace kx700::device {

// Bytes 6 and 7 of the status reply.
struct DeviceStatus {
    std::uint8_t byte6 = 0;
    std::uint8_t byte7 = 0;

    int memoryBankBit() const { return (byte6 >> 1) & 1; }
    int currentProfile() const { return (byte6 >> 2) & 3; }
    int deviceNibble() const { return byte7 & 0x0F; }
};

// Every function returns an error when no write collection is open, when the
// arguments are out of range (nothing is then sent), or when the mouse did not
// take a report; the message names the first failure. A transaction whose
// report fails is still completed, so the mouse is left idle, unless the
// mouse is gone.

// Writes `data` (1 to 8 bytes) at `address`: the data bytes back to back,
// the end-of-block report 4 ms later, the idle report 2 ms after that.
// A block that would reach past the mouse's memory is refused.
[[nodiscard]] Status WriteDeviceMemory(DeviceLink& link, std::uint16_t address, std::span<const std::uint8_t> data);

// Tells the mouse the apply is complete, then back to idle after 2 ms.
[[nodiscard]] Status FinishProgramming(DeviceLink& link);

// level: 0 to 3; enabledMask: bit k for CPI level k, only bits 0-3 are used.
[[nodiscard]] Status SendDpiState(DeviceLink& link, int level, std::uint8_t enabledMask);

[[nodiscard]] Status SendHoldState(DeviceLink& link, bool held);

[[nodiscard]] Status SendConsumerUsage(DeviceLink& link, std::uint16_t usage);

// Sent only while a write collection is open; without one it does nothing
// and succeeds, since there is no mouse to tell.
[[nodiscard]] Status SendExitNotice(DeviceLink& link);

// Asks for the status reply. nullopt when there is no write collection or the
// mouse did not answer with a full report; the caller keeps the values it
// derived before.
std::optional<DeviceStatus> ReadDeviceStatus(DeviceLink& link);

}  // namespace kx700::device
