#pragma once

// Opens and closes the window's popups (the button, macro-group, macro-menu,
// lighting-mode and LED-step popups) and the warning shown before the button
// popup. At most one first-level popup is open; what a popup chooses reaches
// the pages through the signals.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include "programming/session.h"
#include "skin/layout.h"
#include "ui/fonts.h"
#include "ui/popup_menus.h"

class QWidget;

namespace kx700::ui {

class PopupController : public QObject {
    Q_OBJECT
public:
    // `window` is the popups' parent; the skin and fonts are the window's and
    // are read at every opening, so a language switch reaches the next popup.
    PopupController(QWidget& window, Session& session, const SkinTables& skin, const Fonts& fonts);

    CMenuDlg* active() const { return active_; }
    bool buttonMenuOpen() const { return buttonMenuOpen_; }
    // Whether the open popup edits a step of the LED step list.
    bool ledStepOpen() const;

    // A popup of `kind` under `area` (window coordinates).
    void openBelow(int kind, const QRect& area);
    // The button popup of button `button` under `area`. In profile 1, when no
    // other button keeps the left-button function, the warning asks first and
    // a cancel opens nothing.
    void openButtonMenu(int button, const QRect& area);
    // An LED step popup (kinds 6-8) at a screen point, for the step it edits.
    CMenuDlg* openLedStep(int kind, int ledSlot, int ledLine, QPoint screenPoint);
    // Closes the open popup and its sub-menus.
    void close();

Q_SIGNALS:
    // A button function or lighting mode was stored.
    void settingsChanged();
    // The current macro group changed (previous group, current macro).
    void macroGroupChosen(int previousGroup, int currentMacro);
    // A row of the Macro page's menu (1 import, 2 export, 3 reset).
    void macroMenuChosen(int row);
    // An LED step of the current macro changed (kind 6, 7 or 8, the value).
    void ledStepChanged(int kind, int value);
    // The open popup went away by a choice.
    void closed();

private:
    CMenuDlg* open(int kind, QPoint anchor, int button);

    QWidget& window_;
    Session& session_;
    const SkinTables& skin_;
    const Fonts& fonts_;
    QPointer<CMenuDlg> active_;
    bool buttonMenuOpen_ = false;
};

}  // namespace kx700::ui
