#include "macro/groups.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "macro/files.h"
#include "macro/folder_ops.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace kx700::macro {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kCountSection = "MACRO_GROUP_NUM";
constexpr std::string_view kCountKey = "macGrpNum";
constexpr std::string_view kNameSection = "MACRO_GROUP_NAME";
constexpr int kListKeys = 20;  // keys "0".."19", although only 12 groups exist

constexpr std::string_view kCantFindFile = "Can't find the file.";
constexpr std::string_view kMoreThanLimit = "More than limit!";
constexpr std::string_view kNotFindFile = "not find File!";
constexpr std::string_view kInvalidCharacter = "Invalid: Delete Invalid character";
constexpr std::string_view kError = "Error!";
constexpr std::string_view kDoubleName = "Double name!";
constexpr std::string_view kNewGroupName = "New";

std::size_t U(int i) { return static_cast<std::size_t>(i); }
std::string Key(int i) { return std::to_string(i); }

std::string Utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// The entry itself, a dangling link included: what a deletion has to remove.
bool EntryPresent(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

bool InTable(const GroupDirectory& g, int k) { return k >= 0 && k < std::min(g.groupCount, kMaxGroups); }

bool HasGroupNamed(const GroupDirectory& g, std::string_view name) {
    for (int k = 0; k < std::min(g.groupCount, kMaxGroups); ++k)
        if (g.groupNames[U(k)] == name) return true;
    return false;
}

void RemoveName(GroupDirectory& g, int k) {
    for (int i = k; i + 1 < g.groupCount; ++i) g.groupNames[U(i)] = std::move(g.groupNames[U(i + 1)]);
    g.groupNames[U(g.groupCount - 1)].clear();
    --g.groupCount;
}

void EmptyTable(MacroTable& t) {
    for (MacroRecord& r : t.slots) ClearMacro(r);
    t.macroCount = 0;
}

// The directory is rebuilt from nothing: ReadAllMacroNames only fills the
// groups and macros that exist, and a removed group must not leave its names.
void RefreshNames(MacroState& m) {
    m.groups.groupMacroCount.fill(0);
    for (auto& names : m.groups.macroNames) names.fill(std::string());
    ReadAllMacroNames(m.folders.macroFolder, m.groups);
}

// The list reader trims blanks and removes one pair of quotes around a value,
// so such names are written in double quotes (a safe name holds none) and come
// back as they were typed; without this "Fire " would lose its file after the
// next start.
std::string ListValue(const std::string& name) {
    if (name.empty()) return name;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        name.size() >= 2 && name.front() == name.back() && (name.front() == '\'' || name.front() == '"');
    if (blank(name.front()) || blank(name.back()) || quoted) return '"' + name + '"';
    return name;
}

bool WriteListOrSay(const MacroState& m, MessageSink& sink) {
    const Status s = WriteGroupList(m);
    if (!s) sink.show("Can't write the group list " + Utf8(m.folders.groupListFile()) + ": " + s.message());
    return s.ok();
}

// Copies `from` over `to` through a temporary file beside `to`, so a failed
// copy leaves whatever `to` held untouched.
Status CopyReplacing(const fs::path& from, const fs::path& to) {
    fs::path part = to;
    part += u8".kx700-part";
    std::error_code ec;
    if (!fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec) || ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return Status::Error(ec ? ec.message() : "the file could not be copied");
    }
    fs::rename(part, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(part, ignored);
        return Status::Error(ec.message());
    }
    return Status::Ok();
}

// Renames a group's file the way the original did, copy then delete. Where
// the file system ignores case both names may be one file; a copy onto itself
// followed by deleting "the old one" would destroy it, so that case is a rename.
}  // namespace

fs::path GroupFile(const MacroState& m, int g) {
    if (g < 0 || g >= kMaxGroups) return {};
    return GroupFile(m.folders.macroFolder, m.groups.groupNames[U(g)]);
}

Status SaveToCurrentGroup(const MacroState& m, int slot) {
    const GroupDirectory& g = m.groups;
    if (g.groupCount <= 0 || !InTable(g, g.currentGroup) || !IsSafeGroupName(g.groupNames[U(g.currentGroup)])) {
        return Status::Ok();
    }
    if (slot < 0 || slot >= m.table.macroCount) return Status::Ok();
    return SaveMacro(GroupFile(m, g.currentGroup), m.table, slot);
}

Status SaveCurrentMacro(const MacroState& m) { return SaveToCurrentGroup(m, m.table.currentMacro); }

