// kx700ctl's device commands, run as the user runs them: the real program,
// a state file in a temporary folder, exit codes and output checked.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>

#include "../support/temp_dir.h"
#include "device/protocol.h"
#include "device/sim_state_file.h"
#include "file_text.h"
#include "sim_link.h"

namespace kx700::device {
namespace {

using testing::ReadText;
using testing::WriteText;

struct CtlRun {
    int code = -1;
    std::string out;
    std::string err;
};

class Ctl : public ::testing::Test {
protected:
    kx700::testing::TempDir dir;
    std::string state = (dir / "mouse.state").string();

    CtlRun ctl(const std::string& args) {
        const char* stage = std::getenv("KX700_TEST_STAGE");
        if (stage == nullptr) ADD_FAILURE() << "KX700_TEST_STAGE is not set";
        const std::string command = std::string(stage ? stage : ".") + "/kx700ctl " + args + " >" +
                                    (dir / "out").string() + " 2>" + (dir / "err").string();
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir / "out"), ReadText(dir / "err")};
    }
};

TEST_F(Ctl, StatusFollowsTheSimulatedStatusReplyAcrossRuns) {
    CtlRun r = ctl("--sim-state " + state + " status");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "profile 0\nmemory bank bit 0\ndevice nibble 0\n");

    ASSERT_EQ(ctl("sim-status --sim-state " + state + " --bank 1 --profile 3 --nibble 5").code, 0);
    r = ctl("--sim-state " + state + " status");
    EXPECT_EQ(r.out, "profile 3\nmemory bank bit 1\ndevice nibble 5\n");
    EXPECT_TRUE(r.err.empty());

    // Two status reads: each is the request and the reply, timestamps never going back.
    r = ctl("--sim-state=" + state + " log");
    ASSERT_EQ(r.code, 0);
    std::istringstream lines(r.out);
    std::string l;
    long long previous = -1;
    int count = 0;
    for (; std::getline(lines, l); ++count) {
        std::istringstream words(l);
        long long micros = -1;
        std::string direction, byte;
        words >> micros >> direction;
        EXPECT_GE(micros, previous) << l;
        EXPECT_TRUE(direction == "host->mouse" || direction == "mouse->host") << l;
        int bytes = 0;
        for (; words >> byte; ++bytes)
            EXPECT_TRUE(byte.size() == 2 && std::isxdigit(byte[0]) && std::isxdigit(byte[1]) && !std::islower(byte[1]))
                << l;
        EXPECT_GT(bytes, 0) << l;
        previous = micros;
    }
    EXPECT_EQ(count, 4);
    EXPECT_NE(r.out.find("mouse->host 07 00 5A 01 03 00 0E 05"), std::string::npos);
}

TEST_F(Ctl, ShowsTheMemoryAnotherProcessProgrammed) {
    {
        testing::SimLink sim;
        const std::uint8_t active = 0x62;
        ASSERT_TRUE(WriteDeviceMemory(sim.link, 0x01, std::span(&active, 1)));
        ASSERT_TRUE(SaveSimState(state, sim.mouse->snapshot()));
    }
    CtlRun r = ctl("--sim-state " + state + " memory");
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.substr(0, 54), "0000: 00 62 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1024);
    EXPECT_NE(r.out.find("\n3FF0: 00"), std::string::npos);

    r = ctl("--sim-state " + state + " memory --raw");
    ASSERT_EQ(r.out.size(), 0x4000u);
    EXPECT_EQ(r.out[1], 0x62);

    r = ctl("--sim-state " + state + " describe");
    EXPECT_NE(r.out.find("active profile: slot 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("protocol faults: 0"), std::string::npos);
}

// The knobs live in the state file, so the next program that loads it meets
// the fault; sim-status and describe say which are set.
TEST_F(Ctl, FaultKnobsAreKeptInTheStateFile) {
    CtlRun r = ctl("--sim-state " + state + " sim-status --disconnect-after 7 --fail-reads on --deny-access on");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "profile 0\nmemory bank bit 0\ndevice nibble 0\n"
              "disconnect after: 7 feature reports\nfail reads: on\ndeny access: on\n");

    r = ctl("--sim-state " + state + " status");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("found, no access"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("kx700ctl doctor"), std::string::npos) << r.err;

    // The doctor names the knob as the fix, and the mouse as unusable.
    const char* stage = std::getenv("KX700_TEST_STAGE");
    r = ctl("--sim-state " + state + " --data-dir " + std::string(stage ? stage : ".") + " doctor");
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("\nPROBLEM access: may not open sim:kx700/pointer, sim:kx700/input, sim:kx700/feature: "
                         "permission denied; fix: kx700ctl --sim-state '" +
                         state + "' sim-status --deny-access off\n"),
              std::string::npos)
        << r.out;

    // One knob changed, the others kept; a status read is no feature report.
    r = ctl("--sim-state " + state + " sim-status --deny-access off");
    EXPECT_NE(r.out.find("disconnect after: 7 feature reports\nfail reads: on\ndeny access: off\n"), std::string::npos)
        << r.out;
    ASSERT_EQ(ctl("--sim-state " + state + " status").code, 0);
    r = ctl("--sim-state " + state + " describe");
    EXPECT_NE(r.out.find("disconnect after: 7 feature reports\nfail reads: on\n"), std::string::npos) << r.out;

    r = ctl("--sim-state " + state + " sim-status --disconnect-after off --fail-reads off");
    EXPECT_NE(r.out.find("disconnect after: off\nfail reads: off\ndeny access: off\n"), std::string::npos) << r.out;
}

TEST_F(Ctl, UsageErrorsExitWithTwoAndFailuresWithOne) {
    WriteText(dir / "damaged.state", "kx700-simulated-mouse 1\nstatus x\n");
    const std::string damaged = (dir / "damaged.state").string();
    const std::string unwritable = (dir / "no-such-folder" / "mouse.state").string();
    const std::vector<std::pair<std::string, int>> cases = {
        {"", 2},
        {"frobnicate", 2},
        {"memory", 2},  // needs the simulated mouse
        {"--simulate status extra", 2},
        {"--sim-state", 2},
        {"--simulate sim-status", 2},
        {"--simulate sim-status --profile 4", 2},
        {"--simulate sim-status --nibble 16", 2},
        {"--simulate sim-status --bank x", 2},
        {"--simulate sim-status --bank", 2},
        {"--simulate sim-status --disconnect-after 0", 2},
        {"--simulate sim-status --disconnect-after -3", 2},
        {"--simulate sim-status --disconnect-after 1000000001", 2},
        {"--simulate sim-status --disconnect-after soon", 2},
        {"--simulate sim-status --fail-reads yes", 2},
        {"--simulate sim-status --deny-access", 2},
        {"--sim-state " + damaged + " status", 1},
        {"--sim-state " + unwritable + " sim-status --bank 1", 1},
        {"--help", 0},
        {"--simulate memory", 0},
    };
    for (const auto& [args, code] : cases) {
        const CtlRun r = ctl(args);
        EXPECT_EQ(r.code, code) << args << "\n" << r.err;
        if (code != 0) {
            EXPECT_NE(r.err.find("kx700ctl: "), std::string::npos) << args;
        }
    }
    EXPECT_NE(ctl("--sim-state " + damaged + " status").err.find("line 2"), std::string::npos);
}

}  // namespace
}  // namespace kx700::device
