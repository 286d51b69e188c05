#include "ui/popup_controller.h"

#include <QWidget>

#include "ui/warning_dlg.h"

namespace kx700::ui {

PopupController::PopupController(QWidget& window, Session& session, const SkinTables& skin, const Fonts& fonts)
    : QObject(&window), window_(window), session_(session), skin_(skin), fonts_(fonts) {}

bool PopupController::ledStepOpen() const {
    return active_ && active_->kind() >= kLedStepModePopup && active_->kind() <= kLedStepCountPopup;
}

void PopupController::close() {
    if (!active_) return;
    buttonMenuOpen_ = false;
    active_->closeAll();
    active_.clear();
}

CMenuDlg* PopupController::open(int kind, QPoint anchor, int button) {
    close();
    PopupContext context;
    context.session = &session_;
    context.functionNames = &skin_.functionNames;
    context.font = fonts_.label;
    context.button = button;
    auto* popup = new CMenuDlg(&window_, kind, context);
    connect(popup, &CMenuDlg::settingsChanged, this, &PopupController::settingsChanged);
    connect(popup, &CMenuDlg::macroGroupChanged, this, &PopupController::macroGroupChosen);
    connect(popup, &CMenuDlg::macroMenuChosen, this, &PopupController::macroMenuChosen);
    connect(popup, &CMenuDlg::ledStepChanged, this, &PopupController::ledStepChanged);
    connect(popup, &CMenuDlg::closed, this, [this, popup] {
        if (active_ != popup) return;
        active_.clear();
        buttonMenuOpen_ = false;
        Q_EMIT closed();
    });
    active_ = popup;
    popup->move(anchor);
    if (popup->rowCount() > 0) popup->show();
    return popup;
}

void PopupController::openBelow(int kind, const QRect& area) {
    const QPoint origin = window_.mapToGlobal(QPoint(0, 0));
    QPoint anchor = origin + QPoint(area.x(), area.y() + area.height());
    if (kind == kMacroGroupPopup) {
        // The group list hangs under the group-name box, not under its arrow.
        anchor = origin + QPoint(skin_.groupNameEdit.left - 1, skin_.groupNameEdit.bottom + 2);
    }
    open(kind, anchor, 0);
}

void PopupController::openButtonMenu(int button, const QRect& area) {
    const QPoint anchor = window_.mapToGlobal(QPoint(area.x() + 1, area.y() + area.height()));
    const auto& assign = session_.settings.buttonAssign[static_cast<std::size_t>(session_.currentProfile)];
    bool otherLeft = false;
    for (int b = 0; b < kButtons; ++b)
        otherLeft = otherLeft || (b != button && assign[static_cast<std::size_t>(b)] == 1);
    if (session_.currentProfile == 0 && !otherLeft) {
        WarningDlg warning(&window_, session_.folders.skinsFolder(), skin_, fonts_.label, anchor);
        // Closed without an answer (the desktop dismissed it): nothing opens.
        if (warning.ask() != WarningDlg::kConfirm) return;
    }
    buttonMenuOpen_ = true;
    open(kButtonFunctionPopup, anchor, button);
}

CMenuDlg* PopupController::openLedStep(int kind, int ledSlot, int ledLine, QPoint screenPoint) {
    CMenuDlg* popup = open(kind, screenPoint, 0);
    // The step the popup edits is fixed when it opens.
    popup->setLedStep(ledSlot, ledLine);
    return popup;
}

}  // namespace kx700::ui
