#pragma once

// The skin layout files: where every clickable area of the window lies, the
// label it carries, the child controls' rectangles and the function names.
// Pure data and file reading; no drawing.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/message_sink.h"

namespace kx700 {

// An area in client pixels; a point is inside when x <= px < x + width and
// y <= py < y + height.
struct AreaRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool contains(std::int32_t px, std::int32_t py) const {
        return px >= x && py >= y && static_cast<std::int64_t>(px) < std::int64_t{x} + width &&
               static_cast<std::int64_t>(py) < std::int64_t{y} + height;
    }
    bool operator==(const AreaRect&) const = default;
};

// A child control's rectangle as edges (right and bottom outside).
struct ControlRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const ControlRect&) const = default;
};

// One layout entry split at its commas: fields 0-5 and the remainder after the
// sixth comma.
struct SkinEntry {
    std::array<std::string, 7> fields;
    AreaRect area() const;
    const std::string& name() const { return fields[0]; }
    const std::string& label() const { return fields[5]; }
};

// Splits one value as the layout files spell it; `tooManyCommas` tells whether
// it had more than six.
SkinEntry SplitSkinEntry(std::string_view value, bool* tooManyCommas = nullptr);

// What the readers report. `endProgram` is set when a layout file is missing:
// the window must end once its start-up (or the language switch) returns.
struct SkinReadState {
    bool endProgram = false;
    std::vector<std::filesystem::path> missingFiles;  // each reported once
};

// Reads entry `key` of `section`. A missing file shows "找不到配置文件" the
// first time one of its entries is asked for and sets endProgram (the program
// is ending, so one box per file says it all, not one per entry); more than
// six commas show "加载ini错误！" and the first six are used.
SkinEntry ReadSkinEntry(const std::filesystem::path& file, std::string_view section, int key, MessageSink& messages,
                        SkinReadState& state);

inline constexpr int kMainAreaCount = 31;
inline constexpr int kLedAreaCount = 106;
inline constexpr int kAdvancedAreaCount = 141;
inline constexpr int kMacroAreaCount = 23;
inline constexpr int kWarningAreaCount = 3;
inline constexpr int kFunctionNameCount = 48;

// Every table the layout files fill, for one language.
struct SkinTables {
    std::array<AreaRect, kMainAreaCount> mainAreas{};
    std::array<std::string, kMainAreaCount> mainLabels{};
    std::array<std::string, kFunctionNameCount> functionNames{};  // entry 0 stays empty
    std::array<ControlRect, 3> profileNameEdits{};

    std::array<AreaRect, kLedAreaCount> ledAreas{};
    std::array<std::string, kLedAreaCount> ledLabels{};

    std::array<AreaRect, kAdvancedAreaCount> advancedAreas{};
    std::array<std::string, kAdvancedAreaCount> advancedLabels{};

    std::array<AreaRect, kMacroAreaCount> macroAreas{};
    std::array<std::string, kMacroAreaCount> macroLabels{};
    ControlRect groupNameEdit{};
    ControlRect macroNameEdit{};
    ControlRect repeatCountEdit{};
    ControlRect macroList{};
    ControlRect eventList{};
    ControlRect ledStepList{};

    std::array<AreaRect, kWarningAreaCount> warningAreas{};
    std::array<std::string, kWarningAreaCount> warningLabels{};
};

// The profile keys (function names 19-21) are called by the user's names of
// the three profiles, not by the layout's.
void SetProfileKeyNames(SkinTables& t, const std::array<std::string, 3>& profileNames);

// The language folder below the skins folder: INI_EN or INI_CN.
std::filesystem::path SkinLanguageFolder(const std::filesystem::path& skinsFolder, bool english);

// The five layout file paths of a language.
struct SkinFiles {
    std::filesystem::path main, colour, advanced, macro, warning;
};
SkinFiles SkinFilesFor(const std::filesystem::path& skinsFolder, bool english);

void LoadMainSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);
void LoadColourSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);
void LoadAdvancedSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);
void LoadMacroSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);
void LoadWarningSkin(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);

// The four page layouts in the start-up order (main, colour, advanced, macro)
// followed by the warning layout.
void LoadAllSkins(SkinTables& t, const SkinFiles& files, MessageSink& messages, SkinReadState& state);

}  // namespace kx700
