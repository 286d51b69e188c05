#include "app/ctl_doctor.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/ctl_device.h"
#include "app/ctl_options.h"
#include "device/device_link.h"
#include "device/make_backend.h"
#include "device/report_layout.h"
#include "platform/json_writer.h"
#include "platform/mouse_lock.h"
#include "skin/layout.h"

namespace kx700::ctl {
namespace {

namespace fs = std::filesystem;
using device::HidInterfaceInfo;

constexpr const char* kRuleName = "70-kx700.rules";

std::string Hex4(unsigned v) {
    std::ostringstream s;
    s << std::uppercase << std::hex << std::setw(4) << std::setfill('0') << v;
    return s.str();
}

std::string Ids(std::uint16_t vendor, std::uint16_t product) { return Hex4(vendor) + ":" + Hex4(product); }

std::string Quoted(const fs::path& p) { return "'" + p.string() + "'"; }

const char* CollectionRole(const HidInterfaceInfo& i) {
    if (i.usagePage == device::kReadUsagePage && i.usage == device::kVendorUsage) return "events";
    if (i.usagePage == device::kWriteUsagePage && i.usage == device::kVendorUsage) return "settings";
    if (i.usagePage == 0x0001) return "pointer";
    return "other";
}

// The mouse's entries in the listing, in the listing's order.
std::vector<HidInterfaceInfo> MouseEntries(const device::HidEnumeration& listing) {
    std::vector<HidInterfaceInfo> out;
    for (const auto& slot : listing) {
        if (slot && device::IsMouseIdentifier(slot->vendorId, slot->productId)) out.push_back(*slot);
    }
    return out;
}

std::vector<std::string> DistinctPaths(const std::vector<HidInterfaceInfo>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) {
        if (std::find(out.begin(), out.end(), e.path) == out.end()) out.push_back(e.path);
    }
    return out;
}

const HidInterfaceInfo* FindVendorCollection(const std::vector<HidInterfaceInfo>& entries, std::uint16_t page) {
    for (const auto& e : entries) {
        if (e.usagePage == page && e.usage == device::kVendorUsage) return &e;
    }
    return nullptr;
}

// A node the backend names under /dev, read under the inputs' device root.
std::optional<fs::path> NodeUnderRoot(const DoctorInputs& in, const std::string& path) {
    constexpr std::string_view kDev = "/dev/";
    if (path.rfind(kDev, 0) != 0) return std::nullopt;
    return in.devRoot / path.substr(kDev.size());
}

// "crw-rw---- root:input" for a node, as ls would show its owner.
std::string NodeDescription(const fs::path& node) {
#ifdef _WIN32
    (void)node;
    return {};
#else
    struct stat st {};
    if (::stat(node.c_str(), &st) != 0) return "missing";
    std::string mode = S_ISCHR(st.st_mode) ? "c" : S_ISDIR(st.st_mode) ? "d" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 8; bit >= 0; --bit) mode += (st.st_mode >> bit & 1) ? letters[8 - bit] : '-';
    const passwd* user = ::getpwuid(st.st_uid);
    const group* grp = ::getgrgid(st.st_gid);
    return mode + " " + (user ? user->pw_name : std::to_string(st.st_uid)) + ":" +
           (grp ? grp->gr_name : std::to_string(st.st_gid));
#endif
}

std::string SimStateOption(const DoctorInputs& in) {
    return in.simState ? "--sim-state " + Quoted(*in.simState) : std::string("--simulate");
}

// Where the rule we ship lies: installed beside the data folder, else in the
// source tree of a build.
std::string ShippedRule(const DoctorInputs& in) {
    std::error_code ec;
    const fs::path installed = in.folders.dataFolder / ".." / ".." / "lib" / "udev" / "rules.d" / kRuleName;
    if (fs::is_regular_file(installed, ec)) return installed.lexically_normal().string();
    return std::string("data/udev/") + kRuleName;
}

