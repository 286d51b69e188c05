// kx700ctl doctor: prepared situations (a simulated mouse with its fault
// knobs, rule folders, /dev and /proc trees, user folders in a temporary
// folder) against the line each check prints and whether the mouse counts as
// usable.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <sstream>

#include "../support/temp_dir.h"
#include "app/ctl_doctor.h"
#include "device/report_layout.h"
#include "device/simulated_backend.h"
#include "file_text.h"
#include "platform/mouse_lock.h"
#include "skin/layout.h"

namespace kx700::ctl {
namespace {

namespace fs = std::filesystem;
using device::HidEnumeration;
using device::HidInterfaceInfo;
using device::HidOpenResult;
using device::SimulatedBackend;
using device::SimulatedMouse;

// The simulated mouse as the system's backend shows a real one: every
// collection on one hidraw node. `dropPage` leaves a collection out of the
// listing, as a hub that hides it would.
class NodeBackend final : public device::HidBackend {
public:
    NodeBackend(std::shared_ptr<SimulatedMouse> mouse, std::string node, std::uint16_t dropPage)
        : mouse_(mouse), inner_(std::move(mouse)), node_(std::move(node)), dropPage_(dropPage) {}
    HidEnumeration enumerate(std::string* error) override {
        HidEnumeration out;
        for (auto& slot : inner_.enumerate(error)) {
            if (!slot || slot->usagePage == dropPage_) continue;
            slot->path = node_;
            out.push_back(slot);
        }
        return out;
    }
    HidOpenResult open(const HidInterfaceInfo& info) override {
        HidInterfaceInfo inner = info;
        inner.path = mouse_->writePath();
        return inner_.open(inner);
    }

private:
    std::shared_ptr<SimulatedMouse> mouse_;
    SimulatedBackend inner_;
    std::string node_;
    std::uint16_t dropPage_;
};

// A situation: one sane setup, then the row's change.
struct Situation {
    kx700::testing::TempDir dir;
    std::shared_ptr<SimulatedMouse> mouse = std::make_shared<SimulatedMouse>();
    std::unique_ptr<device::HidBackend> backend = std::make_unique<SimulatedBackend>(mouse);
    DoctorInputs in;

    Situation() {
        in.backend = backend.get();
        in.simulated = true;
        in.devRoot = dir / "dev";
        in.procRoot = dir / "proc";
        in.udevRuleFolders = {dir / "etc-rules", dir / "lib-rules"};
        fs::create_directories(in.procRoot);
        in.environment = {{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}};
        in.tray = [] { return std::optional<bool>(true); };
        in.folders = Folders::Portable(dir / "home");
        kx700::testing::WriteBytes(in.udevRuleFolders[1] / "70-kx700.rules",
                                   device::testing::ReadText(KX700_SOURCE_DIR "/data/udev/70-kx700.rules"));
        const Folders& f = in.folders;
        for (const fs::path& file :
             {f.settingsFile(), f.resetFile(), f.constantMacroFile(), f.macroFolder(true) / "macroGrp.ini",
              f.macroFolder(false) / "macroGrp.ini", f.macroResetFolder(true) / "macroGrp.ini",
              f.macroResetFolder(false) / "macroGrp.ini"})
            kx700::testing::WriteBytes(file, "[x]\r\n");
        for (bool english : {true, false}) {
            const SkinFiles skin = SkinFilesFor(f.skinsFolder(), english);
            for (const fs::path& file : {skin.main, skin.colour, skin.advanced, skin.macro, skin.warning})
                kx700::testing::WriteBytes(file, "[x]\r\n");
        }
    }

