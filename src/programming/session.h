#pragma once

// The process-wide records of one run of the program, owned by its window (or
// by kx700ctl's main). The UI thread owns everything here except `hostView`,
// which the monitor threads read, and `link`, whose transactions lock.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "device/memory_map.h"
#include "macro/groups.h"
#include "macro/state.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "platform/system_mouse.h"
#include "settings/mouse_settings.h"

namespace kx700 {

inline constexpr int kCodePositions = device::mem::kCodePositions;  // per profile in the device image

// The apply's working tables, kept from one apply to the next.
struct ApplyState {
    std::array<std::array<std::int32_t, kCodePositions>, kProfileSlots> slotAssign{};
    std::array<std::array<std::uint8_t, kMemorySlots>, kProfileSlots> deviceCode{};  // by code position
    std::array<std::array<std::uint8_t, kButtons>, kProfileSlots> holdKeyFlag{};
    std::array<std::array<std::uint8_t, kButtons>, kProfileSlots> profileKeyFlag{};
    std::array<std::array<std::uint8_t, kButtons>, kProfileSlots> dpiReportFlag{};
    std::array<std::array<std::int32_t, kCodePositions>, kProfileSlots> blockAddress{};
    std::int32_t firstBlockAddress = 0;
    std::int32_t firstBlockSize = 0;
    std::uint8_t ledModeRegister = 0;
    std::uint8_t ledAuxBit = 0;
    bool applied = false;  // an apply has run to its end since start

    // What the last complete apply placed in the first block: the correction
    // re-upload may rewrite that block only with the same macro in the same
    // shape (its descriptor's event count and run flags), or the mouse would
    // play another macro from a descriptor that no longer fits it.
    struct FirstBlock {
        bool valid = false;
        int profile = 0;
        std::int32_t value = 0;
        int eventCount = 0;  // after the unroll, as the descriptor holds it
        std::uint8_t modeByte = 0;
    } placed;
};

// The profile whose flags and assignments answer the mouse's keys. Two threads
// write it, in an order that makes either write safe: the poll thread stores
// the profile the mouse reports after a profile key at once, as a numbered
// switch, so that the keys that follow are answered from the new profile before
// the UI thread has heard of it; a store of the UI thread takes effect only when
// it has handled the last numbered switch (its ProfileChanged event), so a
// republish never puts back a profile the mouse has already left.
class HostProfile {
public:
    int load() const { return static_cast<int>(word_.load() & kProfileBits); }
    // The number of the last switch the poll thread stored.
    std::uint32_t lastSwitch() const { return word_.load() >> kSwitchShift; }
    // Poll thread: the mouse now uses `profile`. Returns the switch's number.
    std::uint32_t switchTo(int profile);
    // UI thread: stores `profile` unless a switch after `lastSwitchHandled` has
    // been stored; false when it was not stored (that switch's event will come).
    bool publish(int profile, std::uint32_t lastSwitchHandled);

private:
    static constexpr std::uint32_t kProfileBits = 3;
    static constexpr int kSwitchShift = 2;
    static std::uint32_t Bits(int profile) { return static_cast<std::uint32_t>(profile) & kProfileBits; }
    std::atomic<std::uint32_t> word_{0};  // switch number above the profile's two bits
};

// What the monitor threads read without waiting for the UI thread: published
// by the UI thread after every apply and every change of the profile or of a
// button's assignment.
struct HostView {
    HostProfile currentProfile;
    std::array<std::array<std::atomic<std::int32_t>, kButtons>, kProfileSlots> buttonAssign{};
    std::array<std::array<std::atomic<std::uint8_t>, kButtons>, kProfileSlots> holdKeyFlag{};
    std::array<std::array<std::atomic<std::uint8_t>, kButtons>, kProfileSlots> profileKeyFlag{};
    std::array<std::array<std::atomic<std::uint8_t>, kButtons>, kProfileSlots> dpiReportFlag{};
};

struct Session {
    Folders folders;
    MouseSettings settings;
    int currentProfile = 0;
    bool englishInterface = false;
    std::array<std::string, 3> profileNames;
    macro::MacroState macros;
    device::DeviceLink link;
    std::uint8_t deviceNibble = 0;
    int memoryBankBit = 0;  // of the last status read: which macro area limit the mouse has
    ApplyState apply;
    HostView hostView;
    std::uint32_t profileSwitchesHandled = 0;  // the last HostProfile switch whose event was handled
    MessageSink* messages = nullptr;
    SystemMouse* systemMouse = nullptr;  // null: leave the system's settings alone
    // The record holds what config.ini said (start-up read every profile, or
    // an import or reset filled it). A record that was never loaded is all
    // zeros: applying it would leave the mouse without even a left click.
    bool settingsLoaded = false;
};

// Republishes the host view from the record and the last apply's tables; the
// profile only while no switch of the mouse is still to be handled.
void PublishHostView(Session& s);

// The group list of the macro folder (macro::LoadGroupList): groups whose file
// is gone or whose name could leave the macro folder are dropped and the list
// is rewritten; the name directory is refreshed. "Can't find the file." when
// the list is missing.
void LoadGroupDirectory(macro::MacroState& m, MessageSink& messages,
                        macro::ListRepair repair = macro::ListRepair::Save);

// The macro folders of the session's language, its groups with the first
// group's macros, and the constant macros. A command that only reports passes
// ListRepair::Leave: it drops what is broken as the window would, and writes
// nothing.
void LoadMacroData(Session& s, MessageSink& messages, macro::ListRepair repair = macro::ListRepair::Save);

// The settings half of start-up: CurConfig, the language (`english`, when
// given, is this run's language and VER_SEL is left alone), the four profiles
// in order (`settingsLoaded` tells whether all four could be read), the
// profile names of the language.
void LoadSettingsData(Session& s, MessageSink& messages, std::optional<bool> english = std::nullopt);

// Takes the mouse at `devicePath` for this process before anything is sent to
// it; false when another program owns it (the caller has said so).
using MouseClaim = std::function<bool(const std::string& devicePath)>;

struct Connection {
    device::Discovery found;
    bool owned = true;  // false: `claim` refused, nothing was sent
};

// Finds the mouse and opens its collections; unless it is absent or closed
// to us, claims it, waits the pause the mouse needs and reads its status (the
// device nibble).
Connection ConnectMouse(Session& s, device::HidBackend& backend, const MouseClaim& claim = {});

// Start-up without a window: the settings, the macro data, the host view.
void LoadSessionData(Session& s);

// kx700ctl's whole start-up; the window runs the same steps with its own
// (fonts, skin, controls) in between.
Connection StartSession(Session& s, device::HidBackend& backend, const MouseClaim& claim = {});

}  // namespace kx700
