// What the session's own thread does with the monitor's events.
#include "device/memory_map.h"
#include "device/protocol.h"
#include "macro/files.h"
#include "macro/upload.h"
#include "programming/apply.h"
#include "programming/monitor.h"
#include "settings/settings_file.h"

namespace kx700::programming {

namespace {

class LinkWriter final : public macro::MemoryWriter {
public:
    explicit LinkWriter(device::DeviceLink& link) : link_(link) {}
    void writeMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) override {
        (void)device::WriteDeviceMemory(link_, address, bytes);
    }

private:
    device::DeviceLink& link_;
};

}  // namespace

void HandleProfileChanged(Session& s, const MonitorEvent& changed) {
    // From here on the session knows of every switch the poll thread stored.
    s.profileSwitchesHandled = changed.profileSwitch;
    const int profile = changed.value;
    if (profile < 0 || profile >= kProfileSlots) return;
    s.currentProfile = profile;
    PublishHostView(s);
    // Without a loaded record there is no config.ini to keep in step (and
    // writing one would create a file of zeros).
    if (!s.settingsLoaded) return;
    if (Status st = WriteCurrentProfile(s.folders.settingsFile(), profile); !st.ok()) s.messages->show(st.message());
    LoadProfile(s.settings, s.folders.settingsFolder(), profile, false, *s.messages);
    PublishHostView(s);
}

void HandleCpiLevel(Session& s, int level) {
    if (level < 0 || level >= kCpiLevels) return;
    s.settings.dpiLevel = level;
    if (!s.settingsLoaded) return;
    if (Status st = SaveDpiLevel(s.settings, s.folders.settingsFile()); !st.ok()) s.messages->show(st.message());
}

CorrectionResult CorrectionReupload(Session& s, bool up) {
    const int profile = s.currentProfile & 3;
    const std::int32_t v = s.settings.buttonAssign[static_cast<std::size_t>(profile)][0];
    const macro::MacroRef ref = macro::MacroRef::FromAssignment(v);
    if (!ref.isUser() || s.apply.firstBlockSize <= 0) return {false, "no user macro on the first button"};
    const ApplyState::FirstBlock& placed = s.apply.placed;
    if (!placed.valid) return {false, "no complete apply has placed a macro there"};
    if (placed.profile != profile) return {false, "the mouse now uses another profile than the last apply placed"};
    if (placed.value != v) return {false, "the first button holds another macro than the last apply placed"};
    const int group = ref.group;
    const int index = ref.index;
    macro::MacroRecord record = macro::ReadMacro(s.macros.folders.macroFolder, group, index);
    macro::CorrectMoves(record, up);
    const macro::MacroRecord unrolled = macro::UnrollShortMacro(record);
    // The descriptor the apply wrote tells the mouse how many events to play
    // and how: a macro edited since then would be played wrongly.
    if (unrolled.eventCount != placed.eventCount || record.runMode != placed.modeByte) {
        return {false, "the macro was edited since the last apply"};
    }
    const auto size = static_cast<std::size_t>(s.apply.firstBlockSize);
    if (std::min(macro::MeasureMacroImage(unrolled), device::mem::kMaxBlockSize) > size) {
        return {false, "the macro no longer fits the place the last apply gave it"};
    }
    const macro::EncodedImage image = macro::EncodeMacroImage(
        unrolled, static_cast<std::uint32_t>(s.apply.firstBlockAddress), size, s.settings.pollIntervalMs, *s.messages);
    LinkWriter writer(s.link);
    macro::WriteImage(writer, static_cast<std::uint16_t>(s.apply.firstBlockAddress), image.bytes);

    const macro::GroupDirectory& g = s.macros.groups;
    if (group < g.groupCount && macro::IsSafeGroupName(g.groupNames[static_cast<std::size_t>(group)])) {
        const auto file = macro::GroupFile(s.macros.folders.macroFolder, g.groupNames[static_cast<std::size_t>(group)]);
        if (Status st = macro::WriteMacroValue(file, index, record); !st.ok()) s.messages->show(st.message());
        if (group == g.currentGroup && index < macro::kTableSlots)
            s.macros.table.slots[static_cast<std::size_t>(index)] = record;
    }
    return {true, {}};
}

}  // namespace kx700::programming
