// kx700ctl apply and monitor, run as the user runs them, over a private data folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "../support/temp_dir.h"
#include "platform/mouse_lock.h"
#include "platform/profile.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

struct CtlRun {
    int code = -1;
    std::string out, err;
};

class CtlApply : public ::testing::Test {
protected:
    testing::TempDir dir;
    fs::path stage = std::getenv("KX700_TEST_STAGE") ? fs::path(std::getenv("KX700_TEST_STAGE")) : fs::path(".");
    std::string state = (dir / "mouse.state").string();

    void SetUp() override {
        fs::create_directories(dir / "data");
        fs::copy(stage / "skins", dir / "data" / "skins", fs::copy_options::recursive);
        fs::copy_file(stage / "constMacro.dat", dir / "data" / "constMacro.dat");
    }
    CtlRun ctl(const std::string& args) { return ctlIn(dir / "data", args); }
    CtlRun ctlIn(const fs::path& data, const std::string& args) {
        const std::string command = (stage / "kx700ctl").string() + " --data-dir " + data.string() + " " + args + " >" +
                                    (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadBytes(dir / "out"),
                testing::ReadBytes(dir / "err")};
    }
    fs::path config() { return dir / "data" / "skins" / "config" / "config.ini"; }
};

TEST_F(CtlApply, ProgramsTheMouseAndTheDescriptionShowsIt) {
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K3", "25").ok());  // volume up on the forward button
    CtlRun r = ctl("--sim-state " + state + " apply");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("applied: ", 0), 0u) << r.out;
    EXPECT_EQ(r.err.find("applying:"), std::string::npos) << "no progress line into a file: " << r.err;
    r = ctl("--sim-state " + state + " describe");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("button 3 (code 4): multimedia key, consumer usage 0x00E9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("programming finished 1 times"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("protocol faults: 0"), std::string::npos);
}

