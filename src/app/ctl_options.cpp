#include "app/ctl_options.h"

#include <algorithm>

namespace kx700::ctl {

const char* const kUsage =
    "usage: kx700ctl [--simulate | --sim-state FILE] [--data-dir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  list         the mouse's HID interfaces: path, identifiers, usage page/usage, access\n"
    "  status       the mouse's current profile, memory bank bit and device nibble\n"
    "  apply        program the mouse from config.ini and the macros, as the window's Apply does\n"
    "  monitor [--apply-first] [--script \"press 5; release 5; dpi 6 2; profile 2; correction up; wait 20\"]\n"
    "               answer the mouse's events and print them; --script plays the simulated mouse\n"
    "  settings     describe the settings stored in config.ini\n"
    "  doctor       check, in order, what a working mouse needs (the mouse and its collections,\n"
    "               access to its hidraw nodes, the udev rule, other programs holding it, the\n"
    "               session, the tray, the settings and user folders, the factory data); one\n"
    "               line per check with the command that fixes it; exit 0 when the mouse is usable\n"
    "  autostart on|off|status\n"
    "               start kx700 minimised at every login (an XDG autostart entry), stop\n"
    "               doing so, or say which it is\n"
    "simulated mouse only:\n"
    "  memory [--raw]   hex dump of its 16 KiB memory (--raw: the bytes themselves)\n"
    "  log              every report it received or sent: microseconds, direction, bytes\n"
    "  describe         its memory in words, with the protocol faults it counted\n"
    "  sim-status [--bank 0|1] [--profile 0-3] [--nibble 0-15]\n"
    "             [--disconnect-after N|off] [--fail-reads on|off] [--deny-access on|off]\n"
    "                   set what its status reply says and its fault knobs, then print them:\n"
    "                   unplugged after N more feature reports, every input read failing,\n"
    "                   its collections refusing to open; kept in the --sim-state file, so\n"
    "                   the next kx700ctl or kx700 --sim-state FILE meets the fault\n"
    "\n"
    "options:\n"
    "  --simulate        talk to the built-in simulated mouse instead of the real one\n"
    "  --sim-state FILE  keep the simulated mouse's state in FILE (a missing file is a\n"
    "                    fresh mouse); implies --simulate\n"
    "  --data-dir DIR    keep all files in DIR, as one portable folder (also KX700_HOME);\n"
    "                    installed, data comes from <prefix>/share/kx700 and settings and\n"
    "                    macros are kept in ${XDG_DATA_HOME:-~/.local/share}/kx700\n"
    "  -h, --help        show this help\n"
    "\n"
    "exit status: 0 success, 1 failure (message on stderr), 2 usage error\n";

bool TakeValue(std::vector<std::string>& args, const std::string& name, std::optional<std::string>& value,
               std::string& error) {
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (*it == name) {
            if (std::next(it) == args.end()) {
                error = name + " needs a value";
                return false;
            }
            value = *std::next(it);
            args.erase(it, it + 2);
            return true;
        }
        if (it->rfind(name + "=", 0) == 0) {
            value = it->substr(name.size() + 1);
            args.erase(it);
            return true;
        }
    }
    return true;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

Parsed ParseOptions(const std::vector<std::string>& argv) {
    Parsed out;
    std::vector<std::string> rest = argv;
    Options& o = out.options;
    const bool shortHelp = TakeFlag(rest, "-h");  // both spellings leave the arguments
    const bool longHelp = TakeFlag(rest, "--help");
    o.help = shortHelp || longHelp;
    o.simulate = TakeFlag(rest, "--simulate");
    std::optional<std::string> simState, dataDir;
    if (!TakeValue(rest, "--sim-state", simState, out.error) || !TakeValue(rest, "--data-dir", dataDir, out.error))
        return out;
    if (simState) {
        if (simState->empty()) {
            out.error = "--sim-state needs a file";
            return out;
        }
        o.simState = *simState;
        o.simulate = true;
    }
    if (dataDir) o.dataDir = *dataDir;
    if (!rest.empty()) {
        o.command = rest.front();
        o.args.assign(rest.begin() + 1, rest.end());
    }
    return out;
}

}  // namespace kx700::ctl
