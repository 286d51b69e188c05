#pragma once

#include <QImage>
#include <QPainterPath>
#include <QString>

#include "draw.h"
#include "source.h"

namespace skingen {

// The main window's silhouette: chamfered corners, the long ones diagonal.
QPainterPath WindowShape(const QSize& size);

// Black where the window is, white where it is cut away; no smoothing, so
// every pixel is clearly one or the other even after JPEG compression.
QImage RenderMask(const QSize& size, const QPainterPath& shape);

// A page face ("main", "advanced", "macro", "led") in one state.
QImage RenderPage(const Source& s, const QString& page, State state);

// The Led page with its panels empty.
QImage RenderLedNull(const Source& s);

// A popup face: `rows` bands of `rowHeight`, chevrons on the rows listed.
QImage RenderMenu(const QSize& size, int rowHeight, State state, const QList<int>& chevronRows, bool groups);

QImage RenderWarning(const Source& s, State state);

// The program's icon (window, tray, desktop menus): the header's badge on its
// own, `size` pixels square.
QImage RenderProgramIcon(int size);
QPainterPath WarningShape(const QSize& size);

// Writes every picture and the layout files of both languages below `skins`.
bool WriteSkin(const Source& s, const QString& skins, QString* error);

// Writes the program's icon for desktop menus as an icon theme holds it:
// `folder`/NxN/apps/`name`.png for each size menus ask for.
bool WriteIcons(const QString& folder, const QString& name, QString* error);

// Composes each page's faces with their labels into PNGs, both languages.
bool WritePreview(const Source& s, const QString& skins, const QString& out, QString* error);

}  // namespace skingen
