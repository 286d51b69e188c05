#pragma once

#include <span>

#include "skin/layout.h"
#include "ui/page.h"

namespace kx700::ui {

// The first area, in table order, that holds the point (right and bottom
// edges outside), or NoArea.
int HitTest(std::span<const AreaRect> areas, int px, int py);

// The four hot indices for a pointer position: the main table is tested in
// full only on the Main page, its header entries elsewhere; the other three
// tables always.
void UpdateHotIndices(Interaction& state, const SkinTables& skin, int px, int py);

}  // namespace kx700::ui
