#pragma once

// `kx700ctl doctor`: walks the way from the system to a working mouse, one
// check after the other, and says for each what is wrong and which command
// fixes it. Everything the checks read from the system comes in through
// DoctorInputs, so a test can prepare any situation in a temporary folder.

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "platform/paths.h"

namespace kx700::ctl {

enum class CheckVerdict {
    Ok,       // nothing to do
    Note,     // worth knowing (no tray, a Wayland session); the mouse still works
    Warning,  // may cause trouble (no udev rule while access works, another program on the node)
    Problem,  // the mouse cannot be used until this is fixed
    Unknown,  // could not be found out; said honestly rather than guessed
};

struct CheckResult {
    std::string name;  // "mouse", "access", … as printed at the start of the line
    CheckVerdict verdict = CheckVerdict::Ok;
    std::string text;  // what was found, or what is wrong
    std::string fix;   // the command (or step) that fixes it; empty when nothing is to do
};

// Whether a StatusNotifier host (the tray) answers on the session bus: true,
// false, or nullopt when it cannot be found out (no bus, no tool to ask).
using TrayProbe = std::function<std::optional<bool>()>;

struct DoctorInputs {
    device::HidBackend* backend = nullptr;  // the system's HID devices or the simulated mouse
    bool simulated = false;
    std::optional<std::filesystem::path> simState;  // the simulated mouse's state file: its lock key
    // Where device nodes and processes are looked for. The backend's paths
    // name nodes under /dev; they are read under devRoot instead.
    std::filesystem::path devRoot = "/dev";
    std::filesystem::path procRoot = "/proc";
    // udev's rule folders, highest precedence first: a file of the same name
    // in an earlier folder hides the later ones.
    std::vector<std::filesystem::path> udevRuleFolders = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                                          "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                                          "/lib/udev/rules.d"};
    std::map<std::string, std::string> environment;  // XDG_SESSION_TYPE, WAYLAND_DISPLAY, DISPLAY
    Folders folders;
    TrayProbe tray;   // unset: the tray's presence is unknown
    long ownPid = 0;  // this process, left out of the search for other holders
};

// The inputs of this process: the real /dev, /proc, udev folders and
// environment, and the tray asked through dbus-send or busctl.
DoctorInputs SystemDoctorInputs();

// The checks in their order: mouse, access, udev rule, owner, session, tray,
// folders, factory data.
std::vector<CheckResult> RunDoctor(const DoctorInputs& inputs);

// True when no check found a Problem.
bool MouseUsable(const std::vector<CheckResult>& results);

// One line per check: verdict, name, what was found, and "fix: COMMAND".
void PrintDoctor(std::ostream& out, const std::vector<CheckResult>& results);

// The same as one JSON object: {"usable": bool, "checks": [{name, verdict, text, fix}, …]}.
void PrintDoctorJson(std::ostream& out, const std::vector<CheckResult>& results);

// `kx700ctl doctor`: exit 0 when the mouse is usable, 1 otherwise.
struct Options;
int RunDoctorCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
