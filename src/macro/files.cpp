#include "macro/files.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

#include "macro/value_format.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace kx700::macro {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSection = "Macros";
constexpr std::string_view kCountKey = "macroNum";
constexpr std::string_view kMissingFile = "找不到配置文件";

std::size_t U(int i) { return static_cast<std::size_t>(i); }
std::string Key(int i) { return std::to_string(i); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The same file, or for a file not there yet the same place.
bool SamePlace(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) return true;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return !ea && !eb && !ca.empty() && ca == cb;
}

int ClampCount(std::int32_t n, int limit) { return std::clamp<std::int32_t>(n, 0, limit); }

int CountIn(const profile::Snapshot& f) {
    return ClampCount(f.readInt(kSection, kCountKey, kCountReadSize), kMaxMacrosPerGroup);
}

void ReadNamesOf(const profile::Snapshot& f, GroupDirectory& groups, int g) {
    const int n = CountIn(f);
    groups.groupMacroCount[U(g)] = n;
    for (int i = 0; i < n; ++i)
        // Only the 60 characters of the name fields matter; reading no
        // more gives the same name without copying 5445 characters.
        groups.macroNames[U(g)][U(i)] = ParseMacroName(f.readView(kSection, Key(i), "", 3 * kNameBytes + 1));
}

void LoadValues(const profile::Snapshot& f, std::array<MacroRecord, kTableSlots>& slots, std::uint16_t& count,
                std::size_t readSize, MessageSink& sink) {
    if (!f.exists()) sink.show(kMissingFile);
    const int n = CountIn(f);
    count = static_cast<std::uint16_t>(n);
    for (int i = 0; i < n; ++i) slots[U(i)] = ParseMacroValue(f.readView(kSection, Key(i), "", readSize));
}

}  // namespace

MacroFolders MacroFolders::For(const Folders& folders, bool englishInterface) {
    return {folders.macroFolder(englishInterface), folders.macroResetFolder(englishInterface),
            folders.constantMacroFile()};
}

bool IsSafeGroupName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

fs::path GroupFile(const fs::path& macroFolder, std::string_view name) {
    if (!IsSafeGroupName(name)) return {};
    const std::string file = std::string(name) + ".dat";
    return macroFolder / fs::path(std::u8string(file.begin(), file.end()));
}

bool IsMacroGroupFile(std::string_view bytes) {
    const std::optional<profile::Snapshot> f = profile::Snapshot::OfText(bytes);
    if (!f) return false;
    // Read with room to spare, so that "100" is not taken for the "10" that
    // the loader's short buffer would see.
    const std::string count = f->readString(kSection, kCountKey, "", 16);
    if (count.empty() || count.size() > kCountReadSize - 1 || !std::ranges::all_of(count, IsDigit)) return false;
    const int n = text::ParseDecimal(count);
    if (n > kMaxMacrosPerGroup) return false;
    for (int i = 0; i < n; ++i) {
        const std::string value = f->readString(kSection, Key(i), "", kValueReadSize);
        if (value.size() != static_cast<std::size_t>(kValueChars)) return false;
        for (std::size_t k = 0; k < value.size(); k += 3) {
            if (!IsDigit(value[k]) || !IsDigit(value[k + 1]) || !IsDigit(value[k + 2])) return false;
            if ((value[k] - '0') * 100 + (value[k + 1] - '0') * 10 + (value[k + 2] - '0') > 255) return false;
        }
    }
    return true;
}

int ReadMacroCount(const fs::path& file) { return CountIn(profile::Snapshot(file)); }

void LoadGroup(const profile::Snapshot& file, MacroTable& table, MessageSink& sink) {
    LoadValues(file, table.slots, table.macroCount, kValueReadSize, sink);
}

void LoadConstants(const profile::Snapshot& file, ConstantMacroTable& table, MessageSink& sink) {
    LoadValues(file, table.records, table.count, kConstantValueReadSize, sink);
}

void LoadGroupFile(const fs::path& file, MacroTable& table, MessageSink& sink) {
    profile::Snapshot::ReadOnce(file, [&](const profile::Snapshot& f) { LoadGroup(f, table, sink); });
}

void LoadConstantMacros(const fs::path& file, ConstantMacroTable& table, MessageSink& sink) {
    LoadConstants(profile::Snapshot(file), table, sink);
}

namespace {
GroupFileSource InFolder(const fs::path& macroFolder) {
    return [&macroFolder](const std::string& name) { return profile::Snapshot(GroupFile(macroFolder, name)); };
}
}  // namespace

