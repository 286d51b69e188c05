#include "ui/macro_groups.h"

#include <algorithm>

#include "macro/files.h"
#include "platform/profile.h"

namespace kx700::ui {
namespace fs = std::filesystem;

// The group list, as far as start-up needs it: names of groups whose file is
// there. Names that could leave the macro folder are never used as paths.
void LoadMacroGroups(macro::MacroState& m, MessageSink& messages) {
    macro::GroupDirectory& g = m.groups;
    g = macro::GroupDirectory{};
    const fs::path list = m.folders.groupListFile();
    std::error_code ec;
    if (!fs::exists(list, ec)) messages.show("Can't find the file.");
    const profile::Snapshot ini(list);
    int count = ini.readInt("MACRO_GROUP_NUM", "macGrpNum", 3);
    count = std::clamp(count, 0, macro::kMaxGroups);
    for (int k = 0; k < count; ++k) {
        std::string name = ini.readString("MACRO_GROUP_NAME", std::to_string(k), "", 20);
        if (!macro::IsSafeGroupName(name) || !fs::exists(m.folders.macroFolder / (name + ".dat"), ec)) continue;
        g.groupNames[static_cast<std::size_t>(g.groupCount++)] = std::move(name);
    }
}

}  // namespace kx700::ui