std::string InstallRuleCommand(const DoctorInputs& in) {
    return "sudo install -m 644 " + ShippedRule(in) +
           " /etc/udev/rules.d/ && sudo udevadm control --reload && sudo udevadm trigger";
}

// --- mouse -----------------------------------------------------------------

CheckResult CheckMouse(const DoctorInputs& in, const device::HidEnumeration& listing, const std::string& listError,
                       const std::vector<HidInterfaceInfo>& entries) {
    CheckResult r{"mouse", CheckVerdict::Ok, {}, {}};
    if (entries.empty()) {
        r.verdict = CheckVerdict::Problem;
        if (!listError.empty()) {
            r.text = "the system's HID devices could not be listed (" + listError + ")";
        } else {
            r.text = "no KX700 mouse among the " + std::to_string(listing.size()) +
                     " HID collections the system lists (looked for " +
                     Ids(device::kIdentifierPairs[0].vendorId, device::kIdentifierPairs[0].productId) + " and " +
                     Ids(device::kIdentifierPairs[1].vendorId, device::kIdentifierPairs[1].productId) + ")";
        }
        r.fix = in.simulated ? "plug the simulated mouse in again (Unplug in the window's simulated-mouse panel)"
                             : "plug the mouse in directly (not through a switch box), then run 'kx700ctl list'";
        return r;
    }
    std::set<std::string> ids;
    std::ostringstream collections;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ids.insert(Ids(entries[i].vendorId, entries[i].productId));
        collections << (i ? ", " : "") << Hex4(entries[i].usagePage) << "/" << Hex4(entries[i].usage) << " ("
                    << CollectionRole(entries[i]) << ")";
    }
    std::string idText;
    for (const auto& id : ids) idText += (idText.empty() ? "" : " and ") + id;
    r.text = idText + ", collections " + collections.str();
    std::string missing;
    if (!FindVendorCollection(entries, device::kReadUsagePage))
        missing = Hex4(device::kReadUsagePage) + "/0001 (events)";
    if (!FindVendorCollection(entries, device::kWriteUsagePage)) {
        missing += (missing.empty() ? "" : " and ") + Hex4(device::kWriteUsagePage) + "/0001 (settings)";
    }
    if (!missing.empty()) {
        r.verdict = CheckVerdict::Problem;
        r.text += "; missing " + missing;
        r.fix = "plug the mouse in again, directly into the computer: a hub or adapter may hide its vendor collections";
    }
    return r;
}

// --- access ----------------------------------------------------------------

CheckResult CheckAccess(const DoctorInputs& in, const std::vector<HidInterfaceInfo>& entries, bool ruleInstalled) {
    CheckResult r{"access", CheckVerdict::Ok, {}, {}};
    if (entries.empty()) {
        r.verdict = CheckVerdict::Unknown;
        r.text = "no mouse to open";
        return r;
    }
    std::vector<std::string> opened, refused;
    std::string reason;
    bool denied = false;
    for (const std::string& path : DistinctPaths(entries)) {
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.path == path; });
        const device::HidOpenResult result = in.backend->open(*entry);  // closed again at once
        std::string shown = path;
        if (const auto node = NodeUnderRoot(in, path)) shown += " (" + NodeDescription(*node) + ")";
        if (result.status == device::HidOpenStatus::Ok) {
            opened.push_back(shown);
            continue;
        }
        refused.push_back(shown);
        if (result.status == device::HidOpenStatus::NoAccess) denied = true;
        if (reason.empty()) reason = result.error.empty() ? "cannot be opened" : result.error;
    }
    auto join = [](const std::vector<std::string>& items) {
        std::string s;
        for (const auto& i : items) s += (s.empty() ? "" : ", ") + i;
        return s;
    };
    if (refused.empty()) {
        r.text = "may open " + join(opened);
        return r;
    }
    r.verdict = CheckVerdict::Problem;
    r.text = "may not open " + join(refused) + ": " + reason;
    if (in.simulated && denied) {
        r.fix = "kx700ctl " + SimStateOption(in) + " sim-status --deny-access off";
    } else if (denied && ruleInstalled) {
        r.fix = "sudo udevadm control --reload && sudo udevadm trigger, then plug the mouse in again";
    } else if (denied) {
        r.fix = InstallRuleCommand(in);
    } else {
        r.fix = "plug the mouse in again; if it stays, 'sudo dmesg' tells what the kernel saw";
    }
    return r;
}

