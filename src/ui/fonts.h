#pragma once

#include <QFont>

namespace kx700::ui {

// Size of the label font in tenths of a point for a display scale
// (logical pixels per inch / 96): the larger the scale, the smaller the point
// size, so that texts keep their size in pixels. Exact comparisons.
int LabelFontTenths(double scale);

// The label and large fonts of a language at a display scale.
struct Fonts {
    QFont label;
    QFont large;
};
Fonts MakeFonts(bool english, double scale);

}  // namespace kx700::ui
