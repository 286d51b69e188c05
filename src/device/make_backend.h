#pragma once

// Where the mouse comes from, chosen the same way by the window and kx700ctl:
// the system's HID devices, or the simulated mouse (fresh, or kept in a state
// file).

#include <filesystem>
#include <memory>
#include <optional>

#include "device/hid_backend.h"
#include "device/simulated_mouse.h"
#include "platform/status.h"

namespace kx700::device {

struct BackendChoice {
    bool simulate = false;                          // also implied by simState
    std::optional<std::filesystem::path> simState;  // the simulated mouse's state file
};

struct Backend {
    std::shared_ptr<SimulatedMouse> sim;  // set for the simulated mouse
    std::unique_ptr<HidBackend> backend;
};

// A damaged state file is an error (never a silent fresh mouse); a missing
// one starts a fresh mouse that will be saved there.
Status MakeBackend(const BackendChoice& choice, Backend& out);

}  // namespace kx700::device