void LoadGroupList(MacroState& m, MessageSink& sink, ListRepair repair) {
    GroupDirectory& g = m.groups;
    const fs::path list = m.folders.groupListFile();
    if (!Exists(list)) sink.show(kCantFindFile);
    const profile::Snapshot ini(list);
    g.groupCount = std::clamp(ini.readInt(kCountSection, kCountKey, kCountReadSize), 0, kMaxGroups);
    g.groupNames.fill(std::string());
    g.currentGroup = 0;
    for (int k = 0; k < g.groupCount; ++k)
        g.groupNames[U(k)] = ini.readString(kNameSection, Key(k), "", kGroupNameReadSize);

    bool dropped = false;
    for (int k = 0; k < g.groupCount;) {
        // The name that moves up into place k is examined next.
        if (IsSafeGroupName(g.groupNames[U(k)]) && Exists(GroupFile(m, k))) {
            ++k;
        } else {
            RemoveName(g, k);
            dropped = true;
        }
    }
    if (dropped && repair == ListRepair::Save) WriteListOrSay(m, sink);
    RefreshNames(m);
}

Status WriteGroupList(const MacroState& m) {
    const GroupDirectory& g = m.groups;
    const int count = std::clamp(g.groupCount, 0, kMaxGroups);
    profile::Batch b(m.folders.groupListFile());
    b.set(kCountSection, kCountKey, std::int64_t{count});
    for (int k = 0; k < kListKeys; ++k) b.set(kNameSection, Key(k), k < count ? ListValue(g.groupNames[U(k)]) : "");
    return b.commit();
}

bool GroupFileExists(MacroState& m, int g, bool load, MessageSink& sink) {
    if (!InTable(m.groups, g) || !IsSafeGroupName(m.groups.groupNames[U(g)])) return false;
    const fs::path file = GroupFile(m, g);
    if (!Exists(file)) return false;
    if (load) {
        // LoadGroupFile keeps the slots past the file's count; another group's
        // macros must not linger there.
        EmptyTable(m.table);
        LoadGroupFile(file, m.table, sink);
    }
    return true;
}

void LoadCurrentGroup(MacroState& m, MessageSink& sink) {
    if (m.groups.groupCount > 0 && GroupFileExists(m, m.groups.currentGroup, true, sink)) return;
    // Also when the current group's file has gone: showing the previous
    // group's macros under this group's name would save them into it.
    EmptyTable(m.table);
}

void SwitchGroup(MacroState& m, int previousGroup, int slot, MessageSink& sink) {
    MacroTable& t = m.table;
    if (slot >= 0 && slot < t.macroCount && InTable(m.groups, previousGroup) &&
        IsSafeGroupName(m.groups.groupNames[U(previousGroup)])) {
        const Status s = SaveMacro(GroupFile(m, previousGroup), t, slot);
        if (!s) sink.show("Can't save the macro into " + Utf8(GroupFile(m, previousGroup)) + ": " + s.message());
    }
    LoadCurrentGroup(m, sink);
    // currentMacro keeps its value, but is held below the new group's count:
    // past it the editor would show (and save) a blank slot the list does not
    // have.
    t.currentMacro = std::clamp(t.currentMacro, 0, std::max(t.macroCount - 1, 0));
    RefreshNames(m);
}

bool NewGroup(MacroState& m, MessageSink& sink) {
    GroupDirectory& g = m.groups;
    m.table.currentMacro = 0;
    if (g.groupCount >= kMaxGroups) {
        sink.show(kMoreThanLimit);
        return false;
    }
    if (HasGroupNamed(g, kNewGroupName)) {
        sink.show("'" + std::string(kNewGroupName) + "' " + std::string(kDoubleName));
        return false;
    }
    g.groupNames[U(g.groupCount)] = std::string(kNewGroupName);
    g.currentGroup = g.groupCount;
    ++g.groupCount;
    WriteListOrSay(m, sink);
    CreateEmptyGroupFile(m.folders.macroFolder, sink);  // says so itself; the group stays
    EmptyTable(m.table);
    RefreshNames(m);
    return true;
}

bool DeleteGroup(MacroState& m, MessageSink& sink) {
    GroupDirectory& g = m.groups;
    m.table.currentMacro = 0;
    if (g.groupCount <= 0 || !InTable(g, g.currentGroup)) return false;
    if (IsSafeGroupName(g.groupNames[U(g.currentGroup)])) {
        const fs::path file = GroupFile(m, g.currentGroup);
        std::error_code ec;
        if (EntryPresent(file)) fs::remove(file, ec);
        if (EntryPresent(file)) {
            std::this_thread::sleep_for(10ms);
            fs::remove(file, ec);
        }
        if (EntryPresent(file)) {
            // Removing the name would leave the file to be found by nothing.
            sink.show("Can't delete " + Utf8(file) + ": " + (ec ? ec.message() : std::string("it is still there")));
            return false;
        }
    }
    RemoveName(g, g.currentGroup);
    g.currentGroup = 0;
    WriteListOrSay(m, sink);
    LoadCurrentGroup(m, sink);
    RefreshNames(m);
    return true;
}

