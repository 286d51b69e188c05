#pragma once

#include <cstdint>

#include "ui/areas.h"

namespace kx700::ui {

// The four pages of the main window, in tab order.
enum class Page : std::uint8_t { Main = 0, Advanced = 1, Macro = 2, Led = 3 };

// A hot index that names no area.
inline constexpr int NoArea = 255;

// Where the pointer is and what the left button does, per area table.
struct Interaction {
    Page currentPage = Page::Main;
    int hotMain = area::header::kMinimise;  // the header's first area looks hovered until the pointer first moves
    int hotAdvanced = NoArea;
    int hotMacro = NoArea;
    int hotLed = NoArea;
    bool areaPressed = false;
};

}  // namespace kx700::ui