    // The simulated mouse on /dev/hidraw7, optionally without one collection.
    void onNode(std::uint16_t dropPage = 0) {
        backend = std::make_unique<NodeBackend>(mouse, "/dev/hidraw7", dropPage);
        in.backend = backend.get();
        in.simulated = false;
        kx700::testing::WriteBytes(in.devRoot / "hidraw7", "");
    }
};

struct Row {
    const char* name;
    std::function<void(Situation&)> change;
    const char* check;    // the line of this check …
    const char* verdict;  // … starts with this verdict
    const char* text;     // … and holds this
    const char* fix;      // … and this fix ("" : no fix)
    bool usable;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

std::string LineOf(const std::string& printed, const std::string& check) {
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 8 && line.compare(8, check.size() + 2, check + ": ") == 0) return line;
    }
    return {};
}

void SetRule(const fs::path& file, const std::string& text) { kx700::testing::WriteBytes(file, text); }

const Row kRows[] = {
    {"all well", [](Situation&) {}, "mouse", "ok",
     "18F8:13C0, collections 0001/0002 (pointer), FF00/0001 (events), FF01/0001 (settings)", "", true},
    {"unplugged", [](Situation& s) { s.mouse->disconnectAfter(0); }, "mouse", "PROBLEM",
     "no KX700 mouse among the 0 HID collections the system lists (looked for 18F8:13C0 and 30FA:1330)",
     "plug the simulated mouse in again", false},
    {"nothing to open when unplugged", [](Situation& s) { s.mouse->disconnectAfter(0); }, "access", "unknown",
     "no mouse to open", "", false},
    {"access denied", [](Situation& s) { s.mouse->denyAccess(true); }, "access", "PROBLEM",
     "may not open sim:kx700/pointer, sim:kx700/input, sim:kx700/feature: permission denied",
     "kx700ctl --simulate sim-status --deny-access off", false},
    {"access denied, kept in a state file",
     [](Situation& s) {
         s.mouse->denyAccess(true);
         s.in.simState = "/tmp/m.state";
     },
     "access", "PROBLEM", "permission denied", "kx700ctl --sim-state '/tmp/m.state' sim-status --deny-access off",
     false},
    {"settings collection hidden", [](Situation& s) { s.onNode(device::kWriteUsagePage); }, "mouse", "PROBLEM",
     "missing FF01/0001 (settings)", "directly into the computer", false},
    {"both vendor collections hidden",
     [](Situation& s) {
         s.onNode(device::kWriteUsagePage);
         s.backend = std::make_unique<NodeBackend>(s.mouse, "/dev/hidraw7", device::kReadUsagePage);
         s.in.backend = s.backend.get();
     },
     "mouse", "PROBLEM", "missing FF00/0001 (events)", "", false},
    {"node open to us", [](Situation& s) { s.onNode(); }, "access", "ok", "may open /dev/hidraw7 (-rw", "", true},
    {"node denied, no rule",
     [](Situation& s) {
         s.onNode();
         s.mouse->denyAccess(true);
         fs::remove_all(s.in.udevRuleFolders[1]);
     },
     "access", "PROBLEM", "may not open /dev/hidraw7",
     "sudo install -m 644 data/udev/70-kx700.rules /etc/udev/rules.d/ && sudo udevadm control --reload", false},
    {"node denied with the rule installed: udev has not applied it",
     [](Situation& s) {
         s.onNode();
         s.mouse->denyAccess(true);
     },
     "access", "PROBLEM", "permission denied",
     "sudo udevadm control --reload && sudo udevadm trigger, then plug the mouse in again", false},
    {"rule installed", [](Situation& s) { s.onNode(); }, "udev rule", "ok", "lib-rules/70-kx700.rules covers both", "",
     true},
    {"no rule, real mouse", [](Situation& s) { s.onNode(), fs::remove_all(s.in.udevRuleFolders[1]); }, "udev rule",
     "warning", "no rule gives you access", "sudo install -m 644 data/udev/70-kx700.rules /etc/udev/rules.d/", true},
    {"no rule, simulated mouse", [](Situation& s) { fs::remove_all(s.in.udevRuleFolders[1]); }, "udev rule", "note",
     "no rule gives you access", "sudo install", true},
    {"an empty file of the same name in /etc hides the rule",
     [](Situation& s) {
         s.onNode();
         SetRule(s.in.udevRuleFolders[0] / "70-kx700.rules", "# disabled\n");
     },
     "udev rule", "warning", "no rule gives you access", "sudo install", true},
    {"a rule for one pair only",
     [](Situation& s) {
         s.onNode();
         SetRule(s.in.udevRuleFolders[1] / "70-kx700.rules",
                 "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"18F8\", ATTRS{idProduct}==\"13C0\", TAG+=\"uaccess\"\n"
                 "# ATTRS{idVendor}==\"30fa\", ATTRS{idProduct}==\"1330\", TAG+=\"uaccess\"\n");
     },
     "udev rule", "warning", "70-kx700.rules leaves out 30FA:1330", "sudo install", true},
    {"a rule naming the mouse without granting anything",
     [](Situation& s) {
         s.onNode();
         SetRule(s.in.udevRuleFolders[1] / "70-kx700.rules",
                 "ATTRS{idVendor}==\"18f8\", ATTRS{idProduct}==\"13c0\", ENV{X}=\"1\"\n");
     },
     "udev rule", "warning", "no rule gives you access", "sudo install", true},
    {"the seat tag comes too late",
     [](Situation& s) {
         s.onNode();
         fs::rename(s.in.udevRuleFolders[1] / "70-kx700.rules", s.in.udevRuleFolders[1] / "99-kx700.rules");
     },
     "udev rule", "warning", "99-kx700.rules tags the mouse for seat access after 73-seat-late.rules",
     "70-kx700.rules' && sudo udevadm control --reload", true},
    {"another program has the node open",
     [](Situation& s) {
         s.onNode();
         fs::create_directories(s.in.procRoot / "4242" / "fd");
         fs::create_directories(s.in.procRoot / "4343" / "fd");
         fs::create_symlink("/dev/hidraw7", s.in.procRoot / "4242" / "fd" / "5");
         fs::create_symlink("/dev/hidraw70", s.in.procRoot / "4343" / "fd" / "5");
         kx700::testing::WriteBytes(s.in.procRoot / "4242" / "comm", "othertool\n");
     },
     "owner", "warning", "othertool (process 4242) has the mouse's node open", "quit othertool (kill 4242)", true},
    {"our own descriptor is not another program",
     [](Situation& s) {
         s.onNode();
         fs::create_directories(s.in.procRoot / "4242" / "fd");
         fs::create_symlink("/dev/hidraw7", s.in.procRoot / "4242" / "fd" / "5");
         s.in.ownPid = 4242;
     },
     "owner", "ok", "no other program holds the mouse", "", true},
    {"Wayland",
     [](Situation& s) {
         s.in.environment = {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "w-0"}};
     },
     "session", "note", "Wayland (w-0): recording a macro takes only the keys typed into the window", "", true},
    {"Wayland with XWayland",
     [](Situation& s) {
         s.in.environment = {{"WAYLAND_DISPLAY", "w-0"}, {"DISPLAY", ":1"}};
     },
     "session", "note", "Wayland (w-0)", "log in to an X11 session", true},
    {"X11", [](Situation&) {}, "session", "ok", "X11 (DISPLAY=:0): recording a macro grabs the keyboard", "", true},
    {"no graphical session", [](Situation& s) { s.in.environment.clear(); }, "session", "note",
     "no graphical session here", "start kx700 from a desktop session", true},
    {"no tray", [](Situation& s) { s.in.tray = [] { return std::optional<bool>(false); }; }, "tray", "note",
     "hiding to the tray minimises the window instead", "gnome-shell-extension-appindicator", true},
    {"tray cannot be asked", [](Situation& s) { s.in.tray = nullptr; }, "tray", "unknown",
     "could not ask the session bus", "", true},
    {"settings folder is a file",
     [](Situation& s) {
         fs::remove_all(s.in.folders.settingsFolder());
         kx700::testing::WriteBytes(s.in.folders.settingsFolder(), "x");
     },
     "folders", "PROBLEM", "skins/config not a folder", "config.old", false},
    {"a macro folder missing", [](Situation& s) { fs::remove_all(s.in.folders.macroFolder(false)); }, "folders",
     "PROBLEM", "INI_CN/macro missing", "mkdir -p", false},
    {"settings file missing", [](Situation& s) { fs::remove(s.in.folders.settingsFile()); }, "folders", "PROBLEM",
     "config.ini cannot be read", "configReset.ini", false},
    {"factory settings missing", [](Situation& s) { fs::remove(s.in.folders.resetFile()); }, "factory data", "PROBLEM",
     "missing or empty: skins/config/configReset.ini", "rebuild", false},
    {"a layout file empty and the factory macros gone",
     [](Situation& s) {
         kx700::testing::WriteBytes(SkinFilesFor(s.in.folders.skinsFolder(), false).warning, "");
         fs::remove_all(s.in.folders.macroResetFolder(true));
     },
     "factory data", "PROBLEM", "missing or empty: skins/INI_CN/LBWarning.ini and 1 more", "", false},
};

