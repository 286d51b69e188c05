// Feeds arbitrary input reports to the decoder: nothing may crash, and every
// decoded button event must name one of the seven buttons.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/input_events.h"

using namespace kx700::device;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto event = DecodeInputReport(std::span(data, size));
    if (!event) return 0;
    if (size < 3 || data[0] != kInputReportId) __builtin_trap();
    if (event->kind == InputEventKind::Button) {
        if (event->button < 0 || event->button > 6) __builtin_trap();
        if (event->dpiLevel && (*event->dpiLevel < 0 || *event->dpiLevel > 7)) __builtin_trap();
        if (event->released != (data[2] == kButtonReleased)) __builtin_trap();
    }
    return 0;
}
