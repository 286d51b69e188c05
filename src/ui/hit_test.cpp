#include "ui/hit_test.h"

#include "ui/areas.h"

namespace kx700::ui {

// The last named area of each page lies inside the table the layout files fill.
static_assert(area::header::kCount <= kMainAreaCount && area::main::kSocialPage2 < kMainAreaCount);
static_assert(area::advanced::kLinkLast < kAdvancedAreaCount);
static_assert(area::macro::kListCaptionLast < kMacroAreaCount);
static_assert(area::led::kMode3Text < kLedAreaCount);

int HitTest(std::span<const AreaRect> areas, int px, int py) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].contains(px, py)) return static_cast<int>(i);
    }
    return NoArea;
}

void UpdateHotIndices(Interaction& s, const SkinTables& skin, int px, int py) {
    const std::span<const AreaRect> main(skin.mainAreas);
    s.hotMain = HitTest(s.currentPage == Page::Main ? main : main.first(area::header::kCount), px, py);
    s.hotAdvanced = HitTest(skin.advancedAreas, px, py);
    s.hotMacro = HitTest(skin.macroAreas, px, py);
    s.hotLed = HitTest(skin.ledAreas, px, py);
}

}  // namespace kx700::ui
