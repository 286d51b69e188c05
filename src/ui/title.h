#pragma once

namespace kx700::ui {

// The window's title, the tray icon's tooltip and the name the plug-in
// message asks for.
inline constexpr const char* kWindowTitle = "KX700 Gaming Mouse";

}  // namespace kx700::ui
