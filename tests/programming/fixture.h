#pragma once

// A session over a private copy of the built data, talking to the simulated
// mouse through a real DeviceLink.

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "../support/temp_dir.h"
#include "device/simulated_backend.h"
#include "macro/files.h"
#include "platform/profile.h"
#include "programming/apply.h"
#include "programming/session.h"

namespace kx700::testing {

// Stands in for a desktop's pointer settings where the test machine has none.
class RecordingSystemMouse final : public SystemMouse {
public:
    std::optional<int> pointer = 10, lines = 3;
    std::optional<int> pointerSpeed() override { return pointer; }
    bool setPointerSpeed(int step) override {
        pointer = step;
        return true;
    }
    std::optional<int> wheelLines() override { return lines; }
    bool setWheelLines(int n) override {
        lines = n;
        return true;
    }
};

struct SessionFixture {
    TempDir dir;
    RecordingMessageSink messages;
    RecordingSystemMouse system;
    std::shared_ptr<device::SimulatedMouse> mouse =
        std::make_shared<device::SimulatedMouse>(device::SimulatedMouseState{});
    device::SimulatedBackend backend{mouse};
    std::unique_ptr<Session> session = std::make_unique<Session>();

    SessionFixture() {
        namespace fs = std::filesystem;
        const char* stage = std::getenv("KX700_TEST_STAGE");
        if (stage == nullptr) ADD_FAILURE() << "KX700_TEST_STAGE is not set";
        fs::copy(fs::path(stage) / "skins", dir / "skins", fs::copy_options::recursive);
        fs::copy_file(fs::path(stage) / "constMacro.dat", dir / "constMacro.dat");
        session->folders = Folders::Portable(dir.path());
        session->messages = &messages;
        session->systemMouse = &system;
        LoadSessionData(*session);
        EXPECT_EQ(device::DiscoverDevice(session->link, backend).result, device::DiscoveryResult::Ready);
    }
    Session& s() { return *session; }
    std::filesystem::path config() const { return dir / "skins" / "config" / "config.ini"; }
    std::uint8_t at(std::size_t address) const { return mouse->memory()[address]; }
    // Assigns a value and republishes what the monitor threads read, as the
    // window does after every change.
    void assign(int profile, int button, std::int32_t value) {
        session->settings.buttonAssign[static_cast<std::size_t>(profile)][static_cast<std::size_t>(button)] = value;
        PublishHostView(*session);
    }
    // Makes `table` the first group's content, on disk and in memory.
    void replaceFirstGroup(const macro::MacroTable& table) {
        macro::MacroState& ms = session->macros;
        ASSERT_TRUE(
            macro::SaveAllMacros(macro::GroupFile(ms.folders.macroFolder, ms.groups.groupNames[0]), table).ok());
        ms.groups.currentGroup = 0;
        ms.table = table;
        ms.table.currentMacro = 0;
        macro::ReadAllMacroNames(ms.folders.macroFolder, ms.groups);
    }
};

}  // namespace kx700::testing
