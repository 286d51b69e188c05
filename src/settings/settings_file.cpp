#include "settings/settings_file.h"

#include <string>

#include "platform/profile.h"

namespace kx700 {
namespace {

constexpr std::string_view kShared = "ShareData";
constexpr std::string_view kInit = "Init";
// Per-profile keys have no buffer of their own in the file format; ten
// characters hold every int32.
constexpr std::size_t kProfileKeyBuffer = 10;

std::string Indexed(std::string_view name, int i) { return std::string(name) + std::to_string(i); }
std::string Channel(std::string_view prefix, int i, std::string_view suffix) {
    return std::string(prefix) + std::to_string(i) + std::string(suffix);
}
std::string SectionOf(int slot) { return "Config" + std::to_string(slot); }

std::uint8_t Low8(std::int32_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

void ReadShared(MouseSettings& s, const profile::Snapshot& f) {
    s.dpiLevel = f.readInt(kShared, "DPI_LEVEL", 5);
    for (int i = 0; i < kCpiLevels; ++i) {
        const auto k = static_cast<std::size_t>(i);
        s.dpiStep[k] = Low8(f.readInt(kShared, Indexed("DPI_SET", i), 10));
        s.dpiLevelEnabled[k] = f.readInt(kShared, Indexed("DPI_SET_EN", i), 10) != 0 ? 1 : 0;
        s.dpiColour[k].r = f.readInt(kShared, Channel("DPI", i, "_R"), 10);
        s.dpiColour[k].g = f.readInt(kShared, Channel("DPI", i, "_G"), 10);
        s.dpiColour[k].b = f.readInt(kShared, Channel("DPI", i, "_B"), 10);
    }
    s.ledMode = Low8(f.readInt(kShared, "LED_TYPE", 5));
    for (int i = 0; i < 10; ++i)
        s.ledModeEnabled[static_cast<std::size_t>(i)] = f.readInt(kShared, Indexed("LED_TYPE_SW_EN", i), 5);
    s.ledCycleTime = Low8(f.readInt(kShared, "LED_CYCTIME", 5));
    s.userColourEnable = f.readInt(kShared, "LED_USER_COLER_EN", 5);
    (void)f.readInt(kShared, "LED_FEATURE_SCOLOR", 5);  // carried in the file, meaningless to the mouse
    s.ledDirection = f.readInt(kShared, "LED_FEATURE_DIREC", 5);
    s.ledSymmetry = f.readInt(kShared, "LED_FEATURE_SYMMETRY", 5);
    s.ledBrightness = f.readInt(kShared, "LED_BRIGHT", 5);
    for (int i = 0; i < 4; ++i) {
        Rgb4& c = s.userColour[static_cast<std::size_t>(i)];
        c.r = f.readInt(kShared, Channel("LED_USER", i, "_R"), 10);
        c.g = f.readInt(kShared, Channel("LED_USER", i, "_G"), 10);
        c.b = f.readInt(kShared, Channel("LED_USER", i, "_B"), 10);
        s.userColourRef[static_cast<std::size_t>(i)] = UserColourRef(c);
    }
    SetCycleColourMask(s, Low8(f.readInt(kShared, "CYC_7COL_EN", 5)));
    s.pointerSpeed = Low8(f.readInt(kShared, "DPI_SPEED", 5));
    s.wheelSpeed = Low8(f.readInt(kShared, "WHEEL_SPEED", 5));
    SetReportRate(s, Low8(f.readInt(kShared, "USB_SPEED", 5)));
    s.fireInterval = f.readInt(kShared, "FIRE_TIME", 5);
}

void WriteSlot(profile::Batch& b, const MouseSettings& s, int slot) {
    const std::string section = SectionOf(slot);
    const auto p = static_cast<std::size_t>(slot);
    for (int i = 0; i < kMemorySlots; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (i < kButtons) b.set(section, Indexed("K", i), s.buttonAssign[p][k]);
        b.set(section, Indexed("LED_REACT_EN", i), s.reactEnable[p][k]);
        b.set(section, Indexed("LED_REACT_TYPE", i), s.reactType[p][k]);
    }
    b.set(section, "WHEEL_STATUS", s.wheelStatus);

    b.set(kShared, "DPI_LEVEL", s.dpiLevel);
    b.set(kShared, "LED_USER_COLER_EN", s.userColourEnable);
    b.set(kShared, "CYC_7COL_EN", s.cycleColourMask);
    for (int i = 0; i < kCpiLevels; ++i) {
        const auto k = static_cast<std::size_t>(i);
        b.set(kShared, Indexed("DPI_SET", i), s.dpiStep[k]);
        b.set(kShared, Indexed("DPI_SET_EN", i), s.dpiLevelEnabled[k] != 0 ? 1 : 0);
        b.set(kShared, Channel("DPI", i, "_R"), s.dpiColour[k].r);
        b.set(kShared, Channel("DPI", i, "_G"), s.dpiColour[k].g);
        b.set(kShared, Channel("DPI", i, "_B"), s.dpiColour[k].b);
    }
    for (int i = 0; i < 4; ++i) {
        const Rgb4& c = s.userColour[static_cast<std::size_t>(i)];
        b.set(kShared, Channel("LED_USER", i, "_R"), c.r);
        b.set(kShared, Channel("LED_USER", i, "_G"), c.g);
        b.set(kShared, Channel("LED_USER", i, "_B"), c.b);
    }
    b.set(kShared, "LED_TYPE", s.ledMode);
    for (int i = 0; i < 10; ++i)
        b.set(kShared, Indexed("LED_TYPE_SW_EN", i), s.ledModeEnabled[static_cast<std::size_t>(i)]);
    b.set(kShared, "LED_CYC_TIME", s.ledCycleTime);
    b.set(kShared, "LED_FEATURE_SCOLOR", "0");
    b.set(kShared, "LED_FEATURE_SYMMETRY", s.ledSymmetry);
    b.set(kShared, "LED_FEATURE_DIREC", s.ledDirection);
    b.set(kShared, "LED_BRIGHT", s.ledBrightness);
    b.set(kShared, "LED_CYCTIME", s.ledCycleTime);
    b.set(kShared, "DPI_SPEED", s.pointerSpeed);
    b.set(kShared, "WHEEL_SPEED", s.wheelSpeed);
    b.set(kShared, "USB_SPEED", s.reportRate);
    b.set(kShared, "FIRE_TIME", s.fireInterval);
}

bool ValidSlot(int slot) { return slot >= 0 && slot < kProfileSlots; }

}  // namespace

bool LoadProfile(MouseSettings& s, const std::filesystem::path& folder, int slot, bool fromReset,
                 MessageSink& messages) {
    const profile::Snapshot f(folder / (fromReset ? kResetFileName : kSettingsFileName));
    if (!f.exists()) {
        messages.show(fromReset ? "Error：ConfigReset.ini文件不存在!" : "Error：Config.ini文件不存在!");
        return false;
    }
    if (!ValidSlot(slot)) return false;
    const std::string section = SectionOf(slot);
    const auto p = static_cast<std::size_t>(slot);
    for (int i = 0; i < kMemorySlots; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (i < kButtons) s.buttonAssign[p][k] = f.readInt(section, Indexed("K", i), kProfileKeyBuffer);
        s.reactEnable[p][k] = f.readInt(section, Indexed("LED_REACT_EN", i), kProfileKeyBuffer);
        s.reactType[p][k] = f.readInt(section, Indexed("LED_REACT_TYPE", i), kProfileKeyBuffer);
    }
    s.wheelStatus = f.readInt(section, "WHEEL_STATUS", kProfileKeyBuffer);
    ReadShared(s, f);
    return true;
}

bool LoadAllProfiles(MouseSettings& s, const std::filesystem::path& folder, MessageSink& messages) {
    bool loaded = true;
    for (int slot = 0; slot < kProfileSlots; ++slot) loaded = LoadProfile(s, folder, slot, false, messages) && loaded;
    return loaded;
}

Status SaveProfile(const MouseSettings& s, const std::filesystem::path& file, int slot) {
    const int slots[] = {slot};
    return SaveProfiles(s, file, slots);
}

Status SaveProfiles(const MouseSettings& s, const std::filesystem::path& file, std::span<const int> slots) {
    profile::Batch batch(file);
    for (int slot : slots) {
        if (!ValidSlot(slot)) return Status::Error("no profile slot " + std::to_string(slot));
        WriteSlot(batch, s, slot);
    }
    return batch.commit();
}

Status SaveAllProfiles(const MouseSettings& s, const std::filesystem::path& file, int currentProfile) {
    profile::Batch batch(file);
    WriteAllProfiles(batch, s, currentProfile);
    return batch.commit();
}

void WriteAllProfiles(profile::Batch& batch, const MouseSettings& s, int currentProfile) {
    batch.set(kInit, "CurConfig", currentProfile);
    for (int slot = 0; slot < kProfileSlots; ++slot) WriteSlot(batch, s, slot);
}

Status SaveDpiLevel(const MouseSettings& s, const std::filesystem::path& file) {
    return profile::WriteString(file, kShared, "DPI_LEVEL", std::to_string(s.dpiLevel));
}

int ReadCurrentProfile(const std::filesystem::path& settingsFile) {
    const int slot = profile::ReadInt(settingsFile, kInit, "CurConfig", 5);
    return ValidSlot(slot) ? slot : 0;
}

Status WriteCurrentProfile(const std::filesystem::path& settingsFile, int slot) {
    return profile::WriteString(settingsFile, kInit, "CurConfig", std::to_string(slot));
}

bool ReadEnglishInterface(const std::filesystem::path& settingsFile) {
    return (profile::ReadInt(settingsFile, kInit, "VER_SEL", 5) & 0xFF) != 0;
}

std::string ProfileNameKey(int i, bool english) {
    return "ConfigName" + std::to_string(i + 1) + (english ? "_EN" : "");
}

std::array<std::string, 3> ReadProfileNames(const std::filesystem::path& settingsFile, bool english) {
    return ProfileNamesIn(profile::Snapshot(settingsFile), english);
}

std::array<std::string, 3> ProfileNamesIn(const profile::Snapshot& f, bool english) {
    constexpr std::size_t kNameBuffer = 15;
    std::array<std::string, 3> names;
    for (int i = 0; i < 3; ++i)
        names[static_cast<std::size_t>(i)] = f.readString("Init", ProfileNameKey(i, english), "", kNameBuffer);
    return names;
}

}  // namespace kx700