// --- udev rule -------------------------------------------------------------

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::erase_if(s, [](char c) { return c == ' ' || c == '\t'; });
    return s;
}

struct RuleFile {
    fs::path path;
    std::vector<bool> covers = std::vector<bool>(device::kIdentifierPairs.size(), false);
    bool seatAccess = false;  // TAG+="uaccess" on a line naming the mouse
};

// The identifier pairs a rule file gives access to. A line counts when it
// names both identifiers of a pair and grants access (uaccess, MODE or GROUP).
RuleFile ReadRule(const fs::path& path) {
    RuleFile out{path};
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::string l = Lower(line);
        if (l.empty() || l[0] == '#') continue;
        const bool grants = l.find("uaccess") != std::string::npos || l.find("mode=") != std::string::npos ||
                            l.find("mode:=") != std::string::npos || l.find("group=") != std::string::npos;
        if (!grants) continue;
        for (std::size_t i = 0; i < device::kIdentifierPairs.size(); ++i) {
            const auto& pair = device::kIdentifierPairs[i];
            std::string vendor = Lower(Hex4(pair.vendorId)), product = Lower(Hex4(pair.productId));
            if (l.find("{idvendor}==\"" + vendor + "\"") != std::string::npos &&
                l.find("{idproduct}==\"" + product + "\"") != std::string::npos) {
                out.covers[i] = true;
                if (l.find("uaccess") != std::string::npos) out.seatAccess = true;
            }
        }
    }
    return out;
}

// udev reads the rule files of all folders in the order of their names; a
// name in an earlier folder hides the same name in the later ones.
std::vector<RuleFile> EffectiveRules(const DoctorInputs& in) {
    std::map<std::string, fs::path> byName;
    for (const fs::path& folder : in.udevRuleFolders) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const fs::path& p = it->path();
            if (p.extension() != ".rules") continue;
            byName.emplace(p.filename().string(), p);  // emplace keeps the earlier folder's file
        }
    }
    std::vector<RuleFile> out;
    for (const auto& [name, path] : byName) {
        RuleFile rule = ReadRule(path);
        if (std::find(rule.covers.begin(), rule.covers.end(), true) != rule.covers.end()) out.push_back(rule);
    }
    return out;
}

// systemd-logind applies uaccess in 73-seat-late.rules; a tag added by a
// later file is never applied.
bool TooLateForSeat(const fs::path& rule) {
    const std::string name = rule.filename().string();
    return name.compare(0, 2, "73") >= 0 && !name.empty() && std::isdigit(static_cast<unsigned char>(name[0]));
}

CheckResult CheckUdevRule(const DoctorInputs& in, const std::vector<RuleFile>& rules) {
    CheckResult r{"udev rule", CheckVerdict::Ok, {}, {}};
    const CheckVerdict trouble = in.simulated ? CheckVerdict::Note : CheckVerdict::Warning;
    std::vector<bool> covered(device::kIdentifierPairs.size(), false);
    std::string files;
    for (const RuleFile& rule : rules) {
        for (std::size_t i = 0; i < covered.size(); ++i) covered[i] = covered[i] || rule.covers[i];
        files += (files.empty() ? "" : ", ") + rule.path.string();
    }
    std::string missing;
    for (std::size_t i = 0; i < covered.size(); ++i) {
        if (covered[i]) continue;
        const auto& pair = device::kIdentifierPairs[i];
        missing += (missing.empty() ? "" : " and ") + Ids(pair.vendorId, pair.productId);
    }
    if (rules.empty()) {
        r.verdict = trouble;
        r.text = "no rule gives you access to the mouse's hidraw nodes";
        r.fix = InstallRuleCommand(in);
        return r;
    }
    for (const RuleFile& rule : rules) {
        if (rule.seatAccess && TooLateForSeat(rule.path)) {
            r.verdict = trouble;
            r.text = rule.path.string() + " tags the mouse for seat access after 73-seat-late.rules, too late to apply";
            r.fix = "sudo mv " + Quoted(rule.path) + " " + Quoted(rule.path.parent_path() / kRuleName) +
                    " && sudo udevadm control --reload && sudo udevadm trigger";
            return r;
        }
    }
    if (!missing.empty()) {
        r.verdict = trouble;
        r.text = files + " leaves out " + missing;
        r.fix = InstallRuleCommand(in);
        return r;
    }
    r.text = files + " covers both identifier pairs";
    return r;
}

