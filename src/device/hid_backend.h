#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kx700::device {

// One HID collection as the system lists it. On Linux one hidraw node carries
// every collection of an interface, so several entries may share one path.
struct HidInterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// An enumeration is a list of slots; a slot whose details could not be read
// is empty and is skipped by its users, it does not end the walk.
using HidEnumeration = std::vector<std::optional<HidInterfaceInfo>>;

enum class HidIoStatus {
    Ok,            // the transfer happened; `bytes` says how many bytes
    Timeout,       // input read only: no report arrived in time; nothing is wrong
    Disconnected,  // the device is gone; every later transfer on it fails too
    Failed,        // the device refused or the transfer broke; it may still be present
};

struct HidIo {
    HidIoStatus status = HidIoStatus::Failed;
    std::size_t bytes = 0;
    bool ok() const { return status == HidIoStatus::Ok; }
};

// An opened path. Each method may be called from any thread, but the caller
// must not run two transfers of the same kind at once (DeviceLink serialises
// feature reports; only the reader thread reads input reports).
class HidConnection {
public:
    virtual ~HidConnection() = default;

    // Sends report[0..size) as a feature report; report[0] is the report ID.
    virtual HidIo sendFeatureReport(std::span<const std::uint8_t> report) = 0;

    // Asks for the feature report whose ID is buffer[0]; the reply (report ID
    // included) overwrites the buffer from its start. Ok with `bytes` the
    // length of the reply, which may be shorter than the buffer.
    virtual HidIo getFeatureReport(std::span<std::uint8_t> buffer) = 0;

    // Waits at most `timeout` for one input report, copied into the buffer
    // with its report ID first. Timeout means no report came, not a fault.
    virtual HidIo readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) = 0;

    // Lengths of the collection's reports, report ID included; 0 when unknown.
    virtual std::size_t featureReportLength() const = 0;
    virtual std::size_t inputReportLength() const = 0;
};

enum class HidOpenStatus {
    Ok,        // `connection` is set
    NoAccess,  // the path exists but we may not open it (on Linux: hidraw permissions)
    NotFound,  // the path no longer exists
    Failed,    // any other refusal
};

struct HidOpenResult {
    HidOpenStatus status = HidOpenStatus::Failed;
    std::unique_ptr<HidConnection> connection;
    std::string error;  // the system's reason, for messages; empty on success
};

// Where HID devices come from: the system (hidapi) or the simulated mouse.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Lists the present HID collections. An empty list means none, or that
    // the system could not be asked (then `error`, if given, says why).
    virtual HidEnumeration enumerate(std::string* error = nullptr) = 0;

    // Opens one collection. `info` is an entry of enumerate(); backends that
    // open a whole path (hidapi) use only its path.
    virtual HidOpenResult open(const HidInterfaceInfo& info) = 0;
};

}  // namespace kx700::device
