#include "ui/popup_menus.h"

#include <QMouseEvent>

#include "macro/files.h"
#include "programming/functions.h"

namespace kx700::ui {

namespace {

int RowsOfKind(int kind, const Session& s) {
    switch (kind) {
        case kButtonFunctionPopup: return 11;
        case kMacroGroupPopup: return std::clamp(s.macros.groups.groupCount, 0, 12);
        case kMacroMenuPopup: return 3;
        case kLedStepModePopup: return 3;
        default: return 5;
    }
}

// The colour codes of the LED step colour rows.
constexpr std::array<int, 5> kStepColours = {0, 1, 3, 5, 7};

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CMenuDlg::CMenuDlg(QWidget* parent, int kind, PopupContext context)
    : PopupWindow(parent, std::move(context)), kind_(kind) {
    setWindowTitle(QStringLiteral("MainMenuDlg"));
    // The macro lists of the button popup must show what the files hold now.
    macro::MacroState& m = context_.session->macros;
    macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    const char* mask = kind == kButtonFunctionPopup ? "menu1_mask.jpg"
                       : kind == kMacroMenuPopup    ? "more_mask.jpg"
                                                    : "menu_mask.jpg";
    setUp(mask, kind == kMacroMenuPopup ? 3 : 15, RowsOfKind(kind, *context_.session), 0);
}

PopupWindow::Faces CMenuDlg::faces() const {
    if (kind_ == kButtonFunctionPopup) return {"menu1_normal.jpg", "menu1_over.jpg", "menu1_down.jpg"};
    if (kind_ == kMacroMenuPopup) return {"more_normal.jpg", "more_over.jpg", "more_down.jpg"};
    return {"menu_normal.jpg", "menu_over.jpg", "menu_down.jpg"};
}

QString CMenuDlg::rowText(int r) const {
    const Session& s = *context_.session;
    const bool en = s.englishInterface;
    switch (kind_) {
        case kButtonFunctionPopup: return Utf8((*context_.functionNames)[static_cast<std::size_t>(r)]);
        case kMacroGroupPopup: return Utf8(s.macros.groups.groupNames[static_cast<std::size_t>(r - 1)]);
        case kMacroMenuPopup: {
            static const std::array<const char*, 3> english = {"Import", "Export", "Reset"};
            static const std::array<const char*, 3> chinese = {"导入", "导出", "复位"};
            return QString::fromUtf8((en ? english : chinese)[static_cast<std::size_t>(r - 1)]);
        }
        case kLightingModePopup:
        case kLedStepModePopup: return Utf8(std::string(LightingModeNames(en)[static_cast<std::size_t>(r - 1)]));
        case kLedStepColourPopup: {
            static const std::array<const char*, 5> english = {"cycle", "colour1", "colour2", "colour3", "colour4"};
            static const std::array<const char*, 5> chinese = {"循环颜色", "蓝色", "粉色", "红色", "紫色"};
            return QString::fromUtf8((en ? english : chinese)[static_cast<std::size_t>(r - 1)]);
        }
        case kLedStepCountPopup: return en ? QStringLiteral("Num_%1").arg(r) : QString::fromUtf8("插入%1个灯光").arg(r);
        default: return QString();
    }
}

void CMenuDlg::hotRowChanged() {
    if (subMenu_) {
        subMenu_->hideCascade();
        subMenu_->deleteLater();
        subMenu_.clear();
    }
    const int r = hotRow();
    if (kind_ != kButtonFunctionPopup || r < 7 || r > 11) return;
    auto* sub = new CSubMenuDlg(this, r, context_);
    connect(sub, &CSubMenuDlg::chosen, this, [this] {
        Q_EMIT settingsChanged();
        closeAll();
    });
    const int h = rowHeight();
    const int groups = context_.session->macros.groups.groupCount;
    const int down = r == 7 ? 4 : r == 8 ? 1 : r == 9 ? 9 - groups : r == 10 ? 3 : 8;
    sub->move(geometry().left() + rowWidth(), geometry().top() + down * h);
    if (sub->rowCount() > 0) sub->show();
    subMenu_ = sub;
}

void CMenuDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    track(event->position().toPoint());
    pressed_ = true;
    update();
}

void CMenuDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = false;
    update();
    choose(rowAt(event->position().toPoint()));
}

void CMenuDlg::choose(int r) {
    Session& s = *context_.session;
    if (r == NoRow || r > rowCount()) return;  // over no row: the popup stays
    switch (kind_) {
        case kButtonFunctionPopup: {
            if (r > 6) return;  // rows 7-11 open their sub-menus
            s.settings
                .buttonAssign[static_cast<std::size_t>(s.currentProfile)][static_cast<std::size_t>(context_.button)] =
                r;
            programming::KeepLeftButton(s.settings, s.currentProfile, context_.button);
            Q_EMIT settingsChanged();
            break;
        }
        case kMacroGroupPopup: {
            const int previous = s.macros.groups.currentGroup;
            s.macros.groups.currentGroup = r - 1;
            Q_EMIT macroGroupChanged(previous, s.macros.table.currentMacro);
            break;
        }
        case kMacroMenuPopup: Q_EMIT macroMenuChosen(r); break;
        case kLightingModePopup: {
            static constexpr std::array<std::uint8_t, 5> modes = {0, 1, 2, 8, 9};
            s.settings.ledMode = modes[static_cast<std::size_t>(r - 1)];
            Q_EMIT settingsChanged();
            break;
        }
        case kLedStepModePopup:
        case kLedStepColourPopup:
        case kLedStepCountPopup: {
            macro::MacroTable& t = s.macros.table;
            const int value = kind_ == kLedStepModePopup     ? r - 1
                              : kind_ == kLedStepColourPopup ? kStepColours[static_cast<std::size_t>(r - 1)]
                                                             : r;
            const int byte = kind_ == kLedStepCountPopup ? 0 : context_.ledLine + 3;
            if (t.currentMacro >= 0 && t.currentMacro < macro::kTableSlots && context_.ledSlot >= 0 &&
                context_.ledSlot < macro::kLedSlots && byte >= 0 && byte < macro::kLedSequenceBytes) {
                t.slots[static_cast<std::size_t>(t.currentMacro)]
                    .ledTable[static_cast<std::size_t>(context_.ledSlot)]
                    .setByteAt(byte, static_cast<std::uint8_t>(value));
                Q_EMIT ledStepChanged(kind_, value);
            }
            break;
        }
        default: return;
    }
    closeAll();
}