// --- owner -----------------------------------------------------------------

struct OpenBy {
    long pid = 0;
    std::string name;
};

// Processes that have `node` open, found through their descriptors; those
// whose descriptors we may not read (other users' when not root) are missed.
std::vector<OpenBy> ProcessesWithOpen(const DoctorInputs& in, const std::string& node) {
    std::vector<OpenBy> out;
    std::error_code ec;
    for (fs::directory_iterator proc(in.procRoot, ec), end; !ec && proc != end; proc.increment(ec)) {
        const std::string pidText = proc->path().filename().string();
        long pid = 0;
        // Only processes: "self", "sys" and the like are not, nor a number no pid can be.
        const auto [parsedTo, parseError] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
        if (pidText.empty() || parseError != std::errc() || parsedTo != pidText.data() + pidText.size()) continue;
        if (pid == in.ownPid) continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError).string() != node || linkError) continue;
            std::ifstream comm(proc->path() / "comm");
            std::string name;
            std::getline(comm, name);
            out.push_back({pid, name.empty() ? std::string("?") : name});
            break;
        }
    }
    return out;
}

CheckResult CheckOwner(const DoctorInputs& in, const std::vector<HidInterfaceInfo>& entries) {
    CheckResult r{"owner", CheckVerdict::Ok, {}, {}};
    std::vector<std::string> keys;
    if (in.simulated) {
        if (!in.simState) {
            r.text = "the simulated mouse lives in each process of its own; nobody else can hold it";
            return r;
        }
        keys.push_back(MouseKeyForFile(*in.simState));
    } else {
        keys = DistinctPaths(entries);
    }
    std::optional<LockHolder> holder;
    for (const std::string& key : keys) {
        if ((holder = MouseLock::Holder(key))) break;
    }
    std::vector<OpenBy> others;
    if (!in.simulated) {
        for (const std::string& path : DistinctPaths(entries)) {
            for (const OpenBy& p : ProcessesWithOpen(in, path)) {
                if (holder && holder->pid == p.pid) continue;  // the lock's holder, said already
                others.push_back(p);
            }
        }
    }
    if (!others.empty()) {
        r.verdict = CheckVerdict::Warning;
        r.text = others.front().name + " (process " + std::to_string(others.front().pid) +
                 ") has the mouse's node open; its reports may mix with ours";
        if (others.size() > 1) r.text += ", and " + std::to_string(others.size() - 1) + " more";
        r.fix = "quit " + others.front().name + " (kill " + std::to_string(others.front().pid) + ")";
        return r;
    }
    if (holder) {
        if (holder->program == kWindowProgram) {
            r.verdict = CheckVerdict::Note;
            r.text = holder->describe() + " has the mouse: 'kx700ctl apply' goes through it, other commands wait";
        } else {
            r.verdict = CheckVerdict::Warning;
            r.text = holder->describe() + " has the mouse";
            r.fix = "wait for it to end, or stop it (kill " + std::to_string(holder->pid) + ")";
        }
        return r;
    }
    r.text = "no other program holds the mouse";
    return r;
}

// --- session and tray --------------------------------------------------------

std::string Env(const DoctorInputs& in, const std::string& name) {
    const auto it = in.environment.find(name);
    return it == in.environment.end() ? std::string() : it->second;
}

