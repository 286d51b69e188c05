#include "ui/led_preview.h"

#include <QRadialGradient>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "settings/setting_edits.h"

namespace kx700::ui {

namespace {

// A share of a light, num ÷ den, in integers so that a level shows exactly.
struct Share {
    int num = 1;
    int den = 1;
};

QColor Scaled(const QColor& c, Share f) {
    auto part = [&](int v) { return std::clamp(v * f.num / f.den, 0, 255); };
    return QColor(part(c.red()), part(c.green()), part(c.blue()));
}

// A breath starts bright, is darkest half way and bright again at its end;
// never quite dark, so that the colour can be seen at every tick.
Share Breath(int tick) {
    const int half = kPreviewBreathTicks / 2;
    const int phase = tick % kPreviewBreathTicks;
    return {15 * half + 85 * std::abs(phase - half), 100 * half};
}

// The colours that take part in the cycle; all four if none is on.
std::vector<QColor> Cycle(const MouseSettings& s, const PreviewPalette& palette) {
    std::vector<QColor> out;
    for (std::size_t k = 0; k < palette.size(); ++k) {
        if (s.cycleColourEnable[k] != 0) out.push_back(palette[k]);
    }
    if (out.empty()) out.assign(palette.begin(), palette.end());
    return out;
}

QColor FourBit(const Rgb4& c) {
    auto level = [](std::int32_t v) { return std::clamp(v, 0, 15) * 17; };
    return QColor(level(c.r), level(c.g), level(c.b));
}

QRectF ToRectF(const AreaRect& a) { return QRectF(a.x, a.y, a.width, a.height); }

}  // namespace

PreviewLights PreviewLightsAt(const MouseSettings& s, int profile, int tick, const PreviewPalette& palette) {
    PreviewLights out;
    tick = std::max(tick, 0);
    const int mode = s.ledMode;
    const Share bright = LedModeUsesBrightness(mode) ? Share{7 - std::clamp(s.ledBrightness, 0, 6), 7} : Share{};
    const std::vector<QColor> cycle = Cycle(s, palette);
    auto cycling = [&](int ticksPerColour) {
        return cycle[static_cast<std::size_t>(tick / ticksPerColour) % cycle.size()];
    };
    switch (mode) {
        case 0:  // breathes in the colour of the current CPI level
            out.strip =
                Scaled(FourBit(s.dpiColour[static_cast<std::size_t>(std::clamp(s.dpiLevel, 0, 3))]), Breath(tick));
            break;
        case 1:  // one breath per colour of the cycle
            out.strip = Scaled(cycling(kPreviewBreathTicks), Breath(tick));
            break;
        case 2:  // the first colour of the cycle, steady
            out.strip = Scaled(cycle.front(), bright);
            break;
        case 8: {  // the buttons whose reaction is on light up; the strip stays dark
            const auto slot = static_cast<std::size_t>(std::clamp(profile, 0, kProfileSlots - 1));
            for (std::size_t b = 0; b < out.buttons.size(); ++b) {
                const auto code = static_cast<std::size_t>(kHardwareButtonCode[b] - 1);
                if (s.reactEnable[slot][code] != 0) out.buttons[b] = Scaled(cycling(kPreviewBreathTicks / 2), bright);
            }
            break;
        }
        case 9: break;  // lights off
        default:        // the modes the popup does not offer: the colours in turn
            out.strip = Scaled(cycling(2), bright);
            break;
    }
    return out;
}

void DrawPreview(QPainter& p, const PreviewLights& lights, const PreviewLamps& lamps) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    auto glow = [&](const QRectF& r, const QColor& c, qreal spread, qreal radius) {
        for (int i = 3; i >= 1; --i) {
            QColor halo = c;
            halo.setAlpha(28 * (4 - i));
            p.setBrush(halo);
            const qreal g = spread * i / 3;
            p.drawRoundedRect(r.adjusted(-g, -g, g, g), radius + g, radius + g);
        }
        p.setBrush(c);
        p.drawRoundedRect(r, radius, radius);
    };
    if (lights.strip && lamps.underglow.width > 0) {
        // The light the strip throws on the stage, under everything else.
        const QRectF r = ToRectF(lamps.underglow);
        QRadialGradient g(r.center(), r.width() / 2);
        QColor c = *lights.strip;
        c.setAlpha(110);
        g.setColorAt(0, c);
        c.setAlpha(0);
        g.setColorAt(1, c);
        p.save();
        p.translate(r.center());
        p.scale(1, r.height() / r.width());
        p.translate(-r.center());
        p.setBrush(g);
        p.drawEllipse(r.center(), r.width() / 2, r.width() / 2);
        p.restore();
    }
    if (lamps.strip.width > 0) {
        const QRectF r = ToRectF(lamps.strip);
        if (lights.strip) {
            glow(r, *lights.strip, 8, r.height() / 2);
        } else {
            p.setBrush(QColor(20, 28, 32));  // an unlit strip
            p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
        }
    }
    if (lights.strip && lamps.logo.width > 0) {
        // The logo on the back is lit with the strip: a ring.
        const QRectF r = ToRectF(lamps.logo);
        p.setBrush(Qt::NoBrush);
        for (int i = 3; i >= 0; --i) {
            QColor c = *lights.strip;
            if (i > 0) c.setAlpha(40 * (4 - i));
            p.setPen(QPen(c, 3 + 3 * i));
            p.drawEllipse(r.adjusted(4, 4, -4, -4));
        }
        p.setPen(Qt::NoPen);
    }
    for (std::size_t b = 0; b < lamps.buttons.size(); ++b) {
        if (!lights.buttons[b] || lamps.buttons[b].width <= 0) continue;
        const QRectF r = ToRectF(lamps.buttons[b]);
        glow(r, *lights.buttons[b], 5, std::min(r.width(), r.height()) / 3);
    }
    p.restore();
}

}  // namespace kx700::ui
