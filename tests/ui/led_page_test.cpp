// The Led page as the shipped skin draws it: what each lighting mode shows,
// and the live preview on the mouse drawing.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include "skin/images.h"
#include "ui/areas.h"
#include "ui/led_preview.h"
#include "ui/page_actions.h"
#include "ui/page_painter.h"
#include "ui_fixture.h"

namespace kx700 {
namespace {

using testing::WindowFixture;
using ui::kPreviewBreathTicks;
using ui::Page;
namespace led = ui::area::led;

constexpr std::array<int, 5> kSelectableModes = {kLedDpiBreath, kLedCycleBreath, kLedConstant, kLedButtonResponse,
                                                 kLedMute};

QRect ToRect(const AreaRect& a) { return QRect(a.x, a.y, a.width, a.height); }

// What the page covers in a mode: the mode masks and the controls drawn
// inactive.
std::vector<int> CoveredAreas(int mode) {
    const auto masks = ui::LedModeMaskAreas(mode);
    std::vector<int> out(masks.begin(), masks.end());
    for (int a : ui::LedInactiveAreas(mode)) out.push_back(a);
    return out;
}

bool Hidden(const SkinTables& t, int mode, int area) {
    const QRect r = ToRect(t.ledAreas[static_cast<std::size_t>(area)]);
    for (int c : CoveredAreas(mode)) {
        if (ToRect(t.ledAreas[static_cast<std::size_t>(c)]).contains(r)) return true;
    }
    return false;
}

// Whether a press on the area changes anything in this mode.
bool Acts(const SkinTables& t, int mode, int area) {
    MouseSettings s;
    s.ledMode = static_cast<std::uint8_t>(mode);
    s.ledDirection = 1;
    s.ledBrightness = -1;  // values no bar gives
    s.ledCycleTime = 255;
    const MouseSettings before = s;
    const AreaRect& r = t.ledAreas[static_cast<std::size_t>(area)];
    ui::PressLedArea(s, 0, area, r, r.x + 2);
    return !(s.ledBrightness == before.ledBrightness && s.ledCycleTime == before.ledCycleTime &&
             s.userColourEnable == before.userColourEnable && s.ledSymmetry == before.ledSymmetry &&
             s.ledDirection == before.ledDirection && s.cycleColourEnable == before.cycleColourEnable &&
             s.reactEnable == before.reactEnable);
}

TEST(LedPageModes, NoVisibleSwitchActsOnAHiddenAreaAndNoPanelShowsEmpty) {
    // A switch and the areas it acts on.
    struct Pair {
        int control;
        std::vector<int> targets;
    };
    std::vector<Pair> pairs = {{led::kCustomColours, {0, 1, 2, 3}}, {led::kSymmetry, {47, 48, 49}}};
    for (int k = 0; k < 4; ++k) pairs.push_back({led::kColourSwitchFirst + k, {led::kSwatchFirst + k}});
    for (int i = 0; i < 7; ++i) pairs.push_back({led::kReactionSwitchFirst + i, {led::kReactionTypeFirst + i}});
    for (bool english : {true, false}) {
        ui::StartOptions options;
        options.english = english;
        WindowFixture f(options);
        ASSERT_TRUE(f.start());
        f.window->ChangePage(Page::Led);
        QTest::mouseMove(f.window.get(), QPoint(480, 590));
        const SkinTables& t = f.window->skin();
        for (int mode : kSelectableModes) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << (english ? " en" : " cn"));
            int visibleSwitches = 0;
            for (const Pair& p : pairs) {
                if (Hidden(t, mode, p.control)) continue;
                ++visibleSwitches;
                for (int target : p.targets) EXPECT_FALSE(Hidden(t, mode, target)) << p.control << " -> " << target;
            }
            if (mode == kLedCycleBreath || mode == kLedConstant || mode == kLedButtonResponse) {
                EXPECT_GT(visibleSwitches, 0) << "the walk must see the switches a mode uses";
            }
            // A panel in view holds a control that acts, or a label that is written.
            for (int panel = led::kReactionPanel; panel <= led::kColourCyclePanel; ++panel) {
                if (Hidden(t, mode, panel)) continue;
                const QRect pr = ToRect(t.ledAreas[static_cast<std::size_t>(panel)]);
                int shown = 0;
                for (int a = 0; a < kLedAreaCount; ++a) {
                    if (a == panel || !pr.contains(ToRect(t.ledAreas[static_cast<std::size_t>(a)]))) continue;
                    if (t.ledAreas[static_cast<std::size_t>(a)].width == 0 || Hidden(t, mode, a)) continue;
                    const bool label =
                        !t.ledLabels[static_cast<std::size_t>(a)].empty() && !ui::LedLabelHidden(mode, a);
                    shown += label || Acts(t, mode, a);
                }
                EXPECT_GT(shown, 0) << "panel " << panel << " shows empty";
            }
            // A covered panel shows its controls in an inactive look, not an
            // empty frame: some row across it is not one plain colour. The
            // direction panel, which lies on the preview's stage, leaves the
            // stage in view instead.
            f.session.settings.ledMode = static_cast<std::uint8_t>(mode);
            const QImage frame = f.window->renderFrame();
            for (int panel = led::kReactionPanel; panel <= led::kColourCyclePanel; ++panel) {
                if (panel == led::kDirectionPanel || !Hidden(t, mode, panel)) continue;
                const QRect pr = ToRect(t.ledAreas[static_cast<std::size_t>(panel)]).adjusted(12, 8, -12, -8);
                int widest = 0;
                for (int y = pr.top(); y <= pr.bottom(); y += 2) {
                    int lo = 255, hi = 0;
                    for (int x = pr.left(); x <= pr.right(); ++x) {
                        const int v = qGray(frame.pixel(x, y));
                        lo = std::min(lo, v), hi = std::max(hi, v);
                    }
                    widest = std::max(widest, hi - lo);
                }
                EXPECT_GT(widest, 10) << "covered panel " << panel << " is an empty frame";
            }
            // A bar in view acts in this mode.
            for (int bar : {led::kBrightnessBar, led::kSpeedBar}) {
                if (!Hidden(t, mode, bar)) {
                    EXPECT_TRUE(Acts(t, mode, bar)) << "bar " << bar << " does nothing";
                }
            }
        }
    }
}