CheckResult CheckSession(const DoctorInputs& in) {
    CheckResult r{"session", CheckVerdict::Ok, {}, {}};
    const std::string type = Lower(Env(in, "XDG_SESSION_TYPE"));
    const std::string wayland = Env(in, "WAYLAND_DISPLAY"), display = Env(in, "DISPLAY");
    if (type == "wayland" || (type != "x11" && !wayland.empty())) {
        r.verdict = CheckVerdict::Note;
        r.text = "Wayland" + (wayland.empty() ? std::string() : " (" + wayland + ")") +
                 ": recording a macro takes only the keys typed into the window; there is no global keyboard grab";
        if (!display.empty()) r.fix = "to record keys typed anywhere, log in to an X11 session";
        return r;
    }
    if (type == "x11" || !display.empty()) {
        r.text = "X11" + (display.empty() ? std::string() : " (DISPLAY=" + display + ")") +
                 ": recording a macro grabs the keyboard, keys typed anywhere are recorded";
        return r;
    }
    r.verdict = CheckVerdict::Note;
    r.text = "no graphical session here: the window cannot open, kx700ctl works";
    r.fix = "start kx700 from a desktop session";
    return r;
}

CheckResult CheckTray(const DoctorInputs& in) {
    CheckResult r{"tray", CheckVerdict::Ok, {}, {}};
    const std::optional<bool> present = in.tray ? in.tray() : std::nullopt;
    if (!present) {
        r.verdict = CheckVerdict::Unknown;
        r.text = "could not ask the session bus for a StatusNotifier host (no bus, or no dbus-send or busctl)";
        return r;
    }
    if (*present) {
        r.text = "a StatusNotifier host answers: the tray icon shows";
        return r;
    }
    r.verdict = CheckVerdict::Note;
    r.text = "no StatusNotifier host on the session bus: hiding to the tray minimises the window instead";
    r.fix = "on GNOME: sudo apt install gnome-shell-extension-appindicator, then enable it and log in again";
    return r;
}

// --- folders and factory data ------------------------------------------------

bool Owned(const fs::path& p) {
#ifdef _WIN32
    (void)p;
    return true;
#else
    struct stat st {};
    return ::stat(p.c_str(), &st) != 0 || st.st_uid == ::geteuid();
#endif
}

std::string MakeUsableCommand(const fs::path& folder) {
    return Owned(folder) ? "chmod -R u+rwX " + Quoted(folder) : "sudo chown -R \"$(id -un)\" " + Quoted(folder);
}

// Empty when a file can be made and removed in `folder`; else why not. The
// real attempt, not the permission bits: they say nothing for root, or on a
// read-only file system.
std::string WriteProblem(const fs::path& folder) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) return "missing";
    if (!fs::is_directory(folder, ec)) return "not a folder";
    if (fs::directory_iterator(folder, ec); ec) return "cannot be read (" + ec.message() + ")";
