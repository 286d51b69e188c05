#include "programming/apply.h"

#include "device/protocol.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "settings/settings_file.h"

namespace kx700::programming {
namespace {

// False when the mouse did not take the block: the rest of the image would
// land after a hole, so the apply stops there.
bool Write(device::DeviceLink& link, ApplyResult& r, const MemoryWrite& w) {
    const Status st = device::WriteDeviceMemory(link, w.address, w.bytes);
    ++r.transactions;
    if (!st.ok()) {
        r.end = ApplyEnd::DeviceFailed;
        r.failure = st.message();
        return false;
    }
    r.bytes += w.bytes.size();
    return true;
}

std::string NotLoadedMessage(bool english) {
    return english ? "The settings could not be read from config.ini, so the mouse was not programmed."
                   : "无法读取设置文件 config.ini，未写入鼠标。";
}

std::string DeviceFailedMessage(bool english, const std::string& why) {
    return english ? "The mouse did not take the settings (" + why + "); config.ini was not changed."
                   : "鼠标未能接收设置（" + why + "），config.ini 未更改。";
}

std::string SaveFailedMessage(bool english, const std::string& why) {
    return english ? "programmed the mouse, but could not save the settings: " + why
                   : "已写入鼠标，但无法保存设置：" + why;
}

ApplyResult Ended(ApplyResult r, std::chrono::steady_clock::time_point started) {
    r.elapsed = std::chrono::steady_clock::now() - started;
    return r;
}

void SystemSettings(Session& s) {
    if (s.systemMouse == nullptr) return;
    if (s.systemMouse->pointerSpeed()) s.systemMouse->setPointerSpeed(SystemPointerSpeedFor(s.settings.pointerSpeed));
    if (s.systemMouse->wheelLines()) s.systemMouse->setWheelLines(s.settings.wheelSpeed + 1);
}

}  // namespace

std::size_t PreparedApply::total() const {
    if (!write) return 0;
    const std::size_t writes = image.fixed.size() + image.descriptors.size() + image.data.size();
    return image.end == ApplyEnd::Completed ? writes + 2 : writes;
}

PreparedApply PrepareApply(Session& s) {
    PreparedApply p;
    p.started = std::chrono::steady_clock::now();
    ApplyResult& r = p.result;
    MessageSink& sink = *s.messages;
    if (!s.settingsLoaded) {
        r.end = ApplyEnd::SettingsNotLoaded;
        sink.show(NotLoadedMessage(s.englishInterface));
        r = Ended(r, p.started);
        return p;
    }
    // The block the last apply placed may be rewritten below: until this apply
    // has completed, no correction may assume what it holds.
    s.apply.placed.valid = false;

    const auto status = device::ReadDeviceStatus(s.link);
    if (status) s.memoryBankBit = status->memoryBankBit();
    const int bank = status ? status->memoryBankBit() : 0;

    macro::MacroState& m = s.macros;
    if (m.groups.groupCount > 0) {
        if (Status st = macro::SaveCurrentMacro(m); !st.ok()) r.saveError = st.message();
        macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    }

    BuiltImage built = BuildDeviceImage(ImageInputs{.settings = s.settings,
                                                    .currentProfile = s.currentProfile,
                                                    .macros = s.macros,
                                                    .previous = s.apply,
                                                    .deviceNibble = s.deviceNibble,
                                                    .memoryBankBit = bank,
                                                    .sink = sink});
    // The record and the tables change before anything is written, whatever
    // the writes then do.
    s.settings.buttonAssign = built.record.buttonAssign;
    s.settings.cycleColourMask = built.record.cycleColourMask;
    s.apply = built.tables;
    p.image = std::move(built.image);
    r.blocks = p.image.dataBlocks;
    p.dpiLevel = s.settings.dpiLevel & 3;
    for (unsigned i = 0; i < 4; ++i)
        p.dpiEnabledMask = static_cast<std::uint8_t>(p.dpiEnabledMask | (s.settings.dpiLevelEnabled[i] ? 1u << i : 0u));
    p.write = true;
    return p;
}

void WriteApplyImage(device::DeviceLink& link, PreparedApply& p, const ApplyProgress& progress) {
    if (!p.write) return;
    ApplyResult& r = p.result;
    const std::size_t total = p.total();
    auto step = [&] {
        if (progress) progress(r.transactions, total);
    };
    for (const auto* part : {&p.image.fixed, &p.image.descriptors, &p.image.data}) {
        for (const MemoryWrite& w : *part) {
            const bool written = Write(link, r, w);
            step();
            if (!written) return;
        }
    }
    if (p.image.end != ApplyEnd::Completed) {
        r.end = p.image.end;
        return;
    }
    r.transactions += 2;
    Status finished = device::SendDpiState(link, p.dpiLevel, p.dpiEnabledMask);
    if (finished.ok()) finished = device::FinishProgramming(link);
    step();
    if (!finished.ok()) {
        r.end = ApplyEnd::DeviceFailed;
        r.failure = finished.message();
    }
}

ApplyResult FinishApply(Session& s, PreparedApply& p) {
    ApplyResult& r = p.result;
    if (!p.write) return r;
    MessageSink& sink = *s.messages;
    PublishHostView(s);
    if (r.end == ApplyEnd::DeviceFailed) {
        sink.show(DeviceFailedMessage(s.englishInterface, r.failure));
        return Ended(r, p.started);
    }
    if (r.end != ApplyEnd::Completed) {
        if (r.end == ApplyEnd::MacroAreaFull) sink.show("宏存储过多，请减少宏定义按键个数！");
        return Ended(r, p.started);
    }

    SystemSettings(s);
    // CurConfig goes with the profiles: an apply that ends early leaves
    // config.ini exactly as it was, and a full one replaces it once.
    if (Status saved = SaveAllProfiles(s.settings, s.folders.settingsFile(), s.currentProfile); !saved.ok()) {
        r.saveError = saved.message();
    }
    if (!r.saveError.empty()) sink.show(SaveFailedMessage(s.englishInterface, r.saveError));
    s.apply.applied = true;
    s.apply.placed = p.image.firstBlock;
    PublishHostView(s);
    return Ended(r, p.started);
}

ApplyResult ApplySettings(Session& s, const ApplyProgress& progress) {
    PreparedApply p = PrepareApply(s);
    WriteApplyImage(s.link, p, progress);
    return FinishApply(s, p);
}

}  // namespace kx700::programming
