#include "ui/page_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <span>

#include "macro/record.h"
#include "settings/setting_edits.h"
#include "ui/areas.h"
#include "ui/hit_test.h"
#include "ui/led_preview.h"
#include "ui/skin_palette.h"

namespace kx700::ui {
namespace {

const QColor& kOrdinary = palette::kText;
const QColor& kHighlight = palette::kAccent;

QRect ToRect(const AreaRect& a) { return QRect(a.x, a.y, a.width, a.height); }

// Copies an area (or its left `width` pixels) from a face onto the canvas.
void Copy(QPainter& p, const QImage& face, const AreaRect& a, int width = -1) {
    if (face.isNull() || a.width <= 0 || a.height <= 0) return;
    // A value out of its range never paints past its own area.
    const QRect r(a.x, a.y, width < 0 || width > a.width ? a.width : width, a.height);
    if (r.width() <= 0) return;
    p.drawImage(r.topLeft(), face, r);
}

template <std::size_t N>
const AreaRect& At(const std::array<AreaRect, N>& t, int i) {
    static const AreaRect kNone{};
    return i >= 0 && static_cast<std::size_t>(i) < N ? t[static_cast<std::size_t>(i)] : kNone;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Integer width as the window computes it: value × w ÷ range, truncated.
int Part(std::int64_t value, int w, int range) { return static_cast<int>(value * w / range); }

void HotArea(QPainter& p, const PaintModel& m, const QImage& over, const QImage& down) {
    const Interaction& s = m.interaction;
    const SkinTables& t = *m.skin;
    int hot = NoArea;
    const AreaRect* area = nullptr;
    switch (s.currentPage) {
        case Page::Main: hot = s.hotMain, area = &At(t.mainAreas, hot); break;
        case Page::Advanced: hot = s.hotAdvanced, area = &At(t.advancedAreas, hot); break;
        case Page::Macro: hot = s.hotMacro, area = &At(t.macroAreas, hot); break;
        case Page::Led: hot = s.hotLed, area = &At(t.ledAreas, hot); break;
    }
    if (hot == NoArea) return;
    // A link that leads nowhere does not answer the pointer.
    if (const int k = WebLinkOfArea(s.currentPage, hot); k >= 0 && !m.linkSet[static_cast<std::size_t>(k)]) return;
    bool fromDown = s.areaPressed;
    // Pressed bars (and everything on the Led page) keep their hover look.
    if (s.currentPage == Page::Advanced) {
        using namespace area::advanced;
        const bool bar = hot == kPointerBar || hot == kWheelBar || hot == kFireBar;
        if (bar || (hot >= kLevelBarFirst && hot <= kLevelBarLast)) fromDown = false;
    }
    if (s.currentPage == Page::Led) fromDown = false;
    Copy(p, fromDown ? down : over, *area);
}

void MainStates(QPainter& p, const PaintModel& m, const QImage& down) {
    const int areaOfProfile[] = {area::main::kProfile1, -1, area::main::kProfile2, area::main::kProfile3};
    if (m.currentProfile >= 0 && m.currentProfile < 4 && areaOfProfile[m.currentProfile] >= 0) {
        Copy(p, down, At(m.skin->mainAreas, areaOfProfile[m.currentProfile]));
    }
}

void AdvancedStates(QPainter& p, const PaintModel& m, const QImage& down) {
    using namespace area::advanced;
    const MouseSettings& s = *m.settings;
    const auto& a = m.skin->advancedAreas;
    Copy(p, down, At(a, kLevelSelectFirst + s.dpiLevel));
    Copy(p, down, At(a, kLevelLampFirst + s.dpiLevel));
    for (int k = 0; k < kCpiLevels; ++k) {
        if (s.dpiLevelEnabled[static_cast<std::size_t>(k)] == 1) Copy(p, down, At(a, kLevelSwitchFirst + k));
    }
    for (int k = 0; k < kCpiLevels; ++k) {
        const AreaRect& bar = At(a, kLevelBarFirst + k);
        Copy(p, down, bar, Part(s.dpiStep[static_cast<std::size_t>(k)] + 1, bar.width, 12));
    }
    for (int k = 0; k < kCpiLevels; ++k) {
        Copy(p, down, At(a, kStepMarkFirst + k * kStepMarksPerLevel + s.dpiStep[static_cast<std::size_t>(k)]));
    }
    Copy(p, down, At(a, kPointerBar), Part(s.pointerSpeed, At(a, kPointerBar).width, 10));
    Copy(p, down, At(a, kWheelBar), Part(s.wheelSpeed, At(a, kWheelBar).width, 10));
    Copy(p, down, At(a, kFireBar), Part(s.fireInterval, At(a, kFireBar).width, 300));
    Copy(p, down, At(a, kReportRateMarkFirst + s.reportRate));
    Copy(p, down, At(a, kReportRateChoiceFirst + s.reportRate));
}

void MacroStates(QPainter& p, const PaintModel& m, const QImage& down) {
    const auto& a = m.skin->macroAreas;
    if (m.recording) Copy(p, down, At(a, area::macro::kRecord));
    switch (m.currentRunMode) {
        case 2: Copy(p, down, At(a, area::macro::kRunUntilPressed)); break;
        case 1: Copy(p, down, At(a, area::macro::kRunWhileHeld)); break;
        case 0: Copy(p, down, At(a, area::macro::kRunCounted)); break;
        default: break;
    }
}

// The swatch colours as the page shows them: the user's while custom colours
// are on, otherwise the built-in ones of the skin's selected swatches.
PreviewPalette PaletteOf(const PaintModel& m, const QImage& down) {
    using namespace area::led;
    const MouseSettings& s = *m.settings;
    PreviewPalette out;
    for (int k = 0; k < 4; ++k) {
        QColor& c = out[static_cast<std::size_t>(k)];
        const QRect r = ToRect(At(m.skin->ledAreas, kSwatchFirst + k));
        if (s.userColourEnable != 0) {
            c = SwatchColour(s.userColour[static_cast<std::size_t>(k)]);
        } else if (!down.isNull() && down.rect().contains(r.center())) {
            c = down.pixelColor(r.center());
        } else {
            c = QColor::fromHsv(90 * k, 220, 255);
        }
    }
    return out;
}

void LedPreview(QPainter& p, const PaintModel& m, const QImage& down) {
    using namespace area::led;
    const auto& a = m.skin->ledAreas;
    PreviewLamps lamps{At(a, kPreviewStrip), At(a, kPreviewLogo), At(a, kPreviewUnderglow)};
    for (int b = 0; b < 7; ++b) lamps.buttons[static_cast<std::size_t>(b)] = At(a, kPreviewLampFirst + b);
    const PreviewLights lights =
        PreviewLightsAt(*m.settings, Clamp(m.currentProfile, 0, kProfileSlots - 1), m.previewTick, PaletteOf(m, down));
    DrawPreview(p, lights, lamps);
}

void LedStates(QPainter& p, const PaintModel& m, const QImage& down, const QImage& null) {
    using namespace area::led;
    const MouseSettings& s = *m.settings;
    const auto& a = m.skin->ledAreas;
    const AreaRect& brightness = At(a, kBrightnessBar);
    Copy(p, down, brightness, Part(7 - std::int64_t{s.ledBrightness}, brightness.width, 7));
    const AreaRect& speed = At(a, kSpeedBar);
    Copy(p, down, speed, Part(std::int64_t{s.ledCycleTime} + 1, speed.width, 6));
    if (s.ledSymmetry != 0) Copy(p, down, At(a, kSymmetry));
    Copy(p, down, At(a, kDirectionFirst + s.ledDirection));
    for (int k = 0; k < 4; ++k) {
        if (s.cycleColourEnable[static_cast<std::size_t>(k)] != 0) Copy(p, down, At(a, kColourSwitchFirst + k));
    }
    const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
    for (int i = 0; i < kButtons; ++i) {
        const int slot = kHardwareButtonCode[static_cast<std::size_t>(i)] - 1;
        if (s.reactEnable[static_cast<std::size_t>(profile)][static_cast<std::size_t>(slot)] != 0) {
            Copy(p, down, At(a, kReactionSwitchFirst + i));
        }
    }
    if (s.userColourEnable != 0) {
        Copy(p, down, At(a, kCustomColours));
        for (int k = 0; k < 4; ++k) {
            if (s.cycleColourEnable[static_cast<std::size_t>(k)] == 0) continue;
            p.fillRect(ToRect(At(a, kSwatchFirst + k)), SwatchColour(s.userColour[static_cast<std::size_t>(k)]));
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            if (s.cycleColourEnable[static_cast<std::size_t>(k)] != 0) Copy(p, down, At(a, kSwatchFirst + k));
        }
    }
    for (int area : LedModeMaskAreas(s.ledMode)) Copy(p, null, At(a, area));
    for (int area : LedInactiveAreas(s.ledMode)) Copy(p, null, At(a, area));
    LedPreview(p, m, down);
}

void Header(QPainter& p, const PaintModel& m, const QImage& over, const QImage& down) {
    const Interaction& s = m.interaction;
    using namespace area::header;
    for (int i = 0; i < kCount; ++i) {
        const AreaRect& a = At(m.skin->mainAreas, i);
        if (i == s.hotMain) {
            Copy(p, s.areaPressed ? down : over, a);
        } else if (i == kTabFirst + static_cast<int>(s.currentPage)) {
            Copy(p, down, a);
        } else if ((i == kChinese && !m.english) || (i == kEnglish && m.english)) {
            Copy(p, down, a);
        }
    }
}

struct TextRun {
    QString text;
    QRect area;
    const QFont* font;
    QColor colour;
    enum class Align { Centre, Left5, Left2 } align = Align::Centre;
    const QFont* heightFont = nullptr;  // measures the height when not the drawing font
    int shift = 0;
    int widthCut = 0;  // centred in the area's width minus this
};

void Write(QPainter& p, const TextRun& r) {
    if (r.text.isEmpty()) return;
    const QFontMetrics fm(*r.font);
    const int tw = fm.horizontalAdvance(r.text);
    const int th = QFontMetrics(r.heightFont ? *r.heightFont : *r.font).height();
    int left = 0;
    switch (r.align) {
        case TextRun::Align::Centre: left = r.area.x() + (r.area.width() - r.widthCut - tw) / 2; break;
        case TextRun::Align::Left5: left = r.area.x() + 5; break;
        case TextRun::Align::Left2: left = r.area.x() + 2; break;
    }
    left += r.shift;
    const int top = r.area.y() + (r.area.height() - th) / 2;
    if (!(left > 0 || top > 0)) return;
    p.setFont(*r.font);
    p.setPen(r.colour);
    p.drawText(QPoint(left, top + fm.ascent()), r.text);
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString FunctionText(const PaintModel& m, std::int32_t code) {
    // A button without a function says so rather than showing an empty field.
    if (code == 0) return m.english ? QStringLiteral("None") : QStringLiteral("无");
    if (code > 0 && code < kFunctionNameCount) return Q(m.skin->functionNames[static_cast<std::size_t>(code)]);
    if (macro::MacroRef::IsUser(code) && m.macroName) return Q(m.macroName(code));
    return QString();  // 48-255 (and anything negative) have no name of their own
}

void Texts(QPainter& p, const PaintModel& m) {
    const Interaction& s = m.interaction;
    const SkinTables& t = *m.skin;
    const int tab = area::header::kTabFirst + static_cast<int>(s.currentPage);
    auto headerRun = [&](int i) {
        TextRun r{Q(t.mainLabels[static_cast<std::size_t>(i)]), ToRect(t.mainAreas[static_cast<std::size_t>(i)]),
                  &m.labelFont, i == s.hotMain ? kHighlight : kOrdinary};
        if (i == tab) r.font = &m.largeFont, r.colour = kHighlight;
        return r;
    };
    if (s.currentPage == Page::Main) {
        const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
        for (int i = 0; i < kMainAreaCount; ++i) {
            TextRun r = headerRun(i);
            if (i >= area::main::kButtonFirst && i <= area::main::kButtonLast) {
                const auto button = static_cast<std::size_t>(i - area::main::kButtonFirst);
                r.text = FunctionText(m, m.settings->buttonAssign[static_cast<std::size_t>(profile)][button]);
            }
            if (const int k = WebLinkOfArea(Page::Main, i); k >= 0 && !m.linkSet[static_cast<std::size_t>(k)]) {
                r.colour = kOrdinary;  // no hover look on a link that leads nowhere
            }
            Write(p, r);
        }
        return;
    }
    // Off the Main page the logo, the header's last entry, has no text.
    for (int i = 0; i < area::header::kLogo; ++i) Write(p, headerRun(i));

    if (s.currentPage == Page::Advanced) {
        using namespace area::advanced;
        const MouseSettings& st = *m.settings;
        for (int a = 0; a < kAdvancedAreaCount; ++a) {
            TextRun r{Q(t.advancedLabels[static_cast<std::size_t>(a)]),
                      ToRect(t.advancedAreas[static_cast<std::size_t>(a)]), &m.labelFont, kOrdinary};
            if (a == kPointerValue) r.text = QString::number(st.pointerSpeed);
            if (a == kWheelValue) r.text = QString::number(st.wheelSpeed);
            if (a == kFireValue) r.text = QString::number(st.fireInterval) + QStringLiteral("ms");
            if (a == kPointerTitle || a == kWheelTitle || a == kFireTitle || a == kReportRateTitle) {
                r.align = TextRun::Align::Left5;
            }
            Write(p, r);
        }
    } else if (s.currentPage == Page::Macro) {
        for (int a = 0; a < kMacroAreaCount; ++a) {
            TextRun r{Q(t.macroLabels[static_cast<std::size_t>(a)]), ToRect(t.macroAreas[static_cast<std::size_t>(a)]),
                      &m.largeFont, kOrdinary};
            if (a == area::macro::kRecord) {
                r.colour = kHighlight;
                r.text = m.english ? (m.recording ? QStringLiteral("Stop") : QStringLiteral("Record"))
                                   : (m.recording ? QStringLiteral("停止") : QStringLiteral("录制"));
                r.shift = -3;
            } else if (a >= area::macro::kListCaptionFirst && a <= area::macro::kListCaptionLast) {
                r.font = &m.labelFont;
                r.heightFont = &m.largeFont;
                r.align = TextRun::Align::Left2;
            }
            Write(p, r);
        }
    } else {
        using namespace area::led;
        const MouseSettings& st = *m.settings;
        const int mode = st.ledMode;
        const auto& names = LightingModeNames(m.english);
        const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
        for (int a = 0; a < kLedAreaCount; ++a) {
            TextRun r{Q(t.ledLabels[static_cast<std::size_t>(a)]), ToRect(t.ledAreas[static_cast<std::size_t>(a)]),
                      &m.labelFont, kOrdinary};
            if (a == kModeSelector) {
                const int name = mode <= 2 ? mode : mode == 8 ? 3 : mode == 9 ? 4 : -1;
                if (name >= 0) r.text = Q(std::string(names[static_cast<std::size_t>(name)]));
            }
            if (mode == 8 && a >= kReactionTypeFirst && a <= kReactionTypeLast) {
                const int slot = kHardwareButtonCode[static_cast<std::size_t>(a - kReactionTypeFirst)] - 1;
                if (st.reactType[static_cast<std::size_t>(profile)][static_cast<std::size_t>(slot)] == 0) {
                    r.text = m.english ? QStringLiteral("Cycle breath") : QStringLiteral("循环呼吸");
                }
            }
            if (a == kBrightnessBar || a == kSpeedBar) r.widthCut = 30;
            if (a == kMode3Text && mode != 3) r.text.clear();
            if (LedLabelHidden(mode, a)) r.text.clear();
            Write(p, r);
        }
    }
}

}  // namespace

PageFaces FacesOf(Page page) {
    switch (page) {
        case Page::Main: return {"main_normal.jpg", "main_over.jpg", "main_down.jpg"};
        case Page::Advanced: return {"advanced_normal.jpg", "advanced_over.jpg", "advanced_down.jpg"};
        case Page::Macro: return {"mac_normal.jpg", "mac_over.jpg", "mac_down.jpg"};
        case Page::Led: return {"led_normal.jpg", "led_over.jpg", "led_down.jpg"};
    }
    return {"main_normal.jpg", "main_over.jpg", "main_down.jpg"};
}

QColor SwatchColour(const Rgb4& levels) {
    const std::uint32_t ref = UserColourRef(levels);
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

std::span<const int> LedModeMaskAreas(int ledMode) {
    using namespace area::led;
    constexpr int custom = kCustomColourPanel, cycle = kColourCyclePanel, direction = kDirectionPanel;
    constexpr int reaction = kReactionPanel, speed = kSpeedPanel;
    static constexpr int m0[] = {custom, cycle, direction, kDirection3, reaction};
    static constexpr int m1[] = {direction, custom, kDirection3, reaction};
    static constexpr int m2[] = {cycle, direction, speed, kDirection3, reaction};
    static constexpr int m3[] = {reaction};
    static constexpr int m45[] = {kDirection3, reaction};
    static constexpr int m6[] = {custom, direction, reaction, cycle};
    static constexpr int m7[] = {custom, kDirection3, kDirection2, reaction, cycle};
    static constexpr int m8[] = {custom, direction};
    static constexpr int m9[] = {cycle, direction, speed, custom, kDirection3, reaction};
    switch (ledMode) {
        case 0: return m0;
        case 1: return m1;
        case 2: return m2;
        case 3: return m3;
        case 4:
        case 5: return m45;
        case 6: return m6;
        case 7: return m7;
        case 8: return m8;
        case 9: return m9;
        default: return {};
    }
}

std::vector<int> LedInactiveAreas(int ledMode) {
    using namespace area::led;
    std::vector<int> out;
    if (!LedModeUsesBrightness(ledMode)) out.push_back(kBrightnessBar);
    const auto masks = LedModeMaskAreas(ledMode);
    auto masked = [&](int panel) { return std::find(masks.begin(), masks.end(), panel) != masks.end(); };
    if (masked(kCustomColourPanel) && masked(kColourCyclePanel)) {
        for (int k = kSwatchFirst; k <= kSwatchLast; ++k) out.push_back(k);
    }
    return out;
}

bool LedLabelHidden(int mode, int a) {
    using namespace area::led;
    const bool cycle = a == kColourCycleTitle, custom = a == kCustomColoursText, speed = a == kSpeedTitle;
    const bool direction = a >= kDirectionTextFirst && a <= kDirectionTextLast;
    switch (mode) {
        case 0:
        case 6: return cycle || direction || custom;
        case 1:
        case 8: return direction || custom;
        case 2: return cycle || direction || speed;
        case 4:
        case 5: return a == kDirection3Text;
        case 7: return cycle || a == kDirection2Text || a == kDirection3Text || custom;
        case 9: return cycle || direction || custom || speed;
        default: return false;
    }
}

namespace {

// The links of the page that are not set, greyed out over their picture and
// label.
void UnsetLinks(QPainter& p, const PaintModel& m) {
    const Page page = m.interaction.currentPage;
    const SkinTables& t = *m.skin;
    const int count = page == Page::Main       ? kMainAreaCount
                      : page == Page::Advanced ? kAdvancedAreaCount
                      : page == Page::Led      ? kLedAreaCount
                                               : 0;
    for (int a = 0; a < count; ++a) {
        const int k = WebLinkOfArea(page, a);
        if (k < 0 || m.linkSet[static_cast<std::size_t>(k)]) continue;
        const AreaRect& r = page == Page::Main       ? At(t.mainAreas, a)
                            : page == Page::Advanced ? At(t.advancedAreas, a)
                                                     : At(t.ledAreas, a);
        p.fillRect(ToRect(r), QColor(8, 12, 12, 170));
    }
}

}  // namespace

void PaintPage(QImage& canvas, const PaintModel& m, SkinImageCache& images, const QRegion& only) {
    const PageFaces faces = FacesOf(m.interaction.currentPage);
    const QImage normal = images.load(faces.normal);
    const QImage over = images.load(faces.over);
    const QImage down = images.load(faces.down);
    canvas = normal.isNull() ? QImage(1, 1, QImage::Format_RGB32) : normal.copy();
    if (normal.isNull()) canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    if (!only.isEmpty()) p.setClipRegion(only);

    HotArea(p, m, over, down);
    switch (m.interaction.currentPage) {
        case Page::Main: MainStates(p, m, down); break;
        case Page::Advanced: AdvancedStates(p, m, down); break;
        case Page::Macro: MacroStates(p, m, down); break;
        case Page::Led: LedStates(p, m, down, images.load("led_null.jpg")); break;
    }
    Header(p, m, over, down);
    Texts(p, m);
    UnsetLinks(p, m);
}

}  // namespace kx700::ui
