#include "app/ctl_options.h"

#include <algorithm>

namespace kx700::ctl {

const char* const kUsage =
    "usage: kx700ctl [--simulate | --sim-state FILE] [--data-dir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  list [--json]    the mouse's HID interfaces: path, identifiers, usage page/usage, access\n"
    "  status [--json]  the mouse's current profile, memory bank bit and device nibble\n"
    "  apply        program the mouse from config.ini and the macros, as the window's Apply does\n"
    "  monitor [--apply-first] [--script \"press 5; release 5; dpi 6 2; profile 2; correction up; wait 20\"]\n"
    "               answer the mouse's events and print them; --script plays the simulated mouse\n"
    "  settings [--json]\n"
    "               describe the settings stored in config.ini\n"
    "  get [--json] [NAME...]\n"
    "               every setting (or the named ones) as name=value, in the window's words\n"
    "  set [--apply] NAME=VALUE...\n"
    "               change settings by name, as the window's pages do, in one replacement of\n"
    "               config.ini; a value that is not allowed changes nothing (exit 2) and the\n"
    "               allowed ones are printed; --apply then programs the mouse. The names:\n"
    "                 profile (1-3), language (en/cn), profile.N.name, profile.N.button.B,\n"
    "                 profile.N.reaction.B (on/off), profile.N.scroll (0/1), cpi.K (200-4800),\n"
    "                 cpi.K.enabled, cpi.level, cpi.K.colour (#rrggbb), report-rate\n"
    "                 (125/250/500/1000), pointer-speed (1-10), scroll-speed (1-10),\n"
    "                 rapid-fire (0-300 ms), lighting.mode, lighting.brightness (1-7),\n"
    "                 lighting.speed (1-6), lighting.direction (right/left/outward/rotate),\n"
    "                 lighting.symmetry, lighting.colours (e.g. 1,3), lighting.custom,\n"
    "                 lighting.custom.K (#rrggbb)\n"
    "               N = profile 1-3; B = button 1-7 (1 left, 2 right, 3 middle, 4 forward,\n"
    "               5 back, 6 and 7 the top buttons); K = 1-4. A button takes a function's\n"
    "               name in English or Chinese (\"Volume up\"), its number, or\n"
    "               macro:GROUP/NAME\n"
    "  profile export FILE | import FILE | reset\n"
    "               config.ini copied out, replaced by FILE, or reset to the factory\n"
    "               settings, as the window's Export, Import and Reset (with a backup)\n"
    "  macro groups | list GROUP | show GROUP NAME | export GROUP FILE | import FILE | reset\n"
    "               the macro groups of the interface language, as the Macro page shows\n"
    "               and changes them\n"
    "  doctor [--json]\n"
    "               check, in order, what a working mouse needs (the mouse and its collections,\n"
    "               access to its hidraw nodes, the udev rule, other programs holding it, the\n"
    "               session, the tray, the settings and user folders, the factory data); one\n"
    "               line per check with the command that fixes it; exit 0 when the mouse is usable\n"
    "  autostart on|off|status\n"
    "               start kx700 minimised at every login (an XDG autostart entry), stop\n"
    "               doing so, or say which it is\n"
    "simulated mouse only:\n"
    "  memory [--raw]   hex dump of its 16 KiB memory (--raw: the bytes themselves)\n"
    "  log              every report it received or sent: microseconds, direction, bytes\n"
    "  describe [--json]  its memory in words, with the protocol faults it counted\n"
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
