#pragma once

// Macro groups: the group list file (macroGrp.ini beside the group files), the
// group state of MacroState and the operations behind the Macro page's group
// buttons, the group popup and the import/reset menu rows. No Qt: the window
// shows names and lists, this file keeps the files and the state in step.
//
// Every operation that changes names, the count or the current group also
// refreshes the name directory (groupMacroCount, macroNames), so the button
// menus never show a stale group.

#include <filesystem>
#include <string_view>

#include "macro/state.h"
#include "platform/message_sink.h"
#include "platform/status.h"

namespace kx700::macro {

// The list is read back with room for 19 characters, so a longer name would
// lose its file after the next start.
inline constexpr int kMaxGroupNameLength = 19;  // UTF-16 code units

// The file of group g (GroupFile of its name); an empty path for an index
// outside the table or a name that could leave the macro folder.
std::filesystem::path GroupFile(const MacroState& m, int g);

// Saves table slot `slot` into the current group's file (SaveMacro). Without
// a current group, for a slot outside the table's count, or for a group name
// that could leave the macro folder nothing is written and the result is Ok.
Status SaveToCurrentGroup(const MacroState& m, int slot);
// The macro being edited (table.currentMacro), the same way.
Status SaveCurrentMacro(const MacroState& m);

// Reads macroGrp.ini into m.groups. A missing list shows "Can't find the file."
// and leaves no groups. The count is held to 0..12 and names are read with room
// for 19 characters; currentGroup becomes 0. Groups whose file is missing or
// whose name could leave the folder are dropped in order (later names move up)
// and, unless `repair` is ListRepair::Leave, the list is rewritten.
enum class ListRepair { Save, Leave };
void LoadGroupList(MacroState& m, MessageSink& sink, ListRepair repair = ListRepair::Save);

// "macGrpNum" and keys "0".."19" (names below the count, empty from the count
// on) in one file replacement. A name the list could not give back as it is
// (blanks at either end, a pair of quotes) is written in double quotes.
Status WriteGroupList(const MacroState& m);

// Whether group g's file exists; when it does and load is true, the table is
// cleared and filled from it. currentMacro is left alone.
bool GroupFileExists(MacroState& m, int g, bool load, MessageSink& sink);

// Loads the current group into the table; with no group, or when its file is
// gone, the table is emptied (macroCount 0, slots cleared).
void LoadCurrentGroup(MacroState& m, MessageSink& sink);

// After the group popup made another group current: table slot `slot` (when
// 0 <= slot < macroCount) is saved into previousGroup's file, then the current
// group is loaded.
void SwitchGroup(MacroState& m, int previousGroup, int slot, MessageSink& sink);

// The data side of "New group": currentMacro = 0; "More than limit!" with 12
// groups, "'New' Double name!" when a group "New" exists (both: false, nothing
// changes). Otherwise group "New" is appended and made current, the list is
// written, New.dat is created empty ("Create new mac_file Fail!" when it cannot
// be; the group stays) and the table is emptied. True when the group was added.
bool NewGroup(MacroState& m, MessageSink& sink);

// The data side of "Delete group": currentMacro = 0; false without a group.
// The current group's file is deleted (a second try after 10 ms); when it
// still exists the file error is shown and nothing else changes (false).
// Otherwise the name is removed, group 0 becomes current and is loaded (the
// table is emptied when no group is left), and the list is written: true.
bool DeleteGroup(MacroState& m, MessageSink& sink);

enum class RenameResult {
    NoGroup,      // there is no group to rename; nothing happened
    RestoreBox,   // empty or a single blank: the box must show the current name again
    Unchanged,    // the current group already has exactly this name (the box shows it)
    Duplicate,    // "'<text>' Double name!": another group has exactly this name; nothing
                  // changes and the box must show the current name again
    Renamed,      // the name and the file follow the text
    FileMissing,  // "not find File!": the group's file was gone; the new name is kept and written
    Invalid,      // "Invalid: Delete Invalid character" (or why the list could not be written):
                  // the old name, the list and the files are as before
};

// The change handler of the group-name box; runs on every keystroke, so typing
// "Fire" renames New.dat to F.dat, Fi.dat, Fir.dat and Fire.dat in turn. A text
// longer than 19 UTF-16 code units or one that cannot be a file name of the
// macro folder is Invalid before any file is touched.
RenameResult RenameGroup(MacroState& m, std::string_view text, MessageSink& sink);

// True when another group may be imported; otherwise "More than limit!".
bool CanImportGroup(const MacroState& m, MessageSink& sink);

// Imports the chosen group file. Its name is the file name up to the first
// ".dat" (case-sensitive): without one, empty, longer than 19 units or unsafe
// as a file name, "Error!"; the name of an existing group, "Double name!". A
// file that is not a macro group file (IsMacroGroupFile) is "Error!" too. The
// file is copied into the macro folder as <name>.dat (the chosen file itself
// when it is that file), the group is appended, made current and loaded. A
// failed copy shows why and adds nothing. True when the group was added.
bool ImportGroup(MacroState& m, const std::filesystem::path& chosen, MessageSink& sink);

// The factory macro folder replaces the macro folder: every group, macro and
// the list. Group 0 becomes current and is loaded. Not confirmed by the user.
void ResetMacros(MacroState& m, MessageSink& sink);

}  // namespace kx700::macro
