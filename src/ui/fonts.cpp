#include "ui/fonts.h"

namespace kx700::ui {

int LabelFontTenths(double scale) {
    if (scale == 1.0) return 85;
    if (scale == 1.25) return 63;
    if (scale == 1.5) return 53;
    if (scale == 1.75 || scale == 2.0) return 43;
    return 30;
}

Fonts MakeFonts(bool english, double scale) {
    const int tenths = LabelFontTenths(scale);
    QFont label(english ? QStringLiteral("Arial") : QStringLiteral("微软雅黑"));
    label.setPointSizeF(tenths / 10.0);
    QFont large = label;
    large.setPointSizeF((tenths + 10) / 10.0);
    return Fonts{label, large};
}

}  // namespace kx700::ui