TEST_F(CtlApply, OnATerminalAProgressLineIsRewrittenAndCleared) {
    if (std::system("script --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "script(1) is needed for a terminal";
    // script(1) gives the program a terminal on both outputs and records it.
    const fs::path typescript = dir / "typescript";
    const std::string command = "script -qec '" + (stage / "kx700ctl").string() + " --data-dir " +
                                (dir / "data").string() + " --sim-state " + state + " apply' " + typescript.string() +
                                " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string seen = testing::ReadBytes(typescript);
    const auto first = seen.find("\rapplying: ");
    ASSERT_NE(first, std::string::npos) << seen;
    EXPECT_NE(seen.find(" transactions (100%)"), std::string::npos) << seen;
    EXPECT_NE(seen.find("\rapplying: ", first + 1), std::string::npos) << "the line is rewritten in place";
    const auto applied = seen.find("applied: ");
    ASSERT_NE(applied, std::string::npos) << seen;
    EXPECT_EQ(seen.rfind("\r", applied), applied - 1) << "the line was cleared before the summary";
}

TEST_F(CtlApply, SettingsShowHowFullTheMacroAreaWouldBe) {
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K3", "32").ok());  // a constant macro
    CtlRun r = ctl("settings");
    ASSERT_EQ(r.code, 0) << r.err;
    const auto at = r.out.find("Macro memory: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" / 1464 bytes", at), std::string::npos) << "the lower limit before any status read";
    EXPECT_EQ(r.out.find("Macro memory: 0 /"), std::string::npos) << "the constant macro takes room";
}

// A command that only reports reads past a broken group list as the window
// would, but leaves repairing the list to the window.
TEST_F(CtlApply, CommandsThatOnlyReadWriteNothingWhenAGroupFileIsMissing) {
    const fs::path macros = dir / "data" / "skins" / "INI_EN" / "macro";
    fs::remove(macros / "Burst.dat");
    const std::string list = testing::ReadBytes(macros / "macroGrp.ini");
    ASSERT_NE(list.find("Burst"), std::string::npos);
    const struct {
        const char* command;
        const char* shows;
    } rows[] = {{"settings", "Macro memory: "},
                {"get profile.1.button.1", "profile.1.button.1="},
                {"macro groups", "Browser"},
                {"macro list Office", "Copy"}};
    for (const auto& row : rows) {
        const CtlRun r = ctl(row.command);
        ASSERT_EQ(r.code, 0) << row.command << ": " << r.err;
        EXPECT_NE(r.out.find(row.shows), std::string::npos) << row.command << ": " << r.out;
        EXPECT_EQ(testing::ReadBytes(macros / "macroGrp.ini"), list) << row.command;
    }
}

TEST_F(CtlApply, MonitorAnswersTheScriptedHands) {
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K6", "18").ok());  // sniper hold on code 8
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K5", "22").ok());  // home page on code 6
    const CtlRun r =
        ctl("--simulate monitor --apply-first --script \"press 8; release 8; press 6; release 6; profile 2; correction "
            "up\"");
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* line : {"host: hold pressed", "host: hold released", "host: consumer usage 547",
                             "mouse: profile 2", "mouse: correction up: refused: no user macro on the first button"}) {
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    }
    EXPECT_EQ(profile::ReadString(config(), "Init", "CurConfig", "", 5), "2") << "the profile the mouse switched to";
}

// A fault set in the state file is replayed by the next program that loads
// it: the mouse goes away after three reports of the apply.
TEST_F(CtlApply, AMouseUnpluggedMidApplyFailsTheApply) {
    ASSERT_EQ(ctl("--sim-state " + state + " sim-status --disconnect-after 3").code, 0);
    const CtlRun r = ctl("--sim-state " + state + " apply");
    EXPECT_NE(r.code, 0) << r.out << r.err;

    const CtlRun log = ctl("--sim-state " + state + " log");
    ASSERT_EQ(log.code, 0) << log.err;
    std::istringstream lines(log.out);
    std::string line;
    int memoryReports = 0;
    while (std::getline(lines, line)) memoryReports += line.find("host->mouse 07 18 ") != std::string::npos;
    EXPECT_EQ(memoryReports, 3) << "nothing reached the mouse after the unplug\n" << log.out;
    EXPECT_NE(ctl("--sim-state " + state + " describe").out.find("disconnect after: off"), std::string::npos)
        << "the countdown ran out";
}

TEST_F(CtlApply, WithoutAMouseItSaysSo) {
    const CtlRun r = ctl("apply");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no KX700 mouse found"), std::string::npos) << r.err;
    EXPECT_EQ(ctl("--simulate monitor --script \"dance\"").code, 2);
}

TEST_F(CtlApply, AMissingOrBrokenSettingsFileProgramsNothing) {
    // A mistyped --data-dir is the everyday way to get here.
    fs::create_directories(dir / "empty");
    CtlRun r = ctlIn(dir / "empty", "--sim-state " + state + " apply");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Error：Config.ini文件不存在!"), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.find("mouse was not programmed") != std::string::npos ||
                r.err.find("未写入鼠标") != std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(dir / "empty" / "skins" / "config" / "config.ini")) << "no file was created";
    r = ctl("--sim-state " + state + " describe");
    EXPECT_NE(r.out.find("programming finished 0 times"), std::string::npos) << r.out;

    // A read-only settings file: the mouse was programmed, but that is not success.
    fs::permissions(config(), fs::perms::owner_read);
    r = ctl("--sim-state " + state + " apply");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("programmed the mouse, but could not save the settings: "), std::string::npos) << r.err;
}

// kx700ctl killed at any moment of an apply: config.ini, the macro file the
// apply saves and the simulated mouse's state file are each the old or the new
// version, never a part of one.
TEST_F(CtlApply, KilledAtAnyMomentEveryFileIsOldOrNew) {
    ASSERT_TRUE(profile::WriteString(config(), "ShareData", "DPI_SET_EN0", "5").ok());  // the apply writes "1"
    const fs::path macros = dir / "data" / "skins" / "INI_CN" / "macro";
    const std::string oldConfig = testing::ReadBytes(config());
    std::vector<std::pair<fs::path, std::string>> oldMacros;
    for (const auto& e : fs::directory_iterator(macros)) oldMacros.emplace_back(e.path(), testing::ReadBytes(e.path()));

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(ctl("--sim-state " + state + " apply").code, 0);
    const auto whole = std::chrono::steady_clock::now() - started;
    const std::string newConfig = testing::ReadBytes(config());
    ASSERT_NE(oldConfig, newConfig);

    const std::string program = (stage / "kx700ctl").string();
    const std::string data = (dir / "data").string();
    for (int i = 0; i <= 24; ++i) {
        testing::WriteBytes(config(), oldConfig);
        fs::remove(state);
        std::vector<std::string> words = {program, "--data-dir", data, "--sim-state", state, "apply"};
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, program.c_str(), &quiet, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&quiet);
        std::this_thread::sleep_for(whole * i / 24);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const std::string config_ = testing::ReadBytes(config());
        EXPECT_TRUE(config_ == oldConfig || config_ == newConfig) << "killed after " << i << "/24 of an apply";
        for (const auto& [file, bytes] : oldMacros) EXPECT_EQ(testing::ReadBytes(file), bytes) << file;
        if (fs::exists(state)) {  // written once, at the end: whole or not at all
            EXPECT_EQ(ctl("--sim-state " + state + " describe").code, 0) << "killed after " << i << "/24";
        }
    }
    // Whatever was left, the next apply works on it.
    EXPECT_EQ(ctl("--sim-state " + state + " apply").code, 0);
}