TEST(LedPageModes, InactiveControlsShowTheNullFace) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    f.window->ChangePage(Page::Led);
    QTest::mouseMove(f.window.get(), QPoint(480, 590));
    const QImage null = LoadSkinImage(f.session.folders.skinsFolder(), "led_null.jpg");
    struct Row {
        int mode;
        int area;
        bool inactive;
    };
    for (const Row& r : {Row{kLedCycleBreath, led::kBrightnessBar, true}, Row{kLedConstant, led::kBrightnessBar, false},
                         Row{kLedMute, led::kSwatchFirst + 2, true}, Row{kLedConstant, led::kSwatchFirst + 2, false}}) {
        f.session.settings.ledMode = static_cast<std::uint8_t>(r.mode);
        f.session.settings.ledBrightness = 0;  // a full bar
        const QImage frame = f.window->renderFrame();
        const QPoint at = f.window->areaRect(Page::Led, r.area).center();
        EXPECT_EQ(frame.pixel(at) == null.pixel(at), r.inactive) << "mode " << r.mode << " area " << r.area;
    }
}

class LedPreviewFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(f.start());
        f.window->ChangePage(Page::Led);
        QTest::mouseMove(f.window.get(), QPoint(480, 590));
        timer = f.window->findChild<QTimer*>(QStringLiteral("lightingPreview"));
        ASSERT_NE(timer, nullptr);
        MouseSettings& s = f.session.settings;
        s.userColourEnable = 1;
        s.userColour = {Rgb4{0, 15, 15}, Rgb4{15, 0, 15}, Rgb4{15, 15, 0}, Rgb4{15, 15, 15}};
        s.cycleColourEnable = {1, 0, 1, 0};
        s.ledBrightness = 0;
    }
    void tick(int n) {
        for (int i = 0; i < n; ++i) QMetaObject::invokeMethod(timer, "timeout");
    }
    QColor at(int area) { return f.window->renderFrame().pixelColor(f.window->areaRect(Page::Led, area).center()); }
    WindowFixture f;
    QTimer* timer = nullptr;
};

// The user colours above as the swatches show them.
const QColor kRed(255, 15, 15), kBlue(15, 15, 255);

TEST_F(LedPreviewFixture, CycleBreathBreathesThroughTheColoursThatTakePart) {
    f.session.settings.ledMode = kLedCycleBreath;
    EXPECT_EQ(at(led::kPreviewStrip), kRed) << "a breath starts bright";
    tick(kPreviewBreathTicks / 2);
    EXPECT_EQ(at(led::kPreviewStrip), QColor(38, 2, 2)) << "and is darkest half way";
    tick(kPreviewBreathTicks / 2);
    EXPECT_EQ(at(led::kPreviewStrip), kBlue) << "colour 2 does not take part: the next breath is colour 3";
    tick(kPreviewBreathTicks);
    EXPECT_EQ(at(led::kPreviewStrip), kRed);
    f.window->ChangePage(Page::Main);
    f.window->ChangePage(Page::Led);
    EXPECT_EQ(at(led::kPreviewStrip), kRed) << "the preview starts again when the page is shown";
}

TEST_F(LedPreviewFixture, ConstantlyIsSteadyAtTheChosenBrightness) {
    MouseSettings& s = f.session.settings;
    s.ledMode = kLedConstant;
    s.ledBrightness = 6;  // the dimmest step: a seventh
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(at(led::kPreviewStrip), QColor(255 / 7, 15 / 7, 15 / 7)) << "tick " << n;
        tick(3);
    }
    s.userColourEnable = 0;  // the built-in colours, as the selected swatch shows colour 1
    const QImage down = LoadSkinImage(f.session.folders.skinsFolder(), "led_down.jpg");
    const QColor builtIn = down.pixelColor(f.window->areaRect(Page::Led, led::kSwatchFirst).center());
    EXPECT_EQ(at(led::kPreviewStrip), QColor(builtIn.red() / 7, builtIn.green() / 7, builtIn.blue() / 7));
}

