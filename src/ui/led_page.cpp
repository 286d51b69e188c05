#include "ui/led_page.h"

#include <QWidget>
#include <algorithm>

#include "ui/areas.h"
#include "ui/control_style.h"
#include "ui/page_actions.h"
#include "ui/popup_controller.h"

namespace kx700::ui {

namespace {

// The preview's pace: the effect's speed setting, 0 (slow) to 5 (fast).
int PreviewInterval(const MouseSettings& s) { return (6 - std::clamp(int{s.ledCycleTime}, 0, 5)) * 200; }

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

}  // namespace kx700::ui
