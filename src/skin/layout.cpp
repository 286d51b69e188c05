#include "skin/layout.h"

#include <algorithm>

#include "platform/profile.h"
#include "platform/text.h"

namespace kx700 {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kEntryBuffer = 260;

ControlRect ToControl(const AreaRect& a) {
    return ControlRect{a.x, a.y, static_cast<std::int32_t>(std::int64_t{a.x} + a.width),
                       static_cast<std::int32_t>(std::int64_t{a.y} + a.height)};
}

template <std::size_t N>
void ReadAreas(const fs::path& file, std::array<AreaRect, N>& areas, std::array<std::string, N>& labels,
               MessageSink& messages, SkinReadState& state) {
    for (std::size_t i = 0; i < N; ++i) {
        const SkinEntry e = ReadSkinEntry(file, "BUTTONPOS", static_cast<int>(i), messages, state);
        areas[i] = e.area();
        labels[i] = e.label();
    }
}

}  // namespace

AreaRect SkinEntry::area() const {
    return AreaRect{text::ParseDecimal(fields[1]), text::ParseDecimal(fields[2]), text::ParseDecimal(fields[3]),
                    text::ParseDecimal(fields[4])};
}

SkinEntry SplitSkinEntry(std::string_view value, bool* tooManyCommas) {
    SkinEntry e;
    const auto commas = static_cast<std::size_t>(std::count(value.begin(), value.end(), ','));
    if (tooManyCommas) *tooManyCommas = commas > 6;
    if (commas == 0) {
        e.fields[0] = std::string(value);
        return e;
    }
    // Field k runs up to the (k+1)-th comma; a field without a closing comma is
    // empty, and what follows the sixth comma is the remainder.
    std::size_t start = 0;
    for (std::size_t k = 0; k < 6; ++k) {
        const std::size_t comma = value.find(',', start);
        if (comma == std::string_view::npos) break;
        e.fields[k] = std::string(value.substr(start, comma - start));
        start = comma + 1;
    }
    e.fields[6] = commas >= 6 ? std::string(value.substr(start)) : std::string(value);
    return e;
}

SkinEntry ReadSkinEntry(const fs::path& file, std::string_view section, int key, MessageSink& messages,
                        SkinReadState& state) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        state.endProgram = true;
        if (std::find(state.missingFiles.begin(), state.missingFiles.end(), file) == state.missingFiles.end()) {
            state.missingFiles.push_back(file);
            messages.show("找不到配置文件");
        }
    }
    const std::string value = profile::ReadString(file, section, std::to_string(key), "", kEntryBuffer);
    bool tooMany = false;
    SkinEntry e = SplitSkinEntry(value, &tooMany);
    if (tooMany) messages.show("加载ini错误！");
    return e;
}

fs::path SkinLanguageFolder(const fs::path& skinsFolder, bool english) {
    return skinsFolder / (english ? "INI_EN" : "INI_CN");
}

SkinFiles SkinFilesFor(const fs::path& skinsFolder, bool english) {
    const fs::path dir = SkinLanguageFolder(skinsFolder, english);
    if (english) {
        return SkinFiles{dir / "skin_main_en.ini", dir / "skin_color_en.ini", dir / "skin_advance_en.ini",
                         dir / "skin_mac_en.ini", dir / "LBWarning_en.ini"};
    }
    return SkinFiles{dir / "skin_main.ini", dir / "skin_color.ini", dir / "skin_advance.ini", dir / "skin_mac.ini",
                     dir / "LBWarning.ini"};
}

void LoadMainSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    ReadAreas(files.main, t.mainAreas, t.mainLabels, messages, state);
    t.functionNames[0].clear();
    for (int i = 1; i < kFunctionNameCount; ++i) {
        t.functionNames[static_cast<std::size_t>(i)] =
            ReadSkinEntry(files.main, "FUN_STRING", i, messages, state).name();
    }
    for (int i = 0; i < 3; ++i) {
        t.profileNameEdits[static_cast<std::size_t>(i)] =
            ToControl(ReadSkinEntry(files.main, "EDIT", i, messages, state).area());
    }
}

void SetProfileKeyNames(SkinTables& t, const std::array<std::string, 3>& profileNames) {
    constexpr std::size_t kFirstProfileKey = 19;
    std::copy(profileNames.begin(), profileNames.end(), t.functionNames.begin() + kFirstProfileKey);
}

void LoadColourSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    ReadAreas(files.colour, t.ledAreas, t.ledLabels, messages, state);
}

void LoadAdvancedSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    ReadAreas(files.advanced, t.advancedAreas, t.advancedLabels, messages, state);
}

void LoadMacroSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    ReadAreas(files.macro, t.macroAreas, t.macroLabels, messages, state);
    auto edit = [&](int k) { return ToControl(ReadSkinEntry(files.macro, "EDIT", k, messages, state).area()); };
    auto list = [&](int k) { return ToControl(ReadSkinEntry(files.macro, "MACRODISPLAY", k, messages, state).area()); };
    t.groupNameEdit = edit(0);
    t.macroNameEdit = edit(1);
    t.repeatCountEdit = edit(2);
    t.macroList = list(1);
    t.eventList = list(2);
    t.ledStepList = list(3);
}

void LoadWarningSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    ReadAreas(files.warning, t.warningAreas, t.warningLabels, messages, state);
}

void LoadAllSkins(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state) {
    LoadMainSkin(t, files, messages, state);
    LoadColourSkin(t, files, messages, state);
    LoadAdvancedSkin(t, files, messages, state);
    LoadMacroSkin(t, files, messages, state);
    LoadWarningSkin(t, files, messages, state);
}

}  // namespace kx700
