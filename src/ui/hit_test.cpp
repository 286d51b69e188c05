#include "ui/hit_test.h"

namespace kx700::ui {

int HitTest(std::span<const AreaRect> areas, int px, int py) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (areas[i].contains(px, py)) return static_cast<int>(i);
    }
    return NoArea;
}

void UpdateHotIndices(Interaction& s, const SkinTables& skin, int px, int py) {
    const std::span<const AreaRect> main(skin.mainAreas);
    s.hotMain = HitTest(s.currentPage == Page::Main ? main : main.first(11), px, py);
    s.hotAdvanced = HitTest(skin.advancedAreas, px, py);
    s.hotMacro = HitTest(skin.macroAreas, px, py);
    s.hotLed = HitTest(skin.ledAreas, px, py);
}

}  // namespace kx700::ui