class Doctor : public ::testing::TestWithParam<Row> {};

TEST_P(Doctor, PrintsTheCheckAndDecidesUsable) {
    const Row& row = GetParam();
    Situation s;
    row.change(s);
    const auto results = RunDoctor(s.in);
    std::ostringstream printed;
    PrintDoctor(printed, results);
    const std::string line = LineOf(printed.str(), row.check);
    ASSERT_FALSE(line.empty()) << printed.str();
    EXPECT_EQ(line.substr(0, line.find(' ')), row.verdict) << line;
    const std::string text = line.substr(0, line.find("; fix: "));
    EXPECT_NE(text.find(row.text), std::string::npos) << line;
    const auto fixAt = line.find("; fix: ");
    if (*row.fix == '\0') {
        if (std::string(row.verdict) == "ok") {
            EXPECT_EQ(fixAt, std::string::npos) << line;
        }
    } else {
        ASSERT_NE(fixAt, std::string::npos) << line;
        EXPECT_NE(line.find(row.fix, fixAt), std::string::npos) << line;
    }
    EXPECT_EQ(MouseUsable(results), row.usable) << printed.str();
    EXPECT_NE(printed.str().find(row.usable ? "the mouse is usable\n" : "the mouse cannot be used: "),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Situations, Doctor, ::testing::ValuesIn(kRows), [](const auto& row) {
    std::string name;
    for (const char* c = row.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
});

// Every check in its order, one line each, whatever the situation.
TEST(DoctorLines, OneLinePerCheckInOrder) {
    Situation s;
    s.mouse->disconnectAfter(0);
    std::ostringstream printed;
    PrintDoctor(printed, RunDoctor(s.in));
    std::istringstream lines(printed.str());
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 8 && line.find(": ") != std::string::npos && line.rfind("the mouse", 0) != 0)
            names.push_back(line.substr(8, line.find(": ") - 8));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"mouse", "access", "udev rule", "owner", "session", "tray", "folders",
                                               "factory data"}));
}

