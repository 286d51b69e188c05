#pragma once

#include <memory>

#include "device/hid_backend.h"
#include "device/simulated_mouse.h"

namespace kx700::device {

// Lists and opens the simulated mouse's collections. Shares the mouse, so a
// test or the demo can keep a pointer to it, play the user's hands and look
// at its memory while a DeviceLink talks to it.
class SimulatedBackend final : public HidBackend {
public:
    explicit SimulatedBackend(std::shared_ptr<SimulatedMouse> mouse);

    HidEnumeration enumerate(std::string* error = nullptr) override;
    HidOpenResult open(const HidInterfaceInfo& info) override;

    SimulatedMouse& mouse() { return *mouse_; }
    const std::shared_ptr<SimulatedMouse>& sharedMouse() const { return mouse_; }

private:
    std::shared_ptr<SimulatedMouse> mouse_;
};

}  // namespace kx700::device
