// The colours the skin's pictures are drawn in (tools/skin-gen), for what the
// program paints over them.
#pragma once

#include <QColor>

namespace kx700::ui::palette {

inline const QColor kAccent(1, 255, 246);  // hot labels, frames, the chosen choice
inline const QColor kText(255, 255, 255);  // ordinary labels

}  // namespace kx700::ui::palette
