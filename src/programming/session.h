#pragma once
// The process-wide records of one run of the program.
#include <array>
#include <string>
#include "device/device_link.h"
#include "macro/state.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "settings/mouse_settings.h"
namespace kx700 {
struct ApplyState {};
struct HostView {};
struct SystemMouse;
struct Session {
    Folders folders;
    MouseSettings settings;
    int currentProfile = 0;
    bool englishInterface = false;
    std::array<std::string, 3> profileNames;
    macro::MacroState macros;
    device::DeviceLink link;
    std::uint8_t deviceNibble = 0;
    ApplyState apply;
    HostView hostView;
    MessageSink* messages = nullptr;
    SystemMouse* systemMouse = nullptr;
};
}