MacroRecord ReadMacro(const profile::Snapshot& list, const GroupFileSource& groupFile, int group, int index) {
    if (group < 0 || index < 0) return {};
    const int groups = ClampCount(list.readInt("MACRO_GROUP_NUM", "macGrpNum", kCountReadSize), kMaxGroups);
    if (group >= groups) return {};
    const std::string name = list.readString("MACRO_GROUP_NAME", Key(group), "", kGroupNameReadSize);
    if (!IsSafeGroupName(name)) return {};
    const profile::Snapshot f = groupFile(name);
    if (index >= CountIn(f)) return {};
    return ParseMacroValue(f.readView(kSection, Key(index), "", kValueReadSize));
}

MacroRecord ReadMacro(const fs::path& macroFolder, int group, int index) {
    if (group < 0 || index < 0) return {};
    return ReadMacro(profile::Snapshot(macroFolder / "macroGrp.ini"), InFolder(macroFolder), group, index);
}

namespace {

// Every listed group whose name may become a file name; the others count no macros.
template <typename ReadGroup>
void ForEachSafeGroup(GroupDirectory& groups, ReadGroup&& read) {
    const int count = std::clamp(groups.groupCount, 0, kMaxGroups);
    for (int g = 0; g < count; ++g) {
        const std::string& name = groups.groupNames[U(g)];
        if (IsSafeGroupName(name)) {
            read(g, name);
        } else {
            groups.groupMacroCount[U(g)] = 0;
        }
    }
}

}  // namespace

void ReadAllMacroNames(const fs::path& macroFolder, GroupDirectory& groups) {
    // Only the names are wanted: each file is read once and not kept.
    ForEachSafeGroup(groups, [&](int g, const std::string& name) {
        profile::Snapshot::ReadOnce(GroupFile(macroFolder, name),
                                    [&](const profile::Snapshot& f) { ReadNamesOf(f, groups, g); });
    });
}

void ReadAllMacroNames(const GroupFileSource& groupFile, GroupDirectory& groups) {
    ForEachSafeGroup(groups, [&](int g, const std::string& name) { ReadNamesOf(groupFile(name), groups, g); });
}

Status SaveMacro(const fs::path& file, const MacroTable& table, int slot) {
    if (slot < 0 || slot >= kTableSlots) return Status::Error("no such macro slot");
    const profile::Snapshot f(file);
    if (f.exists() && f.readInt(kSection, kCountKey, kCountReadSize) == table.macroCount &&
        ParseMacroValue(f.readString(kSection, Key(slot), "", kValueReadSize)) == table.slots[U(slot)]) {
        return Status::Ok();
    }
    profile::Batch b(file);
    b.set(kSection, kCountKey, std::int64_t{table.macroCount});
    b.set(kSection, Key(slot), FormatMacroValue(table.slots[U(slot)]));
    return b.commit();
}

Status SaveAllMacros(const fs::path& file, const MacroTable& table) {
    profile::Batch b(file);
    b.set(kSection, kCountKey, std::int64_t{table.macroCount});
    const int n = std::min<int>(table.macroCount, kMaxMacrosPerGroup);
    for (int i = 0; i < n; ++i) b.set(kSection, Key(i), FormatMacroValue(table.slots[U(i)]));
    return b.commit();
}

Status WriteMacroValue(const fs::path& file, int index, const MacroRecord& record) {
    if (index < 0 || index >= kMaxMacrosPerGroup) return Status::Error("no such macro index");
    return profile::WriteString(file, kSection, Key(index), FormatMacroValue(record));
}

bool CreateEmptyGroupFile(const fs::path& macroFolder, MessageSink& sink) {
    std::ofstream out(macroFolder / "New.dat", std::ios::binary | std::ios::trunc);
    if (!out) {
        sink.show("Create new mac_file Fail!");
        return false;
    }
    return true;
}

Status ExportGroup(const MacroState& m, const fs::path& chosen, MessageSink& sink) {
    const GroupDirectory& groups = m.groups;
    if (groups.groupCount <= 0) {
        sink.show("Error!");
        return Status::Error("no macro group to export");
    }
    for (int g = 0; g < std::min(groups.groupCount, kMaxGroups); ++g) {
        const std::string& name = groups.groupNames[U(g)];
        if (!IsSafeGroupName(name)) continue;
        if (SamePlace(chosen, GroupFile(m.folders.macroFolder, name))) {
            sink.show("Error!");
            return Status::Error("the export would replace a group's own file");
        }
    }
    Status s = SaveAllMacros(chosen, m.table);
    if (!s) sink.show(s.message());
    return s;
}

}  // namespace kx700::macro