#ifndef _WIN32
    const fs::path probe = folder / (".kx700-doctor-" + std::to_string(::getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return "cannot be written (" + std::error_code(errno, std::generic_category()).message() + ")";
    ::close(fd);
    ::unlink(probe.c_str());
#endif
    return {};
}

CheckResult CheckFolders(const DoctorInputs& in) {
    CheckResult r{"folders", CheckVerdict::Ok, {}, {}};
    const Folders& f = in.folders;
    if (f.userFolder.empty()) {
        r.verdict = CheckVerdict::Problem;
        r.text = "no user folder: neither XDG_DATA_HOME nor HOME is set";
        r.fix = "export HOME, or run with --data-dir DIR";
        return r;
    }
    for (const fs::path& folder : {f.settingsFolder(), f.macroFolder(true), f.macroFolder(false)}) {
        const std::string problem = WriteProblem(folder);
        if (problem.empty()) continue;
        r.verdict = CheckVerdict::Problem;
        r.text = folder.string() + " " + problem;
        if (problem == "missing") {
            r.fix = f.portable() ? "mkdir -p " + Quoted(folder) : "start kx700 once: it fills the user folder";
        } else if (problem == "not a folder") {
            r.fix = "mv " + Quoted(folder) + " " + Quoted(folder.string() + ".old") + ", then start kx700";
        } else {
            r.fix = MakeUsableCommand(f.userFolder);
        }
        return r;
    }
    std::ifstream settings(f.settingsFile());
    if (!settings) {
        r.verdict = CheckVerdict::Problem;
        r.text = f.settingsFile().string() + " cannot be read";
        r.fix = "cp " + Quoted(f.resetFile()) + " " + Quoted(f.settingsFile());
        return r;
    }
    r.text = f.portable() ? "settings and macros in " + f.userFolder.string() + ", readable and writable"
                          : "settings and macros in " + f.userFolder.string() + ", readable and writable; data in " +
                                f.dataFolder.string();
    return r;
}

CheckResult CheckFactoryData(const DoctorInputs& in) {
    CheckResult r{"factory data", CheckVerdict::Ok, {}, {}};
    const Folders& f = in.folders;
    std::vector<fs::path> files = {f.resetFile(), f.constantMacroFile()};
    for (bool english : {true, false}) {
        const SkinFiles skin = SkinFilesFor(f.skinsFolder(), english);
        files.insert(files.end(), {skin.main, skin.colour, skin.advanced, skin.macro, skin.warning});
    }
    std::vector<fs::path> missing;
    std::error_code ec;
    for (const fs::path& file : files) {
        if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) == 0 || ec) missing.push_back(file);
    }
    for (bool english : {true, false}) {
        const fs::path folder = f.macroResetFolder(english);
        if (!fs::is_directory(folder, ec) || fs::is_empty(folder, ec)) missing.push_back(folder);
    }
    if (missing.empty()) {
        r.text = "factory settings, layouts, factory macros and constant macros present in " + f.dataFolder.string();
        return r;
    }
    r.verdict = CheckVerdict::Problem;
    r.text = "missing or empty: " + missing.front().lexically_relative(f.dataFolder).string();
    if (missing.size() > 1) r.text += " and " + std::to_string(missing.size() - 1) + " more";
    r.fix = f.portable() ? "rebuild (cmake --build) or unpack the archive again"
                         : "sudo apt install --reinstall kx700 (or install the build again)";
    return r;
}

const char* VerdictWord(CheckVerdict v) {
    switch (v) {
        case CheckVerdict::Ok: return "ok";
        case CheckVerdict::Note: return "note";
        case CheckVerdict::Warning: return "warning";
        case CheckVerdict::Problem: return "PROBLEM";
        case CheckVerdict::Unknown: return "unknown";
    }
    return "?";
}

// Asks the session bus whether a StatusNotifier watcher runs and a host has
// registered with it, through whichever tool the system has.
std::optional<bool> AskBusForTray() {
#ifdef _WIN32
    return std::nullopt;
#else
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code ec;
    if ((address == nullptr || *address == '\0') && (runtime == nullptr || !fs::exists(fs::path(runtime) / "bus", ec)))
        return std::nullopt;
    auto run = [](const char* command) -> std::optional<std::string> {
        FILE* pipe = ::popen(command, "r");
        if (pipe == nullptr) return std::nullopt;
        std::string text;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
        const int status = ::pclose(pipe);
        if (status != 0) return std::nullopt;
        return text;
    };
    const bool haveDbusSend = run("command -v dbus-send >/dev/null 2>&1").has_value();
    const char* ownerCommand =
        haveDbusSend
            ? "dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus "
              "org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null"
            : "busctl --user call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus NameHasOwner s "
              "org.kde.StatusNotifierWatcher 2>/dev/null";
    const auto owner = run(ownerCommand);
    if (!owner) return std::nullopt;
    if (owner->find("true") == std::string::npos) return false;
    const char* hostCommand =
        haveDbusSend ? "dbus-send --session --print-reply=literal --dest=org.kde.StatusNotifierWatcher "
                       "/StatusNotifierWatcher org.freedesktop.DBus.Properties.Get "
                       "string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered 2>/dev/null"
                     : "busctl --user get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher "
                       "org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null";
    const auto host = run(hostCommand);
    if (!host) return std::nullopt;
    return host->find("true") != std::string::npos;
#endif
}

}  // namespace

