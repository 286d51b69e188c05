#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string>

#include "platform/message_sink.h"
#include "platform/status.h"
#include "settings/mouse_settings.h"

namespace kx700 {

namespace profile {
class Batch;
class Snapshot;
}  // namespace profile

inline constexpr std::string_view kSettingsFileName = "config.ini";
inline constexpr std::string_view kResetFileName = "configReset.ini";

// Reads profile slot `slot` (its own section) and every shared value from
// folder/config.ini, or folder/configReset.ini when fromReset is set. A missing
// file shows its message and leaves the record unchanged (returns false); so
// does a slot outside 0..3, which no file can describe.
bool LoadProfile(MouseSettings& s, const std::filesystem::path& folder, int slot, bool fromReset,
                 MessageSink& messages);

// Every slot from folder/config.ini, each as LoadProfile reads it; true when
// all four were read, so that the record holds what the file says.
bool LoadAllProfiles(MouseSettings& s, const std::filesystem::path& folder, MessageSink& messages);

// Writes profile slot `slot` and every shared value into `file`, creating the
// file, the section or the keys as needed; one file replacement.
Status SaveProfile(const MouseSettings& s, const std::filesystem::path& file, int slot);

// Writes several slots (and the shared values once per slot, as SaveProfile
// does) in one file replacement.
Status SaveProfiles(const MouseSettings& s, const std::filesystem::path& file, std::span<const int> slots);

// The apply's save: Init / CurConfig and all four slots, one file replacement.
Status SaveAllProfiles(const MouseSettings& s, const std::filesystem::path& file, int currentProfile);

// The same writes into a batch of the caller's, which may add its own before
// the one file replacement.
void WriteAllProfiles(profile::Batch& batch, const MouseSettings& s, int currentProfile);

// Writes DPI_LEVEL alone.
Status SaveDpiLevel(const MouseSettings& s, const std::filesystem::path& file);

// Init / CurConfig: the slot the user edits. Anything that is not a slot
// number (empty, junk, out of 0..3) selects slot 0.
int ReadCurrentProfile(const std::filesystem::path& settingsFile);
Status WriteCurrentProfile(const std::filesystem::path& settingsFile, int slot);

// Init / ConfigName1..3, with "_EN" while the interface is English: the
// names of the user's three profiles (slots 0, 2 and 3), read with a
// 15-character buffer.
std::string ProfileNameKey(int i, bool english);
std::array<std::string, 3> ReadProfileNames(const std::filesystem::path& settingsFile, bool english);
std::array<std::string, 3> ProfileNamesIn(const profile::Snapshot& file, bool english);

// Init / VER_SEL: English when the low byte of the number is not zero.
bool ReadEnglishInterface(const std::filesystem::path& settingsFile);

}  // namespace kx700
