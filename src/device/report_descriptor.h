#pragma once

// HID report descriptors, reduced to what the link needs: for every top-level
// collection its usage and the byte lengths of its reports. The descriptor
// comes from the device (on Linux the hidraw node's, which holds every
// top-level collection of the interface), so any byte string may arrive here:
// the parser never reads past the input, never overflows, keeps its memory
// bounded by the input's length, and answers "cannot parse" (nullopt) rather
// than lengths it is not sure of. Standard library only.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kx700::device {

struct HidTopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    // The longest report of each kind with fields in this collection, in
    // bytes on the wire: its fields' bits rounded up to whole bytes, plus one
    // for the report ID byte when the descriptor uses report IDs. A report
    // whose fields lie in several collections counts whole in each. 0 when the
    // collection has no report of that kind.
    std::size_t inputReportLength = 0;
    std::size_t outputReportLength = 0;
    std::size_t featureReportLength = 0;
    bool usesReportIds = false;           // the same for every collection of a descriptor
    std::vector<std::uint8_t> reportIds;  // of the reports with fields here; ascending, distinct, never 0

    friend bool operator==(const HidTopLevelCollection&, const HidTopLevelCollection&) = default;
};

// Limits past which a descriptor is refused. They follow what the Linux HID
// core accepts, so a descriptor the kernel took is never refused here.
inline constexpr std::size_t kMaxDescriptorLength = 4096;
inline constexpr std::size_t kMaxCollectionDepth = 32;
inline constexpr std::size_t kMaxGlobalStackDepth = 16;
inline constexpr std::uint32_t kMaxReportSizeBits = 256;  // one field
inline constexpr std::uint32_t kMaxReportCount = 12288;   // fields of one item
inline constexpr std::size_t kMaxReportLength = 16384;    // one report, report ID byte included

// Parses a whole descriptor; the collections come in descriptor order.
// A collection's usage is its first Usage (or Usage Minimum) item; a Usage
// without a page of its own takes the Usage Page in force at the Collection
// item. nullopt ("cannot parse") for:
// - an item cut off by the end of the input, a long item included;
// - End Collection without an open collection, a collection still open at
//   the end, nesting deeper than kMaxCollectionDepth;
// - Pop without Push, Push beyond kMaxGlobalStackDepth;
// - an unknown global item, a Usage Page above 0xFFFF, Report ID 0 or above
//   255, Report Size or Report Count above their limits;
// - an Input, Output or Feature item outside every collection;
// - report IDs used in the descriptor while an Input, Output or Feature item
//   has none (the HID rule: with IDs, every report carries one);
// - a report with more than kMaxReportLength - 1 bytes besides its report ID
//   byte, or an input longer than kMaxDescriptorLength.
// Long items, reserved items and unknown main and local items are skipped.
// An empty descriptor parses to no collections.
std::optional<std::vector<HidTopLevelCollection>> ParseReportDescriptor(std::span<const std::uint8_t> descriptor);

// The first collection with that usage, or nullptr.
const HidTopLevelCollection* FindCollection(const std::vector<HidTopLevelCollection>& collections,
                                            std::uint16_t usagePage, std::uint16_t usage);

}  // namespace kx700::device
