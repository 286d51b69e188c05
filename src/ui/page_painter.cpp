#include "ui/page_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <span>

#include "macro/record.h"

namespace kx700::ui {
namespace {

const QColor kOrdinary(255, 255, 255);
const QColor kHighlight(1, 255, 246);

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
    bool fromDown = s.areaPressed;
    // Pressed bars (and everything on the Led page) keep their hover look.
    if (s.currentPage == Page::Advanced && (hot == 1 || hot == 18 || hot == 31 || (hot >= 66 && hot <= 69))) fromDown = false;
    if (s.currentPage == Page::Led) fromDown = false;
    Copy(p, fromDown ? down : over, *area);
}

void MainStates(QPainter& p, const PaintModel& m, const QImage& down) {
    const int areaOfProfile[] = {11, -1, 12, 13};
    if (m.currentProfile >= 0 && m.currentProfile < 4 && areaOfProfile[m.currentProfile] >= 0) {
        Copy(p, down, At(m.skin->mainAreas, areaOfProfile[m.currentProfile]));
    }
}

void AdvancedStates(QPainter& p, const PaintModel& m, const QImage& down) {
    const MouseSettings& s = *m.settings;
    const auto& a = m.skin->advancedAreas;
    Copy(p, down, At(a, 60 + s.dpiLevel));
    Copy(p, down, At(a, 118 + s.dpiLevel));
    for (int k = 0; k < kCpiLevels; ++k) {
        if (s.dpiLevelEnabled[static_cast<std::size_t>(k)] == 1) Copy(p, down, At(a, 47 + k));
    }
    for (int k = 0; k < kCpiLevels; ++k) {
        const AreaRect& bar = At(a, 66 + k);
        Copy(p, down, bar, Part(s.dpiStep[static_cast<std::size_t>(k)] + 1, bar.width, 12));
    }
    Copy(p, down, At(a, 70 + s.dpiStep[0]));
    Copy(p, down, At(a, 82 + s.dpiStep[1]));
    Copy(p, down, At(a, 94 + s.dpiStep[2]));
    Copy(p, down, At(a, 106 + s.dpiStep[3]));
    Copy(p, down, At(a, 1), Part(s.pointerSpeed, At(a, 1).width, 10));
    Copy(p, down, At(a, 18), Part(s.wheelSpeed, At(a, 18).width, 10));
    Copy(p, down, At(a, 31), Part(s.fireInterval, At(a, 31).width, 300));
    Copy(p, down, At(a, 34 + s.reportRate));
    Copy(p, down, At(a, 38 + s.reportRate));
}

void MacroStates(QPainter& p, const PaintModel& m, const QImage& down) {
    const auto& a = m.skin->macroAreas;
    if (m.recording) Copy(p, down, At(a, 5));
    switch (m.currentRunMode) {
        case 2: Copy(p, down, At(a, 10)); break;
        case 1: Copy(p, down, At(a, 11)); break;
        case 0: Copy(p, down, At(a, 12)); break;
        default: break;
    }
}

void LedStates(QPainter& p, const PaintModel& m, const QImage& down, const QImage& null) {
    const MouseSettings& s = *m.settings;
    const auto& a = m.skin->ledAreas;
    const AreaRect& brightness = At(a, 40);
    Copy(p, down, brightness, Part(7 - std::int64_t{s.ledBrightness}, brightness.width, 7));
    const AreaRect& speed = At(a, 41);
    Copy(p, down, speed, Part(std::int64_t{s.ledCycleTime} + 1, speed.width, 6));
    if (s.ledSymmetry != 0) Copy(p, down, At(a, 45));
    Copy(p, down, At(a, 47 + s.ledDirection));
    for (int k = 0; k < 4; ++k) {
        if (s.cycleColourEnable[static_cast<std::size_t>(k)] != 0) Copy(p, down, At(a, 7 + k));
    }
    const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
    for (int i = 0; i < kButtons; ++i) {
        const int slot = kHardwareButtonCode[static_cast<std::size_t>(i)] - 1;
        if (s.reactEnable[static_cast<std::size_t>(profile)][static_cast<std::size_t>(slot)] != 0) Copy(p, down, At(a, 51 + i));
    }
    if (s.userColourEnable != 0) {
        Copy(p, down, At(a, 14));
        for (int k = 0; k < 4; ++k) {
            if (s.cycleColourEnable[static_cast<std::size_t>(k)] == 0) continue;
            const std::uint32_t c = UserColourRef(s.userColour[static_cast<std::size_t>(k)]);
            p.fillRect(ToRect(At(a, k)), QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                                                static_cast<int>((c >> 16) & 0xFF)));
        }
    } else {
        for (int k = 0; k < 4; ++k) {
            if (s.cycleColourEnable[static_cast<std::size_t>(k)] != 0) Copy(p, down, At(a, k));
        }
    }
    for (int area : LedModeMaskAreas(s.ledMode)) Copy(p, null, At(a, area));
}

