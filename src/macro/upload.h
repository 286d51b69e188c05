#pragma once

// Turning a macro into the image the mouse plays from its own memory, and
// writing that image.

#include <cstdint>
#include <span>
#include <vector>

#include "macro/record.h"
#include "platform/message_sink.h"

namespace kx700::macro {

// LED blocks must lie below this device address.
inline constexpr std::uint32_t kLedAddressLimit = 0x4000;
inline constexpr std::size_t kMemoryBlock = 8;

// The device side of an upload: one memory-write transaction of at most 8
// bytes at a device address. The device link implements it.
class MemoryWriter {
public:
    virtual ~MemoryWriter() = default;
    virtual void writeMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) = 0;
};

// A short run-mode-2 macro (pauses adding up to 20 ms or less) is repeated
// inside one image, 40 / total times, so that one run lasts about 40 ms; CPI, LED and reserved
// events act only in the first copy. Other records come back unchanged.
MacroRecord UnrollShortMacro(const MacroRecord& r);

// Image size from the record's counters and sequence tables.
std::size_t MeasureMacroImage(const MacroRecord& r);

// One pause in polling intervals, 1..127.
std::uint8_t PauseIntervals(std::uint16_t delayMs, int pollIntervalMs);

struct EncodedImage {
    std::vector<std::uint8_t> bytes;  // exactly the requested size
    bool applyMayContinue = true;     // false: an LED block left the LED range
};

// The image of the record for a block of `size` bytes at device `address`
// (LED elements carry absolute addresses). Problems are shown as "Error!".
// Nothing is ever written past `size`. An LED event whose sequence has no
// steps, or names no sequence slot, is left out.
EncodedImage EncodeMacroImage(const MacroRecord& r, std::uint32_t address, std::size_t size, int pollIntervalMs,
                              MessageSink& sink);

// Writes the image in 8-byte transactions at address, address + 8, ...; the
// last carries the remainder. Stops before a transaction would pass the end
// of the 16-bit address space.
void WriteImage(MemoryWriter& writer, std::uint16_t address, std::span<const std::uint8_t> image);

// The correction asked for by the mouse: every move's vertical distance one
// step up (at most 30) or down (at least 0).
void CorrectMoves(MacroRecord& r, bool up);

}  // namespace kx700::macro
