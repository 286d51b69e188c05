#include "programming/apply.h"

#include "device/protocol.h"
#include "macro/files.h"
#include "settings/settings_file.h"

namespace kx700::programming {
namespace {

void Note(ApplyResult& r, const Status& st) {
    if (!st.ok() && r.failure.empty()) r.failure = st.message();
}

void Write(Session& s, ApplyResult& r, const MemoryWrite& w) {
    Note(r, device::WriteDeviceMemory(s.link, w.address, w.bytes));
    ++r.transactions;
    r.bytes += w.bytes.size();
}

void SystemSettings(Session& s) {
    if (s.systemMouse == nullptr) return;
    if (s.systemMouse->pointerSpeed()) s.systemMouse->setPointerSpeed(SystemPointerSpeedFor(s.settings.pointerSpeed));
    if (s.systemMouse->wheelLines()) s.systemMouse->setWheelLines(s.settings.wheelSpeed + 1);
}

}  // namespace

ApplyResult ApplySettings(Session& s) {
    const auto started = std::chrono::steady_clock::now();
    ApplyResult r;
    MessageSink& sink = *s.messages;

    const auto status = device::ReadDeviceStatus(s.link);
    const int bank = status ? status->memoryBankBit() : 0;

    macro::MacroState& m = s.macros;
    if (m.groups.groupCount > 0) {
        const std::string& name = m.groups.groupNames[static_cast<std::size_t>(m.groups.currentGroup)];
        if (macro::IsSafeGroupName(name) && m.table.currentMacro >= 0 && m.table.currentMacro < m.table.macroCount) {
            Note(r, macro::SaveMacro(m.folders.macroFolder / (name + ".dat"), m.table, m.table.currentMacro));
        }
        macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    }

    const DeviceImage image = BuildDeviceImage(s, bank);
    for (const MemoryWrite& w : image.fixed) Write(s, r, w);
    for (const MemoryWrite& w : image.descriptors) Write(s, r, w);
    for (const MemoryWrite& w : image.data) Write(s, r, w);
    r.blocks = image.dataBlocks;
    PublishHostView(s);
    if (image.end != ApplyEnd::Completed) {
        if (image.end == ApplyEnd::MacroAreaFull) sink.show("宏存储过多，请减少宏定义按键个数！");
        r.end = image.end;
        r.elapsed = std::chrono::steady_clock::now() - started;
        return r;
    }

    std::uint8_t mask = 0;
    for (unsigned i = 0; i < 4; ++i) mask = static_cast<std::uint8_t>(mask | (s.settings.dpiLevelEnabled[i] ? 1u << i : 0u));
    Note(r, device::SendDpiState(s.link, s.settings.dpiLevel & 3, mask));
    Note(r, device::FinishProgramming(s.link));
    r.transactions += 2;

    SystemSettings(s);
    // CurConfig goes with the profiles: an apply that ends early leaves
    // config.ini exactly as it was, and a full one replaces it once.
    if (Status saved = SaveAllProfiles(s.settings, s.folders.settingsFile(), s.currentProfile); !saved.ok()) {
        sink.show(saved.message());
        Note(r, saved);
    }
    s.apply.applied = true;
    PublishHostView(s);
    r.elapsed = std::chrono::steady_clock::now() - started;
    return r;
}

}  // namespace kx700::programming
