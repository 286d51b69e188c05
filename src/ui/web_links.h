#pragma once

// The web pages the window's link areas open: the maker's site and its two
// social pages. Change them here; nothing else names them.

#include <array>
#include <string_view>

namespace kx700::ui {

inline constexpr std::array<std::string_view, 3> kWebPages = {
    "https://www.kx700-gaming.example/",
    "https://community.kx700-gaming.example/",
    "https://videos.kx700-gaming.example/",
};

}  // namespace kx700::ui
