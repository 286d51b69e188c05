// What the session's own thread does with the monitor's events.
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

void HandleProfileChanged(Session& s, int profile) {
    if (profile < 0 || profile >= kProfileSlots) return;
    s.currentProfile = profile;
    if (Status st = WriteCurrentProfile(s.folders.settingsFile(), profile); !st.ok()) s.messages->show(st.message());
    LoadProfile(s.settings, s.folders.settingsFolder(), profile, false, *s.messages);
    PublishHostView(s);
}

void HandleCpiLevel(Session& s, int level) {
    if (level < 0 || level >= kCpiLevels) return;
    s.settings.dpiLevel = level;
    if (Status st = SaveDpiLevel(s.settings, s.folders.settingsFile()); !st.ok()) s.messages->show(st.message());
}

bool CorrectionReupload(Session& s, bool up) {
    const std::int32_t v = s.settings.buttonAssign[static_cast<std::size_t>(s.currentProfile & 3)][0];
    if (v < 256 || s.apply.firstBlockSize <= 0) return false;
    const int group = v / 256 - 1;
    const int index = v % 256;
    macro::MacroRecord record = macro::ReadMacro(s.macros.folders.macroFolder, group, index);
    macro::CorrectMoves(record, up);
    const macro::MacroRecord unrolled = macro::UnrollShortMacro(record);
    const auto size = static_cast<std::size_t>(s.apply.firstBlockSize);
    // A macro edited since the apply may no longer fit the place it was given.
    if (std::min(macro::MeasureMacroImage(unrolled), kMaxBlockSize) > size) return false;
    const macro::EncodedImage image = macro::EncodeMacroImage(
        unrolled, static_cast<std::uint32_t>(s.apply.firstBlockAddress), size, s.settings.pollIntervalMs, *s.messages);
    LinkWriter writer(s.link);
    macro::WriteImage(writer, static_cast<std::uint16_t>(s.apply.firstBlockAddress), image.bytes);

    const macro::GroupDirectory& g = s.macros.groups;
    if (group < g.groupCount && macro::IsSafeGroupName(g.groupNames[static_cast<std::size_t>(group)])) {
        const auto file = s.macros.folders.macroFolder / (g.groupNames[static_cast<std::size_t>(group)] + ".dat");
        if (Status st = macro::WriteMacroValue(file, index, record); !st.ok()) s.messages->show(st.message());
        if (group == g.currentGroup && index < macro::kTableSlots) s.macros.table.slots[static_cast<std::size_t>(index)] = record;
    }
    return true;
}

}  // namespace kx700::programming
