// kx700ctl apply and monitor, run as the user runs them, over a private data folder.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../support/temp_dir.h"
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
    CtlRun ctl(const std::string& args) {
        const std::string command = (stage / "kx700ctl").string() + " --data-dir " + (dir / "data").string() + " " + args +
                                    " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadBytes(dir / "out"), testing::ReadBytes(dir / "err")};
    }
    fs::path config() { return dir / "data" / "skins" / "config" / "config.ini"; }
};

TEST_F(CtlApply, ProgramsTheMouseAndTheDescriptionShowsIt) {
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K3", "25").ok());  // volume up on the forward button
    CtlRun r = ctl("--sim-state " + state + " apply");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("applied: ", 0), 0u) << r.out;
    r = ctl("--sim-state " + state + " describe");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("button 3 (code 4): multimedia key, consumer usage 0x00E9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("programming finished 1 times"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("protocol faults: 0"), std::string::npos);
}

TEST_F(CtlApply, MonitorAnswersTheScriptedHands) {
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K6", "18").ok());  // sniper hold on code 8
    ASSERT_TRUE(profile::WriteString(config(), "Config0", "K5", "22").ok());  // home page on code 6
    const CtlRun r = ctl("--simulate monitor --apply-first --script \"press 8; release 8; press 6; release 6; profile 2; correction up\"");
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* line : {"host: hold pressed", "host: hold released", "host: consumer usage 547", "mouse: profile 2",
                             "mouse: correction up: nothing to correct"}) {
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

}  // namespace
}  // namespace kx700
