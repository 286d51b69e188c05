#include "programming/session.h"

#include <thread>

#include "device/protocol.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "platform/profile.h"
#include "settings/settings_file.h"

namespace kx700 {

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
    h.currentProfile.store(s.currentProfile);
}

void LoadGroupDirectory(macro::MacroState& m, MessageSink& messages) { macro::LoadGroupList(m, messages); }

void LoadMacroData(Session& s, MessageSink& sink) {
    s.macros.folders = macro::MacroFolders::For(s.folders, s.englishInterface);
    LoadGroupDirectory(s.macros, sink);  // also reads every group's macro names
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
    if (c.found.result == device::DiscoveryResult::NotFound || c.found.result == device::DiscoveryResult::NoAccess) return c;
    if (claim && !claim(s.link.devicePath)) {
        c.owned = false;
        return c;
    }
    std::this_thread::sleep_for(device::kPauseBeforeFirstStatus);
    if (const auto status = device::ReadDeviceStatus(s.link)) s.deviceNibble = static_cast<std::uint8_t>(status->deviceNibble());
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