void Header(QPainter& p, const PaintModel& m, const QImage& over, const QImage& down) {
    const Interaction& s = m.interaction;
    for (int i = 0; i <= 10; ++i) {
        const AreaRect& a = At(m.skin->mainAreas, i);
        if (i == s.hotMain) {
            Copy(p, s.areaPressed ? down : over, a);
        } else if (i == 6 + static_cast<int>(s.currentPage)) {
            Copy(p, down, a);
        } else if ((i == 4 && !m.english) || (i == 5 && m.english)) {
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
    if (code >= 0 && code < kFunctionNameCount) return Q(m.skin->functionNames[static_cast<std::size_t>(code)]);
    if (macro::MacroRef::IsUser(code) && m.macroName) return Q(m.macroName(code));
    return QString();  // 48-255 (and anything negative) have no name of their own
}

void Texts(QPainter& p, const PaintModel& m) {
    const Interaction& s = m.interaction;
    const SkinTables& t = *m.skin;
    const int tab = 6 + static_cast<int>(s.currentPage);
    auto headerRun = [&](int i) {
        TextRun r{Q(t.mainLabels[static_cast<std::size_t>(i)]), ToRect(t.mainAreas[static_cast<std::size_t>(i)]), &m.labelFont,
                  i == s.hotMain ? kHighlight : kOrdinary};
        if (i == tab) r.font = &m.largeFont, r.colour = kHighlight;
        return r;
    };
    if (s.currentPage == Page::Main) {
        const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
        for (int i = 0; i < kMainAreaCount; ++i) {
            TextRun r = headerRun(i);
            if (i >= 20 && i <= 26) {
                r.text = FunctionText(m, m.settings->buttonAssign[static_cast<std::size_t>(profile)][static_cast<std::size_t>(i - 20)]);
            }
            Write(p, r);
        }
        return;
    }
    for (int i = 0; i < 10; ++i) Write(p, headerRun(i));

    if (s.currentPage == Page::Advanced) {
        const MouseSettings& st = *m.settings;
        for (int a = 0; a < kAdvancedAreaCount; ++a) {
            TextRun r{Q(t.advancedLabels[static_cast<std::size_t>(a)]), ToRect(t.advancedAreas[static_cast<std::size_t>(a)]),
                      &m.labelFont, kOrdinary};
            if (a == 2) r.text = QString::number(st.pointerSpeed);
            if (a == 19) r.text = QString::number(st.wheelSpeed);
            if (a == 32) r.text = QString::number(st.fireInterval) + QStringLiteral("ms");
            if (a == 0 || a == 17 || a == 30 || a == 33) r.align = TextRun::Align::Left5;
            Write(p, r);
        }
    } else if (s.currentPage == Page::Macro) {
        for (int a = 0; a < kMacroAreaCount; ++a) {
            TextRun r{Q(t.macroLabels[static_cast<std::size_t>(a)]), ToRect(t.macroAreas[static_cast<std::size_t>(a)]),
                      &m.largeFont, kOrdinary};
            if (a == 5) {
                r.colour = kHighlight;
                r.text = m.english ? (m.recording ? QStringLiteral("Stop") : QStringLiteral("Record"))
                                   : (m.recording ? QStringLiteral("停止") : QStringLiteral("录制"));
                r.shift = -3;
            } else if (a >= 14 && a <= 16) {
                r.font = &m.labelFont;
                r.heightFont = &m.largeFont;
                r.align = TextRun::Align::Left2;
            }
            Write(p, r);
        }
    } else {
        const MouseSettings& st = *m.settings;
        const int mode = st.ledMode;
        const auto& names = LightingModeNames(m.english);
        const int profile = Clamp(m.currentProfile, 0, kProfileSlots - 1);
        for (int a = 0; a < kLedAreaCount; ++a) {
            TextRun r{Q(t.ledLabels[static_cast<std::size_t>(a)]), ToRect(t.ledAreas[static_cast<std::size_t>(a)]),
                      &m.labelFont, kOrdinary};
            if (a == 35) {
                const int name = mode <= 2 ? mode : mode == 8 ? 3 : mode == 9 ? 4 : -1;
                if (name >= 0) r.text = Q(std::string(names[static_cast<std::size_t>(name)]));
            }
            if (mode == 8 && a >= 61 && a <= 67) {
                const int slot = kHardwareButtonCode[static_cast<std::size_t>(a - 61)] - 1;
                if (st.reactType[static_cast<std::size_t>(profile)][static_cast<std::size_t>(slot)] == 0) {
                    r.text = m.english ? QStringLiteral("Cycle breath") : QStringLiteral("循环呼吸");
                }
            }
            if (a == 40 || a == 41) r.widthCut = 30;
            if (a == 98 && mode != 3) r.text.clear();
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

std::span<const int> LedModeMaskAreas(int ledMode) {
    static constexpr int m0[] = {72, 75, 74, 50, 71};
    static constexpr int m1[] = {74, 72, 50, 71};
    static constexpr int m2[] = {75, 74, 73, 50, 71};
    static constexpr int m3[] = {71};
    static constexpr int m45[] = {50, 71};
    static constexpr int m6[] = {72, 74, 71, 75};
    static constexpr int m7[] = {72, 50, 49, 71, 75};
    static constexpr int m8[] = {72, 74};
    static constexpr int m9[] = {75, 74, 73, 72, 50, 71};
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

bool LedLabelHidden(int mode, int a) {
    const bool band30to34 = a >= 30 && a <= 34;
    switch (mode) {
        case 0:
        case 6: return a == 15 || band30to34 || a == 38;
        case 1:
        case 8: return band30to34 || a == 38;
        case 2: return a == 15 || band30to34 || a == 39;
        case 4:
        case 5: return a == 34;
        case 7: return a == 15 || a == 33 || a == 34 || a == 38;
        case 9: return a == 15 || band30to34 || a == 38 || a == 39;
        default: return false;
    }
}

void PaintPage(QImage& canvas, const PaintModel& m, SkinImageCache& images) {
    const PageFaces faces = FacesOf(m.interaction.currentPage);
    const QImage normal = images.load(faces.normal);
    const QImage over = images.load(faces.over);
    const QImage down = images.load(faces.down);
    canvas = normal.isNull() ? QImage(1, 1, QImage::Format_RGB32) : normal.copy();
    if (normal.isNull()) canvas.fill(Qt::black);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    HotArea(p, m, over, down);
    switch (m.interaction.currentPage) {
        case Page::Main: MainStates(p, m, down); break;
        case Page::Advanced: AdvancedStates(p, m, down); break;
        case Page::Macro: MacroStates(p, m, down); break;
        case Page::Led: LedStates(p, m, down, images.load("led_null.jpg")); break;
    }
    Header(p, m, over, down);
    Texts(p, m);
}

}  // namespace kx700::ui