void CMenuDlg::hideCascade() {
    if (subMenu_) subMenu_->hideCascade();
    hide();
}

void CMenuDlg::closeAll() {
    hideCascade();
    Q_EMIT closed();
    deleteLater();
}

// ---------------------------------------------------------------- sub-menu

CSubMenuDlg::CSubMenuDlg(CMenuDlg* parent, int parentRow, PopupContext context)
    : PopupWindow(parent, std::move(context)), parentRow_(parentRow) {
    setWindowTitle(QStringLiteral("SubMenuDlg"));
    const int groups = context_.session->macros.groups.groupCount;
    const int rows = parentRow == 7 ? 7 : parentRow == 8 ? 10 : parentRow == 9 ? groups : parentRow == 10 ? 8 : 3;
    setUp("menu_mask.jpg", 15, rows, 1);
}

void CSubMenuDlg::hideCascade() {
    if (macroList_) macroList_->hide();
    hide();
}

int CSubMenuDlg::valueOfRow(int s) const {
    switch (parentRow_) {
        case 7: return 11 + s;
        case 8: return 21 + s;
        case 10: return 31 + s;
        case 11: return 18 + s;
        default: return 0;
    }
}

PopupWindow::Faces CSubMenuDlg::faces() const {
    if (listsGroups()) return {"Macro_menu_normal.jpg", "Macro_menu_over.jpg", "Macro_menu_down.jpg"};
    return {"menu_normal.jpg", "menu_over.jpg", "menu_down.jpg"};
}

QString CSubMenuDlg::rowText(int r) const {
    if (listsGroups()) return Utf8(context_.session->macros.groups.groupNames[static_cast<std::size_t>(r - 1)]);
    return Utf8((*context_.functionNames)[static_cast<std::size_t>(valueOfRow(r))]);
}

void CSubMenuDlg::hotRowChanged() {
    if (!listsGroups()) return;
    const int s = hotRow();
    if (s == NoRow || s > context_.session->macros.groups.groupCount) return;
    if (macroList_) {
        macroList_->hide();
        macroList_->deleteLater();
    }
    auto* list = new MacSelMenuDlg(this, s, context_);
    connect(list, &MacSelMenuDlg::chosen, this, &CSubMenuDlg::chosen);
    list->move(geometry().left() + rowWidth(), geometry().top() + (s - 1) * rowHeight());
    if (list->rowCount() > 0) list->show();
    macroList_ = list;
}

void CSubMenuDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    track(event->position().toPoint());
    pressed_ = true;
    update();
}

void CSubMenuDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || listsGroups()) return;  // a group is chosen in its macro list
    pressed_ = false;
    const int s = rowAt(event->position().toPoint());
    if (s != NoRow) {
        Session& ss = *context_.session;
        ss.settings
            .buttonAssign[static_cast<std::size_t>(ss.currentProfile)][static_cast<std::size_t>(context_.button)] =
            valueOfRow(s);
        programming::KeepLeftButton(ss.settings, ss.currentProfile, context_.button);
    }
    Q_EMIT chosen();
}

// ---------------------------------------------------------------- macro list

MacSelMenuDlg::MacSelMenuDlg(CSubMenuDlg* parent, int groupRow, PopupContext context)
    : PopupWindow(parent, std::move(context)), groupRow_(groupRow) {
    const macro::GroupDirectory& g = context_.session->macros.groups;
    const int count =
        groupRow >= 1 && groupRow <= g.groupCount ? g.groupMacroCount[static_cast<std::size_t>(groupRow - 1)] : 0;
    setUp("menu_mask.jpg", 15, std::clamp(count, 0, macro::kMaxMacrosPerGroup), 1);
}

QString MacSelMenuDlg::rowText(int r) const {
    return Utf8(context_.session->macros.groups
                    .macroNames[static_cast<std::size_t>(groupRow_ - 1)][static_cast<std::size_t>(r - 1)]);
}

void MacSelMenuDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Session& s = *context_.session;
    const int m = rowAt(event->position().toPoint());
    if (m != NoRow && m <= rowCount()) {
        s.settings.buttonAssign[static_cast<std::size_t>(s.currentProfile)][static_cast<std::size_t>(context_.button)] =
            macro::MacroRef::UserValue(groupRow_ - 1, m - 1);
    }
    programming::KeepLeftButton(s.settings, s.currentProfile, context_.button);
    Q_EMIT chosen();
}

}  // namespace kx700::ui
