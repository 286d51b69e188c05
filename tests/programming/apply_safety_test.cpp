// What an apply does when things go wrong: a record that was never loaded, a
// mouse that vanishes at any report, a settings file or disk that will not
// take the save. The mouse must never get a blank image, and config.ini must
// be either what it was or what a complete apply wrote.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <thread>

#include "fixture.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "programming/functions.h"
#include "programming/monitor.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::SessionFixture;

bool Shown(const RecordingMessageSink& sink, std::string_view part) {
    for (const std::string& m : sink.messages()) {
        if (m.find(part) != std::string::npos) return true;
    }
    return false;
}

// Writes beyond `bytes` fail with EFBIG, as on a full disk, for as long as it
// lives. The signal the kernel would send instead is ignored meanwhile.
class DiskFull {
public:
    explicit DiskFull(rlim_t bytes = 64) {
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit tight = saved_;
        tight.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    }
    ~DiskFull() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

TEST(ApplySafety, ARecordThatWasNeverLoadedNeverReachesTheMouse) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& config)> breakIt;
    };
    const std::vector<Case> cases = {
        {"config.ini missing", [](const fs::path& config) { fs::remove(config); }},
        // A folder in its place cannot be read as a file (and, unlike a file
        // without read permission, not even by root).
        {"config.ini unreadable",
         [](const fs::path& config) {
             fs::remove(config);
             fs::create_directory(config);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionFixture f;
        c.breakIt(f.config());
        profile::DropCache();
        f.messages.clear();
        LoadSessionData(f.s());
        EXPECT_FALSE(f.s().settingsLoaded);
        EXPECT_TRUE(Shown(f.messages, "Error：Config.ini文件不存在!"));

        const programming::ApplyResult r = programming::ApplySettings(f.s());
        EXPECT_EQ(r.end, programming::ApplyEnd::SettingsNotLoaded);
        EXPECT_FALSE(r.succeeded());
        EXPECT_EQ(r.transactions, 0u);
        EXPECT_TRUE(f.mouse->log().empty()) << "not a single report";
        EXPECT_EQ(f.mouse->firmware().finishes, 0u);
        EXPECT_TRUE(Shown(f.messages, "mouse was not programmed") || Shown(f.messages, "未写入鼠标"));

        // The mouse's own switches do not create a file of zeros either.
        programming::HandleProfileChanged(f.s(), {programming::MonitorEvent::Kind::ProfileChanged, 2, false, {}, 0});
        programming::HandleCpiLevel(f.s(), 1);
        EXPECT_EQ(f.s().currentProfile, 2);
        EXPECT_FALSE(fs::is_regular_file(f.config())) << "no config.ini was created";
    }
}

TEST(ApplySafety, ASaveThatFailsIsReportedAndLeavesTheFile) {
    struct Case {
        const char* what;
        bool diskFull;
    };
    for (const Case c : {Case{"config.ini read-only", false}, Case{"disk full", true}}) {
        SCOPED_TRACE(c.what);
        SessionFixture f;
        f.s().settings.dpiLevelEnabled[0] = 1;
        f.s().settings.fireInterval = 120;  // a change the save would write
        const std::string before = ReadBytes(f.config());
        if (!c.diskFull)
            fs::permissions(f.config(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        programming::ApplyResult r;
        {
            std::optional<DiskFull> full;
            if (c.diskFull) full.emplace();
            r = programming::ApplySettings(f.s());
        }
        EXPECT_TRUE(r.completed()) << "the mouse took everything";
        EXPECT_EQ(f.mouse->firmware().finishes, 1u);
        EXPECT_FALSE(r.succeeded());
        EXPECT_FALSE(r.saveError.empty());
        EXPECT_EQ(ReadBytes(f.config()), before);
        const auto shown = f.messages.messages();
        const auto saying = std::count_if(shown.begin(), shown.end(), [](const std::string& m) {
            return m.find("programmed the mouse, but could not save the settings: ") == 0 ||
                   m.find("已写入鼠标，但无法保存设置：") == 0;
        });
        EXPECT_EQ(saying, 1) << "told once";
    }
}

// Unplugs the simulated mouse after 0, 1, 2, ... reports of an apply until the
// apply gets through whole: every report of it is the last one once.
TEST(ApplySafety, AMouseUnpluggedAtAnyReportFailsTheApplyAndLeavesConfigIni) {
    struct Case {
        const char* what;
        bool macros;
    };
    for (const Case c : {Case{"factory settings", false}, Case{"with macros", true}}) {
        SCOPED_TRACE(c.what);
        SessionFixture f;
        f.s().link.pace = false;
        if (c.macros) {
            f.assign(0, 3, programming::MacroChoiceValue(0, 0));
            f.assign(0, 4, programming::MacroChoiceValue(0, 1));
            f.assign(2, 4, 33);  // a constant macro
        }
        f.s().settings.fireInterval = 120;
        const std::string before = ReadBytes(f.config());

        int unpluggedAt = 0;
        std::size_t failures = 0;
        for (; unpluggedAt < 5000; ++unpluggedAt) {
            f.mouse->reconnect();
            f.s().link.readHandle.reset();
            f.s().link.writeHandle.reset();
            ASSERT_EQ(device::DiscoverDevice(f.s().link, f.backend).result, device::DiscoveryResult::Ready);
            f.mouse->disconnectAfter(unpluggedAt);
            f.messages.clear();
            const programming::ApplyResult r = programming::ApplySettings(f.s());
            if (r.completed()) break;
            ++failures;
            ASSERT_EQ(r.end, programming::ApplyEnd::DeviceFailed) << "unplugged after " << unpluggedAt;
            ASSERT_FALSE(r.succeeded());
            ASSERT_TRUE(Shown(f.messages, "config.ini was not changed")) << unpluggedAt;
            ASSERT_EQ(ReadBytes(f.config()), before) << "unplugged after " << unpluggedAt;
            ASSERT_FALSE(f.s().apply.placed.valid);
        }
        // The first complete apply saw exactly the reports that were swept.
        std::size_t sent = 0;
        for (const auto& e : f.mouse->log()) sent += e.direction == device::SimDirection::HostToMouse ? 1 : 0;
        EXPECT_GT(unpluggedAt, 100);
        EXPECT_EQ(failures, static_cast<std::size_t>(unpluggedAt));
        EXPECT_NE(ReadBytes(f.config()), before) << "the complete apply saved";
        EXPECT_GE(sent, static_cast<std::size_t>(unpluggedAt));
    }
}

// On a full disk nothing the user has is replaced by a part of itself: the
// macro file the apply saves and the group list a rename writes survive byte
// for byte, and the user is told.
TEST(ApplySafety, AFullDiskLeavesMacroFileAndGroupListWhole) {
    SessionFixture f;
    macro::MacroState& ms = f.s().macros;
    ASSERT_GT(ms.groups.groupCount, 0);
    const fs::path groupFile = ms.folders.macroFolder / (ms.groups.groupNames[0] + ".dat");
    const fs::path list = ms.folders.groupListFile();
    const std::string macroBefore = ReadBytes(groupFile);
    const std::string listBefore = ReadBytes(list);
    ms.table.slots[0].repeatCount = 77;  // an edit the apply saves first
    ms.table.currentMacro = 0;
    {
        DiskFull full;
        const programming::ApplyResult r = programming::ApplySettings(f.s());
        EXPECT_FALSE(r.succeeded());
        EXPECT_EQ(macro::RenameGroup(ms, "Renamed", f.messages), macro::RenameResult::Invalid);
    }
    EXPECT_EQ(ReadBytes(groupFile), macroBefore);
    EXPECT_EQ(ReadBytes(list), listBefore);
    EXPECT_FALSE(fs::exists(ms.folders.macroFolder / "Renamed.dat"));
    EXPECT_TRUE(Shown(f.messages, "could not save the settings") || Shown(f.messages, "无法保存设置"));
    EXPECT_TRUE(Shown(f.messages, "Invalid: Delete Invalid character") ||
                Shown(f.messages, "Can't write the group list"));
}

// A rename killed at any moment leaves every group with its file: the list
// names the old or the new name, and that name's file holds the macros.
TEST(ApplySafety, AGroupRenameKilledAtAnyMomentLosesNoGroup) {
    SessionFixture f;
    macro::MacroState& ms = f.s().macros;
    ASSERT_GT(ms.groups.groupCount, 0);
    ms.groups.currentGroup = 0;
    const int groups = ms.groups.groupCount;
    const auto names = ms.groups.macroNames[0];
    const std::string original = ms.groups.groupNames[0];
    std::mt19937 random(20261210);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Renames back and forth until killed; nothing here may return.
            RecordingMessageSink quiet;
            for (unsigned i = 0;; ++i) macro::RenameGroup(ms, i % 2 ? "Sniper A" : "Sniper B", quiet);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(200, 20000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        macro::MacroState after;
        after.folders = ms.folders;
        RecordingMessageSink sink;
        macro::LoadGroupList(after, sink);
        ASSERT_EQ(after.groups.groupCount, groups) << "round " << round;
        const std::string& name = after.groups.groupNames[0];
        ASSERT_TRUE(name == original || name == "Sniper A" || name == "Sniper B") << name;
        ASSERT_TRUE(fs::is_regular_file(ms.folders.macroFolder / (name + ".dat"))) << name;
        ASSERT_EQ(after.groups.macroNames[0], names) << "round " << round << ", group " << name;
        ms.groups = after.groups;  // the next child starts from what is on disk
        ms.groups.currentGroup = 0;
    }
}

}  // namespace
}  // namespace kx700
