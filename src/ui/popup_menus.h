#pragma once

// The three levels of popup menus: CMenuDlg (a list by kind), CSubMenuDlg
// (the function groups and macro groups of the button popup) and
// MacSelMenuDlg (the macros of one group). Choices change the session's
// records directly and tell the main window through signals.

#include "ui/popup_window.h"

namespace kx700::ui {

class CSubMenuDlg;
class MacSelMenuDlg;

// Kinds of the first level.
enum PopupKind : int {
    kButtonFunctionPopup = 1,
    kMacroGroupPopup = 2,
    kMacroMenuPopup = 3,
    kLightingModePopup = 4,
    kLedStepModePopup = 6,
    kLedStepColourPopup = 7,
    kLedStepCountPopup = 8,
};

class CMenuDlg : public PopupWindow {
    Q_OBJECT
public:
    CMenuDlg(QWidget* parent, int kind, PopupContext context);
    int kind() const { return kind_; }
    CSubMenuDlg* subMenu() const { return subMenu_; }
    // Closes the popup and every sub-menu it opened.
    void closeAll();
    void dismiss() override { closeAll(); }
    void hideCascade() override;
    // Kinds 6-8: the LED sequence and the line of the step list they change.
    void setLedStep(int slot, int line) {
        context_.ledSlot = slot;
        context_.ledLine = line;
    }

Q_SIGNALS:
    // A button function or lighting mode was stored: the page shows it.
    void settingsChanged();
    // The current macro group changed (previous group, current macro).
    void macroGroupChanged(int previousGroup, int currentMacro);
    // A row of the Macro page's menu: 1 import, 2 export, 3 reset.
    void macroMenuChosen(int row);
    // An LED step of the current macro changed (kind 6, 7 or 8, the value).
    void ledStepChanged(int kind, int value);
    // The popup is gone (a choice, or a sub-menu's choice).
    void closed();

protected:
    Faces faces() const override;
    QString rowText(int r) const override;
    bool bandFromNormal() const override { return kind_ >= 6; }
    void hotRowChanged() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void choose(int r);
    int kind_;
    QPointer<CSubMenuDlg> subMenu_;
};

// Rows of a button popup's sub-menu for parent row 7-11 (9: macro groups).
class CSubMenuDlg : public PopupWindow {
    Q_OBJECT
public:
    CSubMenuDlg(CMenuDlg* parent, int parentRow, PopupContext context);
    bool listsGroups() const { return parentRow_ == 9; }
    MacSelMenuDlg* macroList() const { return macroList_; }
    // The value a choice of row s stores (not for the group list).
    int valueOfRow(int s) const;
    void hideCascade() override;

Q_SIGNALS:
    void chosen();

protected:
    Faces faces() const override;
    QString rowText(int r) const override;
    void hotRowChanged() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int parentRow_;
    QPointer<MacSelMenuDlg> macroList_;
};

// The macros of group `groupRow` − 1.
class MacSelMenuDlg : public PopupWindow {
    Q_OBJECT
public:
    MacSelMenuDlg(CSubMenuDlg* parent, int groupRow, PopupContext context);

Q_SIGNALS:
    void chosen();

protected:
    Faces faces() const override { return {"menu_normal.jpg", "menu_over.jpg", "menu_over.jpg"}; }
    QString rowText(int r) const override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int groupRow_;
};

}  // namespace kx700::ui
