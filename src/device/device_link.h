#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "device/hid_backend.h"
#include "device/report_layout.h"

namespace kx700::device {

struct IdentifierPair {
    std::uint16_t vendorId;
    std::uint16_t productId;
};

// Either pair identifies the mouse.
inline constexpr std::array<IdentifierPair, 2> kIdentifierPairs = {{{0x18F8, 0x13C0}, {0x30FA, 0x1330}}};
bool IsMouseIdentifier(std::uint16_t vendorId, std::uint16_t productId);

// The collection the mouse writes its events to, and the one that carries
// feature reports.
inline constexpr std::uint16_t kReadUsagePage = 0xFF00;
inline constexpr std::uint16_t kWriteUsagePage = 0xFF01;
inline constexpr std::uint16_t kVendorUsage = 1;
// Discovery looks at no more interfaces than this. An interface is one path;
// hidapi lists a path once per top-level collection, so this is not a count
// of enumeration entries. An empty slot costs one attempt of its own.
inline constexpr std::size_t kMaxInterfaces = 100;

// The link to the mouse: the two opened collections, their report lengths
// and the report buffers. One per session; not copyable.
struct DeviceLink {
    DeviceLink() = default;
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    HidBackend* backend = nullptr;               // set by DiscoverDevice; used to notice removal
    std::unique_ptr<HidConnection> writeHandle;  // feature reports; touched only under transactionMutex
    std::unique_ptr<HidConnection> readHandle;   // input reports; the reader thread's alone
    std::size_t featureReportLength = kCommandLength;
    std::size_t inputReportLength = kReportBufferSize;
    std::string devicePath;
    std::atomic<bool> devicePresent{false};  // the reader thread clears it on removal

    // Every feature-report transaction (a command with its pauses, a whole
    // memory write, a status read with its reply) holds this mutex, so the
    // threads that talk to the mouse never interleave their reports.
    std::mutex transactionMutex;
    std::array<std::uint8_t, kReportBufferSize> FeatureReport{};  // under transactionMutex
    // The mouse must not be sent anything before this moment (the pause the
    // previous report asked for); under transactionMutex.
    std::chrono::steady_clock::time_point quietUntil{};
    // Off only in tests that replay an apply hundreds of times against the
    // simulated mouse (which then counts the short pauses as violations).
    bool pace = true;

    std::array<std::uint8_t, kReportBufferSize> InputReport{};  // reader thread only
    // Without a read collection no failed read tells of an unplug, so the
    // reader looks for `devicePath` in the listing now and then; the next look
    // is due at this moment. Reader thread only.
    std::chrono::steady_clock::time_point nextListingCheck{};
};

enum class DiscoveryResult {
    NotFound,            // no collection with the mouse's identifiers
    NoAccess,            // the mouse is there, but its collections may not be opened
    MissingCollections,  // the mouse is there, but a vendor collection is absent or failed to open
    Ready,               // both collections are open
};

struct Discovery {
    DiscoveryResult result = DiscoveryResult::NotFound;
    std::string detail;  // why a collection could not be opened, for the user
};

// Walks the backend's enumeration (at most kMaxInterfaces distinct paths and
// empty slots together; every entry of a path within that budget is looked
// at, an empty slot is skipped and does not end the walk) and opens the read and write collections of the mouse.
// Leaves `devicePresent` true for every result but NotFound, and
// `devicePath` the path of the last matching collection examined, which is
// the one that completed the pair when the result is Ready. `backend` must
// outlive the link.
Discovery DiscoverDevice(DeviceLink& link, HidBackend& backend);

// True when a path announced by the system names the matched interface;
// letter case is not significant.
bool MatchesDevicePath(std::string_view devicePath, std::string_view announcedPath);

// Words for the user: "found, no access" and its siblings.
std::string_view DescribeDiscovery(DiscoveryResult result);

}  // namespace kx700::device