TEST_F(LedPreviewFixture, ButtonResponseLightsTheButtonsWhoseReactionIsOn) {
    MouseSettings& s = f.session.settings;
    s.ledMode = kLedButtonResponse;
    f.session.currentProfile = 2;
    s.reactEnable[2] = {};
    s.reactEnable[2][0] = 1;  // left button
    s.reactEnable[2][7] = 1;  // the top button (code 8)
    s.reactEnable[0][1] = 1;  // right button, in another profile only
    const QImage normal = LoadSkinImage(f.session.folders.skinsFolder(), "led_normal.jpg");
    auto unlit = [&](int area) { return normal.pixelColor(f.window->areaRect(Page::Led, area).center()); };
    EXPECT_EQ(at(led::kPreviewLampFirst + 0), kRed);
    EXPECT_EQ(at(led::kPreviewLampFirst + 6), kRed);
    EXPECT_EQ(at(led::kPreviewLampFirst + 1), unlit(led::kPreviewLampFirst + 1));
    EXPECT_EQ(at(led::kPreviewStrip), QColor(20, 28, 32)) << "the strip stays dark";
    tick(kPreviewBreathTicks / 2);
    EXPECT_EQ(at(led::kPreviewLampFirst + 0), kBlue) << "the lit buttons go through the colours";
}

TEST_F(LedPreviewFixture, DpiBreathShowsTheCurrentLevelsColourAndMuteIsDark) {
    MouseSettings& s = f.session.settings;
    s.ledMode = kLedDpiBreath;
    s.dpiLevel = 2;
    s.dpiColour[2] = Rgb4{0, 15, 3};
    EXPECT_EQ(at(led::kPreviewStrip), QColor(0, 255, 51));
    s.ledMode = kLedMute;
    EXPECT_EQ(at(led::kPreviewStrip), QColor(20, 28, 32));
}

// A held press on a bar moves its value with the pointer, also past the
// bar's ends, with the arithmetic of a press at each point.
TEST(Bars, FollowADragUntilTheRelease) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), f.window->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &e);
    };
    f.window->ChangePage(Page::Advanced);
    const QRect bar = f.window->areaRect(Page::Advanced, ui::area::advanced::kPointerBar);
    const QPoint start(bar.left(), bar.center().y());
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    EXPECT_EQ(f.session.settings.pointerSpeed, 1);
    send(QEvent::MouseMove, start + QPoint(100, 0), Qt::LeftButton);
    EXPECT_EQ(f.session.settings.pointerSpeed, 6) << "as a press 100 pixels in";
    send(QEvent::MouseMove, QPoint(bar.right() + 80, bar.top() - 60), Qt::LeftButton);
    EXPECT_EQ(f.session.settings.pointerSpeed, 10) << "past the end: the end";
    send(QEvent::MouseButtonRelease, QPoint(bar.right() + 80, bar.top() - 60), Qt::NoButton);
    send(QEvent::MouseMove, start, Qt::NoButton);
    EXPECT_EQ(f.session.settings.pointerSpeed, 10) << "after the release the bar stays";

    f.window->ChangePage(Page::Led);
    f.session.settings.ledMode = kLedConstant;
    const QRect brightness = f.window->areaRect(Page::Led, led::kBrightnessBar);
    send(QEvent::MouseButtonPress, QPoint(brightness.left(), brightness.center().y()), Qt::LeftButton);
    EXPECT_EQ(f.session.settings.ledBrightness, 6);
    send(QEvent::MouseMove, QPoint(brightness.left() - 50, brightness.center().y()), Qt::LeftButton);
    EXPECT_EQ(f.session.settings.ledBrightness, 6);
    send(QEvent::MouseMove, QPoint(brightness.right(), brightness.center().y()), Qt::LeftButton);
    EXPECT_EQ(f.session.settings.ledBrightness, 0);
    send(QEvent::MouseButtonRelease, QPoint(brightness.right(), brightness.center().y()), Qt::NoButton);
}

TEST(ButtonFields, AButtonWithoutAFunctionReadsNone) {
    for (bool english : {true, false}) {
        ui::StartOptions options;
        options.english = english;
        WindowFixture f(options);
        ASSERT_TRUE(f.start());
        f.session.settings.buttonAssign[static_cast<std::size_t>(f.session.currentProfile)][4] = 0;
        const QImage withNone = f.window->renderFrame();
        f.session.settings.buttonAssign[static_cast<std::size_t>(f.session.currentProfile)][4] = 49;  // no name
        const QImage empty = f.window->renderFrame();
        const QRect field = f.window->areaRect(Page::Main, ui::area::main::kButtonFirst + 4);
        EXPECT_NE(withNone.copy(field), empty.copy(field)) << (english ? "en" : "cn");
    }
}

}  // namespace
}  // namespace kx700
