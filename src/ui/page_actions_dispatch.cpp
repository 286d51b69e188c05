// The press and release dispatch into the page actions, and the popups the
// window opens.

#include "ui/main_window.h"
#include "ui/page_actions.h"
#include "ui/popup_menus.h"
#include "ui/warning_dlg.h"

namespace kx700::ui {

namespace {

// The areas of the Macro page whose operations live with the macro editor.
bool IsMacroEditorButton(int area) { return (area >= 2 && area <= 3) || (area >= 5 && area <= 7) || (area >= 10 && area <= 12); }

}  // namespace

void CORV_ZOvizaDlg::pressPageArea(QPoint p) {
    const Interaction& s = interaction_;
    MouseSettings& settings = session_.settings;
    switch (s.currentPage) {
        case Page::Main:
            if (s.hotMain >= 20 && s.hotMain <= 26) openButtonPopup(s.hotMain);
            break;
        case Page::Advanced:
            if (s.hotAdvanced != NoArea) {
                PressAdvancedArea(settings, s.hotAdvanced, skin_.advancedAreas[static_cast<std::size_t>(s.hotAdvanced)], p.x());
            }
            break;
        case Page::Macro:
            if (s.hotMacro == 1) {
                if (session_.macros.groups.groupCount > 0) openPopup(kMacroGroupPopup, areaRect(Page::Macro, 1));
            } else if (s.hotMacro == 4) {
                openPopup(kMacroMenuPopup, areaRect(Page::Macro, 4));
            } else if (IsMacroEditorButton(s.hotMacro)) {
                PressMacroArea(s.hotMacro);
            }
            break;
        case Page::Led:
            if (s.hotLed == 35) {
                openPopup(kLightingModePopup, areaRect(Page::Led, 35));
            } else if (s.hotLed != NoArea) {
                PressLedArea(settings, session_.currentProfile, s.hotLed, skin_.ledAreas[static_cast<std::size_t>(s.hotLed)], p.x());
            }
            break;
    }
}

void CORV_ZOvizaDlg::releaseAreas(int hotMain) {
    switch (hotMain) {
        case 4: SwitchLanguage(false); break;
        case 5: SwitchLanguage(true); break;
        case 11: SelectProfile(0); break;
        case 12: SelectProfile(1); break;
        case 13: SelectProfile(2); break;
        case 14: ImportSettings(); break;
        case 15: ExportSettings(); break;
        case 16: ResetSettings(); break;
        case 19: OpenWebPage(0); break;
        case 29: OpenWebPage(1); break;
        case 30: OpenWebPage(2); break;
        default: break;
    }
    // The other tables' links are hit-tested on every page.
    const int advanced = interaction_.hotAdvanced, led = interaction_.hotLed;
    if (advanced >= 138 && advanced <= 140) OpenWebPage(advanced - 138);
    if (led >= 78 && led <= 80) OpenWebPage(led - 78);
}

void CORV_ZOvizaDlg::ClosePopup() {
    if (!activePopup_) return;
    buttonMenuOpen_ = false;
    activePopup_->closeAll();
    activePopup_.clear();
}

CMenuDlg* CORV_ZOvizaDlg::createPopup(int kind, QPoint anchor, int button) {
    ClosePopup();
    PopupContext context;
    context.session = &session_;
    context.functionNames = &skin_.functionNames;
    context.font = fonts_.label;
    context.button = button;
    auto* popup = new CMenuDlg(this, kind, context);
    connect(popup, &CMenuDlg::settingsChanged, this, [this] {
        PublishHostView(session_);
        repaintPage(false);
    });
    connect(popup, &CMenuDlg::macroGroupChanged, this, &CORV_ZOvizaDlg::macroGroupChosen);
    connect(popup, &CMenuDlg::macroMenuChosen, this, &CORV_ZOvizaDlg::macroMenuChosen);
    connect(popup, &CMenuDlg::ledStepChanged, this, &CORV_ZOvizaDlg::ledStepChanged);
    // The popup closes before the row's work runs (a file dialog may follow).
    connect(popup, &CMenuDlg::macroMenuChosen, this, &CORV_ZOvizaDlg::MacroMenuRow, Qt::QueuedConnection);
    connect(popup, &CMenuDlg::ledStepChanged, this, &CORV_ZOvizaDlg::ledPopupChanged);
    connect(popup, &CMenuDlg::closed, this, [this, popup] {
        if (activePopup_ != popup) return;
        activePopup_.clear();
        buttonMenuOpen_ = false;
        repaintPage(false);
    });
    popupKind_ = kind;
    popupOpen_ = true;
    popupAnchor_ = anchor;
    activePopup_ = popup;
    popup->move(anchor);
    if (popup->rowCount() > 0) popup->show();
    return popup;
}

void CORV_ZOvizaDlg::openPopup(int kind, const QRect& area) {
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    QPoint anchor = origin + QPoint(area.x(), area.y() + area.height());
    if (kind == kMacroGroupPopup) {
        anchor = origin + QPoint(skin_.groupNameEdit.left - 1, skin_.groupNameEdit.bottom + 2);
    }
    createPopup(kind, anchor, 0);
}

void CORV_ZOvizaDlg::openButtonPopup(int area) {
    const int button = area - 20;
    const QRect r = areaRect(Page::Main, area);
    popupAnchor_ = mapToGlobal(QPoint(r.x() + 1, r.y() + r.height()));
    const auto& assign = session_.settings.buttonAssign[static_cast<std::size_t>(session_.currentProfile)];
    bool otherLeft = false;
    for (int b = 0; b < kButtons; ++b) otherLeft = otherLeft || (b != button && assign[static_cast<std::size_t>(b)] == 1);
    if (session_.currentProfile == 0 && !otherLeft) {
        WarningDlg warning(this, session_.folders.skinsFolder(), skin_, fonts_.label, popupAnchor_);
        if (warning.exec() == WarningDlg::kCancel) return;
    }
    popupArea_ = area;
    buttonMenuOpen_ = true;
    createPopup(kButtonFunctionPopup, popupAnchor_, button);
}

CMenuDlg* CORV_ZOvizaDlg::OpenLedStepPopup(int kind, int ledSlot, int ledLine, QPoint screenPoint) {
    CMenuDlg* popup = createPopup(kind, screenPoint, 0);
    // The step the popup edits is fixed when it opens.
    popup->setLedStep(ledSlot, ledLine);
    return popup;
}

}  // namespace kx700::ui
