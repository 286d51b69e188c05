// kx700ctl macro: the macro groups as the Macro page shows and changes them.
#include "app/ctl_macro.h"

#include "app/ctl_device.h"
#include "app/ctl_messages.h"
#include "macro/event_text.h"
#include "macro/files.h"
#include "macro/groups.h"
#include "programming/session.h"
#include "settings/settings_file.h"

namespace kx700::ctl {
namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }

bool WellFormed(const std::vector<std::string>& a) {
    if (a.empty()) return false;
    const std::string& v = a[0];
    if (v == "groups" || v == "reset") return a.size() == 1;
    if (v == "list" || v == "import") return a.size() == 2;
    if (v == "show" || v == "export") return a.size() == 3;
    return false;
}

// The group of that exact name, or -1 (said on `err`). Only names from the
// group list become paths.
int FindGroup(const macro::MacroState& m, const std::string& name, std::ostream& err) {
    for (int g = 0; g < m.groups.groupCount; ++g) {
        if (m.groups.groupNames[U(g)] == name) return g;
    }
    err << "kx700ctl: no macro group '" << name << "'";
    if (m.groups.groupCount > 0) {
        err << "; the groups are:";
        for (int g = 0; g < m.groups.groupCount; ++g) err << " '" << m.groups.groupNames[U(g)] << "'";
    }
    err << "\n";
    return -1;
}

}  // namespace

int RunMacroCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.command != "macro") return kNotADeviceCommand;
    const std::vector<std::string>& a = o.args;
    if (!WellFormed(a)) {
        err << "kx700ctl: macro takes groups, list GROUP, show GROUP NAME, export GROUP FILE, import FILE or reset\n";
        return kExitUsage;
    }
    Folders folders;
    if (const Status st = FindFolders(o.dataDir, folders); !st.ok()) {
        err << "kx700ctl: " << st.message() << "\n";
        return kExitFailure;
    }
    StreamMessages messages(err);
    macro::MacroState m;
    m.folders = macro::MacroFolders::For(folders, ReadEnglishInterface(folders.settingsFile()));
    const std::string& verb = a[0];
    // Only import and reset change the macro folder; the verbs that read
    // leave even a broken list for the window to repair.
    const bool changes = verb == "import" || verb == "reset";
    LoadGroupDirectory(m, messages, changes ? macro::ListRepair::Save : macro::ListRepair::Leave);

    if (verb == "groups") {
        for (int g = 0; g < m.groups.groupCount; ++g) out << m.groups.groupNames[U(g)] << "\n";
        return kExitOk;
    }
    if (verb == "reset") {
        const int before = messages.shown();
        macro::ResetMacros(m, messages);
        if (messages.shown() > before) return kExitFailure;  // the factory folder gave no group list
        out << "the macro groups are the factory ones again: " << m.groups.groupCount << " groups\n";
        return kExitOk;
    }
    if (verb == "import") {
        if (!macro::CanImportGroup(m, messages) || !macro::ImportGroup(m, a[1], messages)) return kExitFailure;
        out << "imported group '" << m.groups.groupNames[U(m.groups.currentGroup)] << "' with " << m.table.macroCount
            << " macros\n";
        return kExitOk;
    }
    const int g = FindGroup(m, a[1], err);
    if (g < 0) return kExitFailure;
    if (verb == "list") {
        for (int i = 0; i < m.groups.groupMacroCount[U(g)] && i < macro::kMaxMacrosPerGroup; ++i)
            out << m.groups.macroNames[U(g)][U(i)] << "\n";
        return kExitOk;
    }
    m.groups.currentGroup = g;
    if (!macro::GroupFileExists(m, g, true, messages)) {
        err << "kx700ctl: the file of group '" << a[1] << "' is gone\n";
        return kExitFailure;
    }
    if (verb == "export") {
        if (!macro::ExportGroup(m, a[2], messages).ok()) return kExitFailure;
        out << "exported group '" << a[1] << "' to " << a[2] << "\n";
        return kExitOk;
    }
    // show: the event list of the Macro page.
    for (int i = 0; i < m.table.macroCount && i < macro::kTableSlots; ++i) {
        const macro::MacroRecord& r = m.table.slots[U(i)];
        if (macro::MacroName(r) != a[2]) continue;
        for (const std::string& line : macro::MacroLines(r).lines) out << line << "\n";
        return kExitOk;
    }
    err << "kx700ctl: no macro '" << a[2] << "' in group '" << a[1] << "'\n";
    return kExitFailure;
}

}  // namespace kx700::ctl
