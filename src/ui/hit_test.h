#pragma once

#include <span>

#include "skin/layout.h"
#include "ui/areas.h"
#include "ui/page.h"

namespace kx700::ui {

// The first area, in table order, that holds the point (right and bottom
// edges outside), or NoArea.
int HitTest(std::span<const AreaRect> areas, int px, int py);

// The four hot indices for a pointer position: the main table is tested in
// full only on the Main page, its header entries elsewhere; the other three
// tables always.
void UpdateHotIndices(Interaction& state, const SkinTables& skin, int px, int py);

// The web link (0 site, 1 and 2 the social pages) an area of a table opens,
// or -1. `page` names the table (Page::Main: the main table).
constexpr int WebLinkOfArea(Page page, int a) {
    switch (page) {
        case Page::Main:
            return a == area::main::kWebSite       ? 0
                   : a == area::main::kSocialPage1 ? 1
                   : a == area::main::kSocialPage2 ? 2
                                                   : -1;
        case Page::Advanced:
            return a >= area::advanced::kLinkFirst && a <= area::advanced::kLinkLast ? a - area::advanced::kLinkFirst
                                                                                     : -1;
        case Page::Led: return a >= area::led::kLinkFirst && a <= area::led::kLinkLast ? a - area::led::kLinkFirst : -1;
        case Page::Macro: return -1;
    }
    return -1;
}

}  // namespace kx700::ui
