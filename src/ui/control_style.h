#pragma once

// The look of the child controls on the skinned pages (profile names, the
// macro page's boxes and lists), and a skin rectangle as a widget geometry.

#include <QLineEdit>
#include <QRect>
#include <QString>

#include "skin/layout.h"

namespace kx700::ui {

inline QString ControlStyle() {
    return QStringLiteral(
        "QLineEdit, QListWidget { color: rgb(255,255,255); background: rgb(2,18,14); border: none; "
        "selection-background-color: rgb(0,120,153); }"
        "QLineEdit:disabled { color: rgb(110,140,135); }"
        "QListWidget { outline: 0; }"
        // The same padding in both rules, or the selected line shifts sideways.
        "QListWidget::item { padding: 2px 6px; border: none; }"
        "QListWidget::item:selected { padding: 2px 6px; border: none; background: rgb(0,120,153); color: white; }");
}

inline QRect ToRect(const ControlRect& c) { return QRect(c.left, c.top, c.right - c.left, c.bottom - c.top); }
// Sets a box's text without running its change handler.
inline void SetQuietly(QLineEdit* edit, const QString& text) {
    if (!edit) return;
    const bool blocked = edit->blockSignals(true);
    edit->setText(text);
    edit->blockSignals(blocked);
}

inline QRect ToRect(const AreaRect& a) { return QRect(a.x, a.y, a.width, a.height); }

}  // namespace kx700::ui
