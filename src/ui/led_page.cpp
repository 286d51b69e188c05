#include "ui/led_page.h"

#include <QWidget>
#include <algorithm>

#include "ui/areas.h"
#include "ui/control_style.h"
#include "ui/page_actions.h"
#include "ui/page_painter.h"
#include "ui/popup_controller.h"

namespace kx700::ui {

namespace {

// The preview's pace: the effect's speed setting, 0 (slow) to 5 (fast).
int PreviewInterval(const MouseSettings& s) { return (6 - std::clamp(int{s.ledCycleTime}, 0, 5)) * 200; }

// Swatch k shows a user colour: custom colours are on, colour k is one the
// page paints, and the lighting mode leaves the swatch in view.
bool ShowsUserColour(const MouseSettings& s, const SkinTables& skin, int k) {
    if (s.userColourEnable == 0 || s.cycleColourEnable[static_cast<std::size_t>(k)] == 0) return false;
    const QRect swatch = ToRect(skin.ledAreas[static_cast<std::size_t>(area::led::kSwatchFirst + k)]);
    std::vector<int> covered = LedInactiveAreas(s.ledMode);
    for (int a : LedModeMaskAreas(s.ledMode)) covered.push_back(a);
    return std::none_of(covered.begin(), covered.end(),
                        [&](int a) { return ToRect(skin.ledAreas[static_cast<std::size_t>(a)]).intersects(swatch); });
}

}  // namespace

LedPage::LedPage(PageHost host, Session& session)
    : QObject(&host.widget), host_(std::move(host)), session_(session), preview_(this) {
    preview_.setObjectName(QStringLiteral("lightingPreview"));
    connect(&preview_, &QTimer::timeout, this, [this] {
        ++tick_;
        host_.widget.update();
        preview_.setInterval(PreviewInterval(session_.settings));
    });
}

void LedPage::enter() {
    if (!preview_.isActive()) {
        tick_ = 0;
        preview_.start(PreviewInterval(session_.settings));
    }
    host_.widget.update();
}

void LedPage::leave() { preview_.stop(); }

void LedPage::Press(int area, int x) {
    if (area == area::led::kModeSelector) {
        host_.popups.openBelow(kLightingModePopup, ToRect(host_.skin.ledAreas[area::led::kModeSelector]));
    } else if (area >= 0 && area < kLedAreaCount) {
        PressLedArea(session_.settings, session_.currentProfile, area,
                     host_.skin.ledAreas[static_cast<std::size_t>(area)], x);
    }
}

ColourChooser& LedPage::colourChooser() {
    if (!chooser_) {
        if (!dialogChooser_) dialogChooser_ = std::make_unique<DialogColourChooser>();
        chooser_ = dialogChooser_.get();
    }
    return *chooser_;
}

void LedPage::Release(int area) {
    using namespace area::led;
    if (area < kSwatchFirst || area > kSwatchLast) return;
    const int k = area - kSwatchFirst;
    MouseSettings& s = session_.settings;
    if (!ShowsUserColour(s, host_.skin, k)) return;
    const bool en = session_.englishInterface;
    // The program's own OK and Cancel: the warning dialog's.
    const std::string& ok = host_.skin.warningLabels[0];
    const std::string& cancel = host_.skin.warningLabels[1];
    ColourPickerTexts texts;
    texts.title = (en ? QStringLiteral("Colour %1") : QStringLiteral("颜色 %1")).arg(k + 1);
    texts.ok = ok.empty() ? (en ? QStringLiteral("OK") : QStringLiteral("确定")) : QString::fromStdString(ok);
    texts.cancel =
        cancel.empty() ? (en ? QStringLiteral("Cancel") : QStringLiteral("取消")) : QString::fromStdString(cancel);
    texts.channels = en ? std::array<QString, 3>{QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B")}
                        : std::array<QString, 3>{QStringLiteral("红"), QStringLiteral("绿"), QStringLiteral("蓝")};
    const QRect swatch = ToRect(host_.skin.ledAreas[static_cast<std::size_t>(area)]);
    const QPoint anchor = host_.widget.mapToGlobal(swatch.bottomLeft() + QPoint(0, 8));
    const auto& current = s.userColour[static_cast<std::size_t>(k)];
    const std::optional<Rgb4> chosen =
        colourChooser().chooseColour(&host_.widget, anchor, current, texts, host_.fonts.label);
    if (!chosen) return;
    // An apply that began while the picker was open (a request from kx700ctl,
    // a wake) writes the record: the choice is refused like any press.
    if (host_.refusedWhileApplying && host_.refusedWhileApplying()) return;
    const Rgb4 levels{std::clamp(chosen->r, 0, 15), std::clamp(chosen->g, 0, 15), std::clamp(chosen->b, 0, 15)};
    s.userColour[static_cast<std::size_t>(k)] = levels;
    s.userColourRef[static_cast<std::size_t>(k)] = UserColourRef(levels);
    host_.repaint(false);
}

}  // namespace kx700::ui
