#pragma once

// What a Wayland session changes for our windows. The compositor places
// top-level windows itself and ignores the positions a client asks for, so
// the popups become xdg-popups placed relative to the window that opens them;
// nothing is drawn outside a window's shape, since the compositor shows every
// pixel of the surface; and there is no server-wide keyboard grab.

#include <QWidget>

namespace kx700::ui {

// The program runs on Qt's Wayland platform plugin.
bool OnWayland();

// A popup menu window's flags. On X11 a frameless tool window, so that a
// press in the main window reaches the main window (which then closes the
// popups). On Wayland a Qt::Popup, which Qt maps to an xdg-popup placed
// relative to its parent window (PopupWindow passes on what Qt's popup mode
// hands it for other windows).
Qt::WindowFlags PopupWindowFlags();

// Said once when recording starts where only the keys typed into the window
// can be recorded.
const char* WindowKeysOnlyNotice(bool english);

// A window cut to `shape`: on Wayland it is made translucent (call before the
// window is created) so that the corners outside the shape show the desktop.
void PrepareShapedWindow(QWidget& window);
// Paints `face` at (0, 0) inside `shape` only; outside it stays transparent
// where the window is translucent.
void PaintShaped(QWidget& window, const QImage& face, const QRegion& shape);

}  // namespace kx700::ui
