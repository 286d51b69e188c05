#pragma once

#include <memory>
#include <optional>
#include <ostream>

#include "app/ctl_options.h"
#include "device/hid_backend.h"
#include "device/simulated_mouse.h"
#include "platform/mouse_lock.h"
#include "platform/status.h"

namespace kx700::ctl {

// Exit codes of kx700ctl.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// Returned by RunDeviceCommand for commands it does not know.
inline constexpr int kNotADeviceCommand = -1;

// Runs list, status, memory, log, describe or sim-status. Results go to
// `out`, messages to `err`. With --sim-state the simulated mouse is loaded
// from the file first and, when the command changed it, saved back in one
// atomic replacement.
// The mouse a command talks to: the system's, or the simulated one.
struct Mouse {
    std::shared_ptr<device::SimulatedMouse> sim;
    std::unique_ptr<device::HidBackend> backend;
    MouseLock lock;                    // this process owns the mouse while it is held
    std::optional<LockHolder> heldBy;  // set when another process owns it
};
// A simulated mouse kept in --sim-state is claimed before its file is read
// (except for `list`, which only looks); see ClaimMouse.
Status OpenMouse(const Options& o, Mouse& mouse);

// Takes the mouse named by `key` for this process. The window's hold is
// reported at once (kx700ctl apply then asks the window); another kx700ctl's
// is waited for a short while. On failure `heldBy` names the holder, the
// status says so.
Status ClaimMouse(const Options& o, Mouse& mouse, const std::string& key);

// True when the mouse is held by the window, which can apply for us.
bool HeldByWindow(const Mouse& mouse);
// The window, when it holds the mouse these options name (looked at, not
// taken): the state file's mouse, or any listed KX700 collection.
std::optional<LockHolder> WindowHoldingMouse(const Options& o);
// Saves the simulated mouse into --sim-state, when given.
Status SaveMouse(const Options& o, const Mouse& mouse);

int RunDeviceCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