// One owner per mouse: a kx700ctl that finds the mouse taken says by whom and
// changes nothing; a holder that lets go in time is waited for.
TEST_F(CtlApply, ASecondProgramOnTheSameMouseIsTurnedAway) {
    using namespace std::chrono_literals;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);  // kx700ctl inherits it
    ASSERT_EQ(ctl("--sim-state " + state + " apply").code, 0);
    const std::string stateBefore = testing::ReadBytes(state);

    MouseLock other;
    ASSERT_EQ(other.acquire(MouseKeyForFile(state), "kx700ctl monitor", 0ms), MouseLock::Result::Acquired);
    const std::string holder = "kx700ctl monitor (process " + std::to_string(getpid()) + ")";
    for (const char* command : {"apply", "describe", "sim-status --bank 1"}) {
        const CtlRun r = ctl("--sim-state " + state + " " + command);
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_NE(r.err.find(holder + " is using the mouse"), std::string::npos) << command << ": " << r.err;
    }
    EXPECT_EQ(testing::ReadBytes(state), stateBefore) << "nothing was saved over the holder's mouse";
    EXPECT_EQ(ctl("--sim-state " + state + " list").code, 0) << "listing only looks";

    // The window holds it but does not listen (it is not running here): apply
    // asks it and says that no answer came.
    ASSERT_EQ(other.acquire(MouseKeyForFile(state), kWindowProgram, 0ms), MouseLock::Result::Acquired);
    CtlRun r = ctl("--sim-state " + state + " apply");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("kx700 is using the mouse but did not answer"), std::string::npos) << r.err;

    // set --apply would have the window apply its own copy over the change:
    // refused before anything is written. Without --apply the file changes.
    const std::string configBefore = testing::ReadBytes(config());
    r = ctl("--sim-state " + state + " set --apply pointer-speed=9");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("kx700 (process " + std::to_string(getpid()) + ") holds the mouse"), std::string::npos)
        << r.err;
    EXPECT_EQ(testing::ReadBytes(config()), configBefore);
    EXPECT_EQ(ctl("--sim-state " + state + " set pointer-speed=9").code, 0);
    EXPECT_NE(testing::ReadBytes(config()), configBefore);

    // A holder that lets go within the wait is waited for.
    ASSERT_EQ(other.acquire(MouseKeyForFile(state), "kx700ctl describe", 0ms), MouseLock::Result::Acquired);
    std::thread letGo([&] {
        std::this_thread::sleep_for(300ms);
        other.release();
    });
    r = ctl("--sim-state " + state + " apply");
    letGo.join();
    EXPECT_EQ(r.code, 0) << r.err;
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(CtlApply, AutostartOnOffAndStatus) {
    const fs::path config = dir / "xdg-config";
    auto autostart = [&](const std::string& verb) {
        const std::string command = "XDG_CONFIG_HOME=" + config.string() + " " + (stage / "kx700ctl").string() +
                                    " autostart " + verb + " >" + (dir / "out").string() + " 2>&1";
        const int status = std::system(command.c_str());
        return std::make_pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadBytes(dir / "out"));
    };
    const fs::path entry = config / "autostart" / "io.github.kx700.Configurator.desktop";
    EXPECT_EQ(autostart("status").second.rfind("autostart off", 0), 0u);
    auto [code, out] = autostart("on");
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out.rfind("autostart on", 0), 0u) << out;
    // The window beside kx700ctl is what the desktop starts, minimised.
    const std::string exec = "Exec=\"" + (stage / "kx700").string() + "\" -HIDE";
    EXPECT_NE(testing::ReadBytes(entry).find(exec), std::string::npos) << testing::ReadBytes(entry);
    EXPECT_EQ(autostart("off").first, 0);
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_EQ(autostart("maybe").first, 2);
}

}  // namespace
}  // namespace kx700