// Permission bits stop a normal user only: root writes through them, so this
// case runs only as a normal user. The "settings folder is a file" row covers
// an unusable folder for root as well.
TEST(DoctorFolders, ReadOnlyUserFolderNamesTheChmod) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    Situation s;
    const fs::path macros = s.in.folders.macroFolder(true);
    ASSERT_EQ(::chmod(macros.c_str(), 0555), 0);
    const auto results = RunDoctor(s.in);
    ::chmod(macros.c_str(), 0755);
    std::ostringstream printed;
    PrintDoctor(printed, results);
    const std::string line = LineOf(printed.str(), "folders");
    EXPECT_EQ(line.rfind("PROBLEM folders: " + macros.string() + " cannot be written (Permission denied)", 0), 0u)
        << line;
    EXPECT_NE(line.find("; fix: chmod -R u+rwX '" + s.in.folders.userFolder.string() + "'"), std::string::npos) << line;
    EXPECT_FALSE(MouseUsable(results));
}

// Entries of /proc that are no process are passed over, whatever links they hold.
TEST(DoctorOwner, OnlyProcessesAreLookedAt) {
    Situation s;
    s.onNode();
    for (const char* entry : {"4242", "self", "99999999999999999999999"}) {
        fs::create_directories(s.in.procRoot / entry / "fd");
        fs::create_symlink("/dev/hidraw7", s.in.procRoot / entry / "fd" / "5");
    }
    kx700::testing::WriteBytes(s.in.procRoot / "4242" / "comm", "othertool\n");
    std::ostringstream printed;
    PrintDoctor(printed, RunDoctor(s.in));
    EXPECT_EQ(LineOf(printed.str(), "owner"),
              "warning owner: othertool (process 4242) has the mouse's node open; its reports may mix with ours; "
              "fix: quit othertool (kill 4242)");
}

// The window holding a simulated mouse's state file: said, but the mouse is usable.
TEST(DoctorOwner, WindowHoldingTheStateFileIsANote) {
    Situation s;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_RUNTIME_DIR", s.dir.path().c_str(), 1);
    s.in.simState = s.dir / "m.state";
    MouseLock window;
    ASSERT_EQ(window.acquire(MouseKeyForFile(*s.in.simState), kWindowProgram, std::chrono::milliseconds(0)),
              MouseLock::Result::Acquired);
    const auto results = RunDoctor(s.in);
    window.release();
    if (saved.empty()) {
        unsetenv("XDG_RUNTIME_DIR");
    } else {
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    }
    std::ostringstream printed;
    PrintDoctor(printed, results);
    EXPECT_EQ(LineOf(printed.str(), "owner"),
              "note    owner: kx700 (process " + std::to_string(::getpid()) +
                  ") has the mouse: 'kx700ctl apply' goes through it, other commands wait");
    EXPECT_TRUE(MouseUsable(results));
}

}  // namespace
}  // namespace kx700::ctl
