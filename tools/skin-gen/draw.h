#pragma once

// How each style of element looks in its three states. The over and down
// pictures hold every element in that state at once, so copying an element's
// rectangle from them must give exactly its hover or pressed look.

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

namespace skingen {

enum class State { Normal, Over, Down };

namespace palette {
inline const QColor kAccent(1, 255, 246);
inline const QColor kTeal(0, 168, 162);
inline const QColor kControl(2, 18, 14);
inline const QColor kPanel(14, 23, 28);
inline const QColor kPanelBorder(30, 48, 54);
inline const QColor kEdge(42, 71, 77);
inline const QColor kIcon(138, 163, 168);
}  // namespace palette

// One element of `style` in `state`, inside `r`.
void DrawElement(QPainter& p, const QRect& r, const QString& style, State state);

// Decorations: sections, header and footer strips, the mouse drawing.
void DrawDecor(QPainter& p, const QRect& r, const QString& kind);

// The mouse seen from above, with its seven buttons; returns the point of
// button b where its leader line starts.
QPoint MouseButtonAnchor(const QRect& body, int b);

// Where the program lights the preview mouse drawn in `body`: button b's lamp
// (0-6), the light strip for b = -1, the logo for 7, the light on the floor
// below it for 8.
QRect MouseLampRect(const QRect& body, int b);

// The Led page's picture without the controls some modes hide: a panel
// the mode does not use, dimmed.
void DrawInactive(QPainter& p, const QRect& r, qreal radius);

}  // namespace skingen
