#pragma once

// The macro state of one session: the folders of the current language, the
// current group's macros, the built-in macros and the group directory. The
// window's session owns one MacroState; nothing here is global, so tests (and
// several sessions in one process) never share it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "macro/record.h"
#include "platform/paths.h"

namespace kx700::macro {

inline constexpr int kMaxMacrosPerGroup = 20;
inline constexpr int kMaxGroups = 12;
inline constexpr int kTableSlots = 21;  // slot 20 stays blank

struct MacroTable {
    std::array<MacroRecord, kTableSlots> slots{};
    std::uint16_t macroCount = 0;
    int currentMacro = 0;
    friend bool operator==(const MacroTable&, const MacroTable&) = default;
};

struct ConstantMacroTable {
    std::array<MacroRecord, kTableSlots> records{};
    std::uint16_t count = 0;
};

struct GroupDirectory {
    int groupCount = 0;
    std::array<std::string, kMaxGroups> groupNames{};
    int currentGroup = 0;
    std::array<int, kMaxGroups> groupMacroCount{};
    std::array<std::array<std::string, kMaxMacrosPerGroup>, kMaxGroups> macroNames{};
};

struct MacroFolders {
    std::filesystem::path macroFolder;       // group files and macroGrp.ini
    std::filesystem::path macroResetFolder;  // factory copy of macroFolder
    std::filesystem::path constantMacroFile;

    static MacroFolders For(const Folders& folders, bool englishInterface);
    std::filesystem::path groupListFile() const { return macroFolder / "macroGrp.ini"; }
};

struct MacroState {
    MacroFolders folders;
    MacroTable table;
    ConstantMacroTable constants;
    GroupDirectory groups;
};

}  // namespace kx700::macro
