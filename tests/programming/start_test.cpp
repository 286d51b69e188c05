// The start-up both executables run: settings, macro data, the mouse.
#include <gtest/gtest.h>

#include "fixture.h"
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

}  // namespace
}  // namespace kx700
