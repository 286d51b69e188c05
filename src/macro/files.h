#pragma once

// Macro files: one INI file per group, section "Macros", "macroNum" and one
// key per macro; the constant macro file has the same form.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "macro/state.h"
#include "platform/message_sink.h"
#include "platform/profile.h"
#include "platform/status.h"

namespace kx700::macro {

// Read buffers of the file format, in UTF-16 code units including the
// terminator the original buffers had.
inline constexpr std::size_t kCountReadSize = 3;             // "macroNum", "macGrpNum"
inline constexpr std::size_t kGroupNameReadSize = 20;        // group names
inline constexpr std::size_t kValueReadSize = 19396;         // a macro value
inline constexpr std::size_t kConstantValueReadSize = 1464;  // a constant macro value

// A group name is used as a file name; names that could leave the macro folder
// or that no file system can hold are refused.
bool IsSafeGroupName(std::string_view name);

// The file of the group named `name` (UTF-8) in `macroFolder`: name + ".dat".
// Empty for a name IsSafeGroupName refuses, so no caller can leave the folder.
std::filesystem::path GroupFile(const std::filesystem::path& macroFolder, std::string_view name);

// Whether bytes are a macro group file as SaveAllMacros writes one: profile
// text whose "macroNum" in section "Macros" is a decimal count from 0 to 20 in
// at most two digits (the room the count is read with), and whose macros
// below that count are each a value of exactly 1815 fields of three decimal
// digits, every field a byte (000 to 255). Other keys and sections are allowed.
bool IsMacroGroupFile(std::string_view bytes);

// The number of macros a file claims, held to what the tables can take (0..20).
int ReadMacroCount(const std::filesystem::path& file);

// Fills the table from a group file. A missing file shows "找不到配置文件" and
// loads nothing; slots from macroCount on keep what they held.
void LoadGroupFile(const std::filesystem::path& file, MacroTable& table, MessageSink& sink);

// One macro of group g, read straight from the files; a zero record when the
// group, its file or the macro does not exist. Touches no shared state.
MacroRecord ReadMacro(const std::filesystem::path& macroFolder, int group, int index);

// Counts and names of every group of the directory.
void ReadAllMacroNames(const std::filesystem::path& macroFolder, GroupDirectory& groups);

// The built-in macros; each value is read with the short constant buffer, so
// only a macro's first 56 events come through whole.
void LoadConstantMacros(const std::filesystem::path& file, ConstantMacroTable& table, MessageSink& sink);

// The same readers over files already parsed (profile::Snapshot, from a file
// or from bytes): the functions above are these with the files opened. A
// snapshot that does not exist reads as a missing file.
void LoadGroup(const profile::Snapshot& file, MacroTable& table, MessageSink& sink);
void LoadConstants(const profile::Snapshot& file, ConstantMacroTable& table, MessageSink& sink);
// Gives a group file by its (already checked) group name.
using GroupFileSource = std::function<profile::Snapshot(const std::string& groupName)>;
MacroRecord ReadMacro(const profile::Snapshot& groupList, const GroupFileSource& groupFile, int group, int index);
void ReadAllMacroNames(const GroupFileSource& groupFile, GroupDirectory& groups);

// "macroNum" = macroCount and slot s under key s; other keys stay as they are.
// A file whose count is macroCount and whose key s reads back as exactly this
// record is not written: a macro that was only looked at keeps its file byte
// for byte, also where a hand-made value is spelled differently.
Status SaveMacro(const std::filesystem::path& file, const MacroTable& table, int slot);
// "macroNum" = macroCount and slots 0..macroCount-1.
Status SaveAllMacros(const std::filesystem::path& file, const MacroTable& table);
// One macro under its key, "macroNum" untouched (the correction re-upload).
Status WriteMacroValue(const std::filesystem::path& file, int index, const MacroRecord& record);

// macroFolder/New.dat, created empty (or truncated). Shows "Create new
// mac_file Fail!" and returns false when it cannot be created.
bool CreateEmptyGroupFile(const std::filesystem::path& macroFolder, MessageSink& sink);

// The data side of the export: the whole current table into the chosen file.
// "Error!" without any group, and for a chosen file that is a group's file in
// the macro folder (the group's own, which would be written onto itself, or
// another group's, which it would replace); nothing is written then.
Status ExportGroup(const MacroState& m, const std::filesystem::path& chosen, MessageSink& sink);

}  // namespace kx700::macro