DoctorInputs SystemDoctorInputs() {
    DoctorInputs in;
    for (const char* name : {"XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') in.environment[name] = value;
    }
    in.tray = AskBusForTray;
#ifndef _WIN32
    in.ownPid = static_cast<long>(::getpid());
#endif
    return in;
}

std::vector<CheckResult> RunDoctor(const DoctorInputs& in) {
    std::vector<CheckResult> results;
    std::string listError;
    const device::HidEnumeration listing = in.backend ? in.backend->enumerate(&listError) : device::HidEnumeration{};
    const std::vector<HidInterfaceInfo> entries = MouseEntries(listing);
    const std::vector<RuleFile> rules = EffectiveRules(in);
    results.push_back(CheckMouse(in, listing, listError, entries));
    results.push_back(CheckAccess(in, entries, !rules.empty()));
    results.push_back(CheckUdevRule(in, rules));
    results.push_back(CheckOwner(in, entries));
    results.push_back(CheckSession(in));
    results.push_back(CheckTray(in));
    results.push_back(CheckFolders(in));
    results.push_back(CheckFactoryData(in));
    return results;
}

bool MouseUsable(const std::vector<CheckResult>& results) {
    return std::none_of(results.begin(), results.end(),
                        [](const CheckResult& r) { return r.verdict == CheckVerdict::Problem; });
}

void PrintDoctor(std::ostream& out, const std::vector<CheckResult>& results) {
    for (const CheckResult& r : results) {
        out << std::left << std::setw(8) << VerdictWord(r.verdict) << r.name << ": " << r.text;
        if (!r.fix.empty()) out << "; fix: " << r.fix;
        out << "\n";
    }
    const auto problems = std::count_if(results.begin(), results.end(),
                                        [](const CheckResult& r) { return r.verdict == CheckVerdict::Problem; });
    if (problems == 0) {
        out << "the mouse is usable\n";
    } else {
        out << "the mouse cannot be used: " << problems << (problems == 1 ? " problem" : " problems") << " above\n";
    }
}

void PrintDoctorJson(std::ostream& out, const std::vector<CheckResult>& results) {
    JsonWriter json(out);
    json.beginObject().key("usable").value(MouseUsable(results)).key("checks").beginArray();
    for (const CheckResult& r : results) {
        json.beginObject().key("name").value(r.name).key("verdict").value(VerdictWord(r.verdict));
        json.key("text").value(r.text).key("fix").value(r.fix).endObject();
    }
    json.endArray().endObject();
}

int RunDoctorCommand(const Options& o, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = o.args;
    const bool json = TakeFlag(args, "--json");
    if (!args.empty()) {
        err << "kx700ctl: doctor: unexpected '" << args.front() << "'\n" << kUsage;
        return kExitUsage;
    }
    // Only looks: the state file is read without claiming the mouse, and the
    // user folder is not prepared (a missing one is what the doctor reports).
    device::Backend made;
    if (Status s = device::MakeBackend(device::BackendChoice{o.simulate, o.simState}, made); !s) {
        err << "kx700ctl: " << s.message() << "\n";
        return kExitFailure;
    }
    DoctorInputs in = SystemDoctorInputs();
    in.backend = made.backend.get();
    in.simulated = o.simulate;
    in.simState = o.simState;
    in.folders = ResolveFolders(o.dataDir);
    const std::vector<CheckResult> results = RunDoctor(in);
    if (json) {
        PrintDoctorJson(out, results);
    } else {
        PrintDoctor(out, results);
    }
    return MouseUsable(results) ? kExitOk : kExitFailure;
}

}  // namespace kx700::ctl
