// The start-up both executables run: settings, macro data, the mouse.
#include <gtest/gtest.h>

#include "fixture.h"
#include "macro/groups.h"
#include "programming/settings_actions.h"
#include "settings/settings_file.h"

namespace kx700 {
namespace {

namespace fs = std::filesystem;

TEST(StartSession, ReadsTheDataFindsTheMouseAndAsksItsStatus) {
    testing::SessionFixture prepared;  // a data folder with the shipped files
    ASSERT_TRUE(WriteCurrentProfile(prepared.config(), 2).ok());

    auto mouse = std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
    mouse->setStatus(0, 0, 9);
    device::SimulatedBackend backend(mouse);
    Session s;
    RecordingMessageSink messages;
    s.folders = prepared.s().folders;
    s.messages = &messages;
    std::vector<std::string> claimed;
    const Connection c = StartSession(s, backend, [&](const std::string& path) {
        claimed.push_back(path);
        return true;
    });
    EXPECT_EQ(c.found.result, device::DiscoveryResult::Ready);
    EXPECT_TRUE(c.owned);
    EXPECT_EQ(claimed, std::vector<std::string>{s.link.devicePath}) << "claimed once, by the matched path";
    EXPECT_TRUE(s.settingsLoaded);
    EXPECT_EQ(s.currentProfile, 2);
    EXPECT_EQ(s.deviceNibble, 9) << "the status was read";
    EXPECT_FALSE(s.profileNames[0].empty());
    EXPECT_GT(s.macros.groups.groupCount, 0);
    EXPECT_EQ(s.hostView.currentProfile.load(), 2);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(StartSession, AMouseOwnedElsewhereIsNotSpokenTo) {
    testing::SessionFixture prepared;
    auto mouse = std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
    device::SimulatedBackend backend(mouse);
    Session s;
    RecordingMessageSink messages;
    s.folders = prepared.s().folders;
    s.messages = &messages;
    const Connection c = StartSession(s, backend, [](const std::string&) { return false; });
    EXPECT_EQ(c.found.result, device::DiscoveryResult::Ready);
    EXPECT_FALSE(c.owned);
    EXPECT_TRUE(mouse->log().empty()) << "not even a status read";

    // No mouse at all: nothing to claim.
    mouse->disconnectAfter(0);
    Session none;
    none.folders = s.folders;
    none.messages = &messages;
    bool asked = false;
    const Connection gone = StartSession(none, backend, [&](const std::string&) { return asked = true; });
    EXPECT_EQ(gone.found.result, device::DiscoveryResult::NotFound);
    EXPECT_FALSE(asked);
}

// Installed: the shipped data folder is only read; the user folder, filled
// at the first start, takes every write, and a reset reads the shipped factory
// settings.
TEST(StartSession, AnInstallationWritesOnlyTheUserFolder) {
    testing::TempDir dir;
    const fs::path stage = std::getenv("KX700_TEST_STAGE");
    const Folders folders{dir / "share" / "kx700", dir / "home" / "kx700"};
    fs::create_directories(folders.dataFolder);
    fs::copy(stage / "skins", folders.dataFolder / "skins", fs::copy_options::recursive);
    fs::copy_file(stage / "constMacro.dat", folders.constantMacroFile());
    auto snapshot = [&] {
        std::string all;
        for (const auto& e : fs::recursive_directory_iterator(folders.dataFolder)) {
            if (e.is_regular_file()) all += e.path().string() + "\n" + testing::ReadBytes(e.path());
        }
        return all;
    };
    const std::string shipped = snapshot();
    ASSERT_TRUE(PrepareUserFolder(folders).ok());

    auto mouse = std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
    device::SimulatedBackend backend(mouse);
    Session s;
    RecordingMessageSink messages;
    testing::RecordingSystemMouse system;
    s.folders = folders;
    s.messages = &messages;
    s.systemMouse = &system;
    ASSERT_TRUE(StartSession(s, backend, [](const std::string&) { return true; }).owned);
    ASSERT_TRUE(s.settingsLoaded);
    EXPECT_GT(s.macros.groups.groupCount, 0) << "the macro groups were seeded";

    const std::string factory = profile::ReadString(folders.resetFile(), "Config0", "K3", "", 8);
    ASSERT_NE(factory, "25");
    s.settings.buttonAssign[0][3] = 25;  // volume up on the forward button
    ASSERT_TRUE(programming::ApplySettings(s).succeeded());
    EXPECT_EQ(profile::ReadString(folders.settingsFile(), "Config0", "K3", "", 8), "25");
    ASSERT_TRUE(macro::SaveCurrentMacro(s.macros).ok());

    programming::ResetSettings(s, messages);
    EXPECT_EQ(std::to_string(s.settings.buttonAssign[0][3]), factory) << "the factory settings of the data folder";
    EXPECT_EQ(profile::ReadString(folders.settingsFile(), "Config0", "K3", "", 8), factory);
    EXPECT_EQ(snapshot(), shipped) << "the data folder was written";
}

}  // namespace
}  // namespace kx700
