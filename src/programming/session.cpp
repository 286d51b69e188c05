#include "programming/session.h"

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

void LoadSessionData(Session& s) {
    MessageSink& sink = *s.messages;
    const auto settingsFile = s.folders.settingsFile();
    s.currentProfile = ReadCurrentProfile(settingsFile);
    s.englishInterface = ReadEnglishInterface(settingsFile);
    bool loaded = true;
    for (int slot = 0; slot < kProfileSlots; ++slot) {
        loaded = LoadProfile(s.settings, s.folders.settingsFolder(), slot, false, sink) && loaded;
    }
    s.settingsLoaded = loaded;
    for (int i = 0; i < 3; ++i) {
        const std::string key = "ConfigName" + std::to_string(i + 1) + (s.englishInterface ? "_EN" : "");
        s.profileNames[static_cast<std::size_t>(i)] = profile::ReadString(settingsFile, "Init", key, "", 15);
    }
    LoadMacroData(s, sink);
    PublishHostView(s);
}

}  // namespace kx700