RenameResult RenameGroup(MacroState& m, std::string_view text, MessageSink& sink) {
    GroupDirectory& g = m.groups;
    if (g.groupCount <= 0 || !InTable(g, g.currentGroup)) return RenameResult::NoGroup;
    if (text.empty() || text == " ") return RenameResult::RestoreBox;
    if (g.groupNames[U(g.currentGroup)] == text) return RenameResult::Unchanged;
    if (HasGroupNamed(g, text)) {
        // Two groups of one name would share one file.
        sink.show("'" + std::string(text) + "' " + std::string(kDoubleName));
        return RenameResult::Duplicate;
    }
    // Refused before anything is written: such a name could leave the macro
    // folder, inject list lines, or be cut when the list is read back.
    if (kx700::text::Utf16Length(text) > static_cast<std::size_t>(kMaxGroupNameLength) || !IsSafeGroupName(text)) {
        sink.show(kInvalidCharacter);
        return RenameResult::Invalid;
    }

    std::string& name = g.groupNames[U(g.currentGroup)];
    const std::string kept = name;
    const fs::path oldFile = GroupFile(m, g.currentGroup);
    name = std::string(text);
    const fs::path newFile = GroupFile(m, g.currentGroup);
    if (!Exists(oldFile)) {
        if (!WriteListOrSay(m, sink)) {
            name = kept;
            return RenameResult::Invalid;
        }
        sink.show(kNotFindFile);
        RefreshNames(m);
        return RenameResult::FileMissing;
    }

    // The file goes first and is under both names while the list changes, so
    // a stop at any moment (a crash, a kill, a full disk) leaves a list whose
    // every group has its file; a list naming a missing file would lose the
    // group at the next start.
    const bool sameFile = SameFile(oldFile, newFile);  // only the letter case differs
    std::error_code ec;
    Status placed = Status::Ok();
    if (sameFile) {
        fs::rename(oldFile, newFile, ec);
        if (ec) placed = Status::Error(ec.message());
    } else {
        placed = CopyReplacing(oldFile, newFile);
    }
    if (!placed) {
        name = kept;
        sink.show(kInvalidCharacter);
        return RenameResult::Invalid;
    }
    if (!WriteListOrSay(m, sink)) {
        name = kept;
        if (sameFile) {
            fs::rename(newFile, oldFile, ec);
        } else {
            fs::remove(newFile, ec);
        }
        return RenameResult::Invalid;
    }
    if (!sameFile) fs::remove(oldFile, ec);  // a copy left behind on failure is only a stray file
    RefreshNames(m);
    return RenameResult::Renamed;
}

bool CanImportGroup(const MacroState& m, MessageSink& sink) {
    if (m.groups.groupCount < kMaxGroups) return true;
    sink.show(kMoreThanLimit);
    return false;
}

bool ImportGroup(MacroState& m, const fs::path& chosen, MessageSink& sink) {
    GroupDirectory& g = m.groups;
    if (!CanImportGroup(m, sink)) return false;
    const std::string fileName = Utf8(chosen.filename());
    const std::size_t dat = fileName.find(".dat");
    const std::string name = dat == std::string::npos ? std::string() : fileName.substr(0, dat);
    // An unsafe or too long name could never be found again in the macro folder.
    if (name.empty() || !IsSafeGroupName(name) ||
        text::Utf16Length(name) > static_cast<std::size_t>(kMaxGroupNameLength)) {
        sink.show(kError);
        return false;
    }
    if (HasGroupNamed(g, name)) {
        sink.show(kDoubleName);
        return false;
    }

    std::string readError;
    const std::optional<std::string> bytes = fileio::ReadWholeFile(chosen, &readError);
    if (!bytes) {
        sink.show("Can't copy " + Utf8(chosen) +
                  " into the macro folder: " + (readError.empty() ? std::string("it does not exist") : readError));
        return false;
    }
    // Anything else would become an empty group, or one of phantom macros
    // made of whatever the file holds.
    if (!IsMacroGroupFile(*bytes)) {
        sink.show(kError);
        return false;
    }

    // The copy is named after the group, not after the chosen file: from
    // "Sniper.dat.bak" the group "Sniper" needs Sniper.dat. The copy holds the
    // bytes that were checked, and the group is loaded from it below, so a
    // failed copy leaves the table alone.
    const fs::path target = GroupFile(m.folders.macroFolder, name);
    if (!SameFile(chosen, target)) {
        if (Status s = fileio::ReplaceFile(target, *bytes); !s) {
            sink.show("Can't copy " + Utf8(chosen) + " into the macro folder: " + s.message());
            return false;
        }
    }
    g.groupNames[U(g.groupCount)] = name;
    ++g.groupCount;
    if (!WriteListOrSay(m, sink)) {
        RemoveName(g, g.groupCount - 1);
        return false;
    }
    LoadGroupList(m, sink);
    g.currentGroup = std::max(g.groupCount - 1, 0);
    LoadCurrentGroup(m, sink);
    return true;
}

void ResetMacros(MacroState& m, MessageSink& sink) {
    m.groups.currentGroup = 0;
    m.table.currentMacro = 0;
    DeleteFolderContents(m.folders.macroFolder);
    CopyFolder(m.folders.macroResetFolder, m.folders.macroFolder);
    // The original reset let the copied files settle before reading them back.
    std::this_thread::sleep_for(100ms);
    LoadGroupList(m, sink);
    LoadCurrentGroup(m, sink);
}

}  // namespace kx700::macro
