#include "programming/session.h"

#include <thread>

#include "device/protocol.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "platform/profile.h"
#include "settings/settings_file.h"

namespace kx700 {

std::uint32_t HostProfile::switchTo(int profile) {
    const std::uint32_t bits = Bits(profile);
    std::uint32_t seen = word_.load();
    std::uint32_t next = 0;
    // The number wraps; only its equality with the UI thread's count matters.
    do {
        next = ((seen & ~kProfileBits) + (1u << kSwitchShift)) | bits;
    } while (!word_.compare_exchange_weak(seen, next));
    return next >> kSwitchShift;
}

bool HostProfile::publish(int profile, std::uint32_t lastSwitchHandled) {
    const std::uint32_t next = (lastSwitchHandled << kSwitchShift) | Bits(profile);
    std::uint32_t seen = word_.load();
    while ((seen >> kSwitchShift) == lastSwitchHandled) {
        if (word_.compare_exchange_weak(seen, next)) return true;
    }
    return false;
}

void PublishHostView(Session& s) {
    HostView& h = s.hostView;
    for (std::size_t p = 0; p < kProfileSlots; ++p) {
        for (std::size_t b = 0; b < kButtons; ++b) {
            h.buttonAssign[p][b].store(s.settings.buttonAssign[p][b]);
            h.holdKeyFlag[p][b].store(s.apply.holdKeyFlag[p][b]);
            h.profileKeyFlag[p][b].store(s.apply.profileKeyFlag[p][b]);
            h.dpiReportFlag[p][b].store(s.apply.dpiReportFlag[p][b]);
        }
    }
    h.currentProfile.publish(s.currentProfile, s.profileSwitchesHandled);
}

void LoadGroupDirectory(macro::MacroState& m, MessageSink& messages, macro::ListRepair repair) {
    macro::LoadGroupList(m, messages, repair);
}

void LoadMacroData(Session& s, MessageSink& sink, macro::ListRepair repair) {
    s.macros.folders = macro::MacroFolders::For(s.folders, s.englishInterface);
    LoadGroupDirectory(s.macros, sink, repair);  // also reads every group's macro names
    macro::LoadCurrentGroup(s.macros, sink);
    macro::LoadConstantMacros(s.macros.folders.constantMacroFile, s.macros.constants, sink);
}

void LoadSettingsData(Session& s, MessageSink& sink, std::optional<bool> english) {
    const auto settingsFile = s.folders.settingsFile();
    s.currentProfile = ReadCurrentProfile(settingsFile);
    s.englishInterface = english.value_or(ReadEnglishInterface(settingsFile));
    s.settingsLoaded = LoadAllProfiles(s.settings, s.folders.settingsFolder(), sink);
    s.profileNames = ReadProfileNames(settingsFile, s.englishInterface);
}

Connection ConnectMouse(Session& s, device::HidBackend& backend, const MouseClaim& claim) {
    Connection c;
    c.found = device::DiscoverDevice(s.link, backend);
    // A mouse with only one of its collections is still asked: the write
    // collection may be the one that opened.
    if (c.found.result == device::DiscoveryResult::NotFound || c.found.result == device::DiscoveryResult::NoAccess)
        return c;
    if (claim && !claim(s.link.devicePath)) {
        c.owned = false;
        return c;
    }
    std::this_thread::sleep_for(device::kPauseBeforeFirstStatus);
    if (const auto status = device::ReadDeviceStatus(s.link)) {
        s.deviceNibble = static_cast<std::uint8_t>(status->deviceNibble());
        s.memoryBankBit = status->memoryBankBit();
    }
    return c;
}

void LoadSessionData(Session& s) {
    LoadSettingsData(s, *s.messages);
    LoadMacroData(s, *s.messages);
    PublishHostView(s);
}

Connection StartSession(Session& s, device::HidBackend& backend, const MouseClaim& claim) {
    LoadSessionData(s);
    return ConnectMouse(s, backend, claim);
}

}  // namespace kx700
