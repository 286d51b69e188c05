#include "device/device_link.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

namespace kx700::device {
namespace {

bool IsCollection(const HidInterfaceInfo& info, std::uint16_t usagePage) {
    return info.usagePage == usagePage && info.usage == kVendorUsage;
}

// A length the buffers can hold; `fallback` when the backend does not know.
std::size_t UsableLength(std::size_t reported, std::size_t fallback, std::size_t minimum) {
    if (reported == 0) return fallback;
    return std::clamp(reported, minimum, kReportBufferSize);
}

constexpr std::size_t kInputEventLength = 3;  // report ID, event, state

// Opens one collection; remembers the worst reason a collection stayed shut.
std::unique_ptr<HidConnection> OpenCollection(HidBackend& backend, const HidInterfaceInfo& info, bool& denied,
                                              std::string& detail) {
    HidOpenResult opened = backend.open(info);
    if (opened.status == HidOpenStatus::Ok && opened.connection) return std::move(opened.connection);
    if (opened.status == HidOpenStatus::NoAccess) denied = true;
    detail = info.path + ": " + (opened.error.empty() ? "cannot be opened" : opened.error);
    return nullptr;
}

}  // namespace

bool IsMouseIdentifier(std::uint16_t vendorId, std::uint16_t productId) {
    return std::any_of(kIdentifierPairs.begin(), kIdentifierPairs.end(),
                       [&](const IdentifierPair& p) { return p.vendorId == vendorId && p.productId == productId; });
}

Discovery DiscoverDevice(DeviceLink& link, HidBackend& backend) {
    link.backend = &backend;
    link.devicePresent = false;
    Discovery out;
    bool denied = false;

    const HidEnumeration slots = backend.enumerate(&out.detail);
    // Attempts are interfaces, not entries: a path is counted when it first
    // appears, and its further collections come free.
    std::unordered_set<std::string_view> paths;
    std::size_t attempts = 0;
    for (const std::optional<HidInterfaceInfo>& slot : slots) {
        const bool newAttempt = !slot || !paths.contains(slot->path);
        if (newAttempt) {
            if (attempts == kMaxInterfaces) break;
            ++attempts;
        }
        if (!slot) continue;  // a slot that did not enumerate does not end the walk
        const HidInterfaceInfo& info = *slot;
        paths.insert(info.path);
        if (!IsMouseIdentifier(info.vendorId, info.productId)) continue;
        link.devicePresent = true;
        link.devicePath = info.path;
        if (!link.readHandle && IsCollection(info, kReadUsagePage)) {
            link.readHandle = OpenCollection(backend, info, denied, out.detail);
            if (link.readHandle)
                link.inputReportLength =
                    UsableLength(link.readHandle->inputReportLength(), kReportBufferSize, kInputEventLength);
        }
        if (!link.writeHandle && IsCollection(info, kWriteUsagePage)) {
            link.writeHandle = OpenCollection(backend, info, denied, out.detail);
            if (link.writeHandle)
                link.featureReportLength =
                    UsableLength(link.writeHandle->featureReportLength(), kCommandLength, kCommandLength);
        }
        if (link.readHandle && link.writeHandle) break;
    }

    if (!link.devicePresent) {
        out.result = DiscoveryResult::NotFound;
    } else if (link.readHandle && link.writeHandle) {
        out.result = DiscoveryResult::Ready;
        out.detail.clear();
    } else {
        out.result = denied ? DiscoveryResult::NoAccess : DiscoveryResult::MissingCollections;
    }
    return out;
}

bool MatchesDevicePath(std::string_view devicePath, std::string_view announcedPath) {
    return !devicePath.empty() &&
           std::equal(
               devicePath.begin(), devicePath.end(), announcedPath.begin(), announcedPath.end(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
}

std::string_view DescribeDiscovery(DiscoveryResult result) {
    switch (result) {
        case DiscoveryResult::NotFound: return "no KX700 mouse found";
        case DiscoveryResult::NoAccess: return "found, no access";
        case DiscoveryResult::MissingCollections: return "found, but its configuration collections are missing";
        case DiscoveryResult::Ready: return "ready";
    }
    return "unknown";
}

}  // namespace kx700::device
