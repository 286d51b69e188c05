#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "device/hid_backend.h"

namespace kx700::device {

// Report lengths of one collection, report ID byte included; 0 when unknown.
struct CollectionLengths {
    std::size_t feature = 0;
    std::size_t input = 0;
    friend bool operator==(const CollectionLengths&, const CollectionLengths&) = default;
};

// The lengths of the top-level collection (usagePage, usage) of a hidraw node
// ("/dev/hidrawN"), from the report descriptor of its interface: the sysfs
// file `sysfsRoot`/hidrawN/device/report_descriptor, else the HIDIOCGRDESC
// ioctl on the node. Both zero when the path is no hidraw node, neither source
// can be read, the descriptor does not parse, or it has no such collection.
CollectionLengths ReadCollectionLengths(const std::string& devicePath, std::uint16_t usagePage, std::uint16_t usage,
                                        const std::filesystem::path& sysfsRoot = "/sys/class/hidraw");

// The system's HID devices through hidapi (hidraw on Linux). hid_init runs
// once per process, on first use. Each open() opens the path anew, so the
// read and write collections that Linux puts on one hidraw node get one
// hid_device each: the reader thread and the feature transactions never
// share a handle. hidapi 0.13 does not tell report lengths; an opened
// collection takes them from ReadCollectionLengths.
class HidapiBackend final : public HidBackend {
public:
    HidEnumeration enumerate(std::string* error = nullptr) override;
    HidOpenResult open(const HidInterfaceInfo& info) override;
};

}  // namespace kx700::device
