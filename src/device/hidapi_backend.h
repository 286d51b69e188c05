#pragma once

#include "device/hid_backend.h"

namespace kx700::device {

// The system's HID devices through hidapi (hidraw on Linux). hid_init runs
// once per process, on first use. Each open() opens the path anew, so the
// read and write collections that Linux puts on one hidraw node get one
// hid_device each: the reader thread and the feature transactions never
// share a handle.
class HidapiBackend final : public HidBackend {
public:
    HidEnumeration enumerate(std::string* error = nullptr) override;
    HidOpenResult open(const HidInterfaceInfo& info) override;
};

}  // namespace kx700::device
