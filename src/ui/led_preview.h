#pragma once

// The Led page's live preview: what the mouse's lights would show for the
// settings in the record at a given tick of the page's repaint timer. It is
// drawn from the record alone; nothing is read from the mouse.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <array>
#include <optional>

#include "settings/mouse_settings.h"
#include "skin/layout.h"

namespace kx700::ui {

// Ticks of one breath (dark, bright, dark again).
inline constexpr int kPreviewBreathTicks = 10;

struct PreviewLights {
    std::optional<QColor> strip;                     // nullopt: dark
    std::array<std::optional<QColor>, 7> buttons{};  // by button, 0-6 as on the Buttons page
};

// The four colours as the swatches show them: the user's colours while
// custom colours are on, otherwise the built-in ones.
using PreviewPalette = std::array<QColor, 4>;

// The lights at `tick` (counted from the page's entry) for the current
// profile.
PreviewLights PreviewLightsAt(const MouseSettings& s, int profile, int tick, const PreviewPalette& palette);

// Where the skin puts the preview's lamps (areas of the Led table). The
// strip, the logo and the underglow show the strip's light.
struct PreviewLamps {
    AreaRect strip, logo, underglow;
    std::array<AreaRect, 7> buttons{};
};

// Lights the lamps on the canvas.
void DrawPreview(QPainter& p, const PreviewLights& lights, const PreviewLamps& lamps);

}  // namespace kx700::ui
