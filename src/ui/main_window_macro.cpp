// The Macro page's controls and the macro editor: the three lists, the name,
// repeat-count and group-name boxes, the editor menu, in-place edits and the
// LED step popups.
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "macro/files.h"
#include "macro/groups.h"
#include "ui/editable_list.h"
#include "ui/control_style.h"
#include "ui/main_window.h"
#include "ui/orv_menu.h"

namespace kx700::ui {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Sets a box's text without running its change handler.
void SetQuietly(QLineEdit* edit, const QString& text) {
    if (!edit) return;
    const bool blocked = edit->blockSignals(true);
    edit->setText(text);
    edit->blockSignals(blocked);
}

}  // namespace

void CORV_ZOvizaDlg::createMacroControls() {
    auto edit = [&](const ControlRect& r, const char* name, int limit) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(ToRect(r));
        e->setAlignment(Qt::AlignCenter);
        e->setFont(fonts_.label);
        e->setStyleSheet(ControlStyle());
        if (limit > 0) e->setMaxLength(limit);
        e->show();
        return e;
    };
    auto list = [&](const ControlRect& r, const char* name) {
        auto* l = new CEditableListBox(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(ToRect(r));
        l->setFont(fonts_.label);
        l->setStyleSheet(ControlStyle());
        l->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setContextMenuPolicy(Qt::PreventContextMenu);
        l->viewport()->installEventFilter(this);
        connect(l, &CEditableListBox::editEnded, this, &CORV_ZOvizaDlg::editEnded);
        l->show();
        return l;
    };
    repeatCountEdit_ = edit(skin_.repeatCountEdit, "repeatCount", 5);
    macroNameEdit_ = edit(skin_.macroNameEdit, "macroName", macro::kNameBytes / 2 - 1);
    groupNameEdit_ = edit(skin_.groupNameEdit, "groupName", macro::kMaxGroupNameLength);
    macroList_ = list(skin_.macroList, "macroList");
    eventList_ = list(skin_.eventList, "eventList");
    ledStepList_ = list(skin_.ledStepList, "ledStepList");
    macroList_->setEditOnDoubleClick(true);
    connect(macroList_, &QListWidget::currentRowChanged, this, &CORV_ZOvizaDlg::macroListSelectionChanged);
    connect(eventList_, &QListWidget::currentRowChanged, this, &CORV_ZOvizaDlg::eventListSelectionChanged);
    connect(ledStepList_, &QListWidget::currentRowChanged, this, &CORV_ZOvizaDlg::ledStepSelectionChanged);
    connect(ledStepList_, &CEditableListBox::rowDoubleClicked, this, [this] { ledStepDoubleClicked(); });
    // Only the user's edits rename or recount a macro: filling the boxes to
    // show a macro must not change it (a ten-unit name would be cut to the
    // box's nine, a count of 0 become 1) nor write its file.
    connect(macroNameEdit_, &QLineEdit::textEdited, this, &CORV_ZOvizaDlg::macroNameChanged);
    connect(repeatCountEdit_, &QLineEdit::textEdited, this, &CORV_ZOvizaDlg::repeatCountChanged);
    connect(groupNameEdit_, &QLineEdit::textChanged, this, &CORV_ZOvizaDlg::groupNameChanged);
    // The page opens on its macro list, not in the first edit box.
    macroList_->setFocus(Qt::OtherFocusReason);
}

void CORV_ZOvizaDlg::destroyMacroControls() {
    for (QPointer<QLineEdit>* e : {&repeatCountEdit_, &macroNameEdit_, &groupNameEdit_}) {
        delete e->data();
        e->clear();
    }
    for (QPointer<CEditableListBox>* l : {&macroList_, &eventList_, &ledStepList_}) {
        delete l->data();
        l->clear();
    }
}

void CORV_ZOvizaDlg::closeListEditors() {
    for (const QPointer<CEditableListBox>& l : {macroList_, eventList_, ledStepList_}) {
        if (l && l->isEditing()) l->closeEditor(true);
    }
}

fs::path CORV_ZOvizaDlg::currentGroupFile() const {
    const macro::MacroState& m = session_.macros;
    return macro::GroupFile(m, m.groups.currentGroup);
}

void CORV_ZOvizaDlg::saveCurrentMacro() { saveMacro(session_.macros.table.currentMacro); }

void CORV_ZOvizaDlg::saveMacro(int slot) {
    if (const Status st = macro::SaveToCurrentGroup(session_.macros, slot); !st.ok()) messages_.show(st.message());
}

void CORV_ZOvizaDlg::ShowMacro(int slot) {
    if (!eventList_) return;
    shownLines_ = macro::EventLines{};
    {
        const QSignalBlocker quiet(eventList_);
        eventList_->clear();
    }
    const macro::MacroTable& t = session_.macros.table;
    if (slot >= 0 && slot < macro::kTableSlots && macro::EventsInUse(t.slots[U(slot)]) > 0) {
        const macro::MacroRecord& r = t.slots[U(slot)];
        shownLines_ = macro::MacroLines(r);
        eventList_->setUpdatesEnabled(false);
        {
            const QSignalBlocker quiet(eventList_);
            for (const std::string& line : shownLines_.lines) eventList_->addItem(Q(line));
        }
        const int lines = eventList_->count();
        const int select = recorder_.recording ? lines - 1 : editorLines_.selectedLine;
        if (select >= 0 && select < lines) {
            // Selecting again is no new choice: the LED step list keeps its line.
            const QSignalBlocker quiet(eventList_);
            eventList_->setCurrentRow(select);
        }
        eventList_->setUpdatesEnabled(true);
        syncLedSteps(eventList_->currentRow(), ledLine_);
        if (macro::RepeatCountApplies(r)) {
            setRepeatCountBox(true, QString::number(r.repeatCount));
        } else {
            setRepeatCountBox(false, QStringLiteral("1"));
        }
    }
    repaintPage(true);
}

void CORV_ZOvizaDlg::setRepeatCountBox(bool enabled, const QString& text) {
    if (!repeatCountEdit_) return;
    repeatCountEdit_->setEnabled(enabled);
    SetQuietly(repeatCountEdit_, text);
}

void CORV_ZOvizaDlg::FillMacroList() {
    if (!macroList_ || !eventList_ || !ledStepList_) return;
    macro::MacroState& m = session_.macros;
    for (CEditableListBox* l : {ledStepList_.data(), eventList_.data(), macroList_.data()}) {
        const QSignalBlocker quiet(l);
        l->clear();
    }
    shownLines_ = macro::EventLines{};
    if (m.groups.groupCount <= 0) {
        m.table.macroCount = 0;
        SetQuietly(groupNameEdit_, QString());
        SetQuietly(macroNameEdit_, QString());
        repaintPage(false);
        return;
    }
    {
        const QSignalBlocker quiet(macroList_);
        for (int i = 0; i < m.table.macroCount && i < macro::kMaxMacrosPerGroup; ++i) {
            macroList_->addItem(Q(macro::MacroName(m.table.slots[U(i)])));
        }
        if (m.table.macroCount > 0) {
            m.table.currentMacro = std::clamp(m.table.currentMacro, 0, std::min<int>(m.table.macroCount, macro::kMaxMacrosPerGroup) - 1);
            macroList_->setCurrentRow(m.table.currentMacro);
        }
    }
    if (m.table.macroCount > 0) ShowSelectedMacro();
    ShowNames();
}

void CORV_ZOvizaDlg::ShowSelectedMacro() {
    if (!macroList_) return;
    macro::MacroTable& t = session_.macros.table;
    {
        const QSignalBlocker quiet(ledStepList_);
        if (ledStepList_) ledStepList_->clear();
    }
    const int row = macroList_->currentRow();
    t.currentMacro = row < 0 ? 0 : row;
    if (macroNameEdit_ && row >= 0) macroNameEdit_->setText(macroList_->item(row)->text());
    ShowMacro(t.currentMacro);
}

void CORV_ZOvizaDlg::ShowNames() {
    const macro::MacroState& m = session_.macros;
    if (m.groups.groupCount <= 0) {
        SetQuietly(groupNameEdit_, QString());
        SetQuietly(macroNameEdit_, QString());
    } else {
        if (groupNameEdit_) groupNameEdit_->setText(Q(m.groups.groupNames[U(m.groups.currentGroup)]));
        const int c = m.table.currentMacro;
        if (m.table.macroCount > 0 && c >= 0 && c < m.table.macroCount) {
            if (macroNameEdit_) macroNameEdit_->setText(Q(macro::MacroName(m.table.slots[U(c)])));
        } else {
            SetQuietly(macroNameEdit_, QString());
        }
    }
    repaintPage(false);
}

void CORV_ZOvizaDlg::macroListSelectionChanged(int row) {
    macro::MacroTable& t = session_.macros.table;
    if (recorder_.recording) {
        {
            const QSignalBlocker quiet(macroList_);
            macroList_->setCurrentRow(t.currentMacro);
        }
        showRecordingNotice();
        return;
    }
    if (popupOpen_ && activePopup_) ClosePopup();
    if (row < 0) return;
    saveCurrentMacro();
    ShowSelectedMacro();
}

void CORV_ZOvizaDlg::eventListSelectionChanged(int row) {
    if (activePopup_ && popupKind_ >= kLedStepModePopup && popupKind_ <= kLedStepCountPopup) ClosePopup();
    syncLedSteps(row, -1);
}

void CORV_ZOvizaDlg::syncLedSteps(int row, int selectLine) {
    const macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    const int event = row / 2;
    if (row >= 0 && c >= 0 && c < macro::kTableSlots && event < macro::EventsInUse(t.slots[U(c)]) &&
        t.slots[U(c)].eventCode[U(event)] == macro::EV_LED) {
        const macro::MacroRecord& r = t.slots[U(c)];
        ledKind_ = r.eventType[U(event)];
        ledSlot_ = r.eventParam[U(event)].x;
        showLedSequence(ledSlot_, selectLine);
    } else if (ledStepList_) {
        const QSignalBlocker quiet(ledStepList_);
        ledStepList_->clear();
    }
}

void CORV_ZOvizaDlg::showLedSequence(int slot, int selectLine) {
    if (!ledStepList_) return;
    const QSignalBlocker quiet(ledStepList_);
    ledStepList_->clear();
    const macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    if (slot < 0 || slot >= macro::kLedSlots || c < 0 || c >= macro::kTableSlots) return;
    std::vector<std::string> modes;
    for (std::string_view name : LightingModeNames(session_.englishInterface)) modes.emplace_back(name);
    for (const std::string& line : macro::LedStepLines(t.slots[U(c)].ledTable[U(slot)], session_.englishInterface, modes)) {
        ledStepList_->addItem(Q(line));
    }
    if (selectLine >= 0 && selectLine < ledStepList_->count()) ledStepList_->setCurrentRow(selectLine);
}

void CORV_ZOvizaDlg::ledStepSelectionChanged(int row) {
    ledLine_ = row;
    if (activePopup_ && popupKind_ >= kLedStepModePopup && popupKind_ <= kLedStepCountPopup) ClosePopup();
}

void CORV_ZOvizaDlg::ledStepDoubleClicked() {
    const int line = ledStepList_ ? ledStepList_->currentRow() : -1;
    // Durations and intervals are typed; modes, colours and the count have
    // their popups.
    if (line > 0 && (line % 4 == 3 || line % 4 == 0)) ledStepList_->sendCharCode1();
}

void CORV_ZOvizaDlg::ledPopupChanged(int kind, int /*value*/) {
    (void)kind;
    showLedSequence(ledSlot_, ledLine_);
    saveCurrentMacro();  // a step chosen in a popup is an edit of the macro
}

namespace {

// The line of a list under a screen point, or -1 outside its items.
int LineAt(const QListWidget& list, QPoint globalPos) {
    const QPoint local = list.viewport()->mapFromGlobal(globalPos);
    if (!list.viewport()->rect().contains(local)) return -1;
    const QListWidgetItem* item = list.itemAt(local);
    return item ? list.row(item) : -1;
}

}  // namespace

void CORV_ZOvizaDlg::MacroRightClick(QPoint globalPos) {
    if (interaction_.currentPage != Page::Macro || recorder_.recording || !eventList_ || !macroList_) return;
    const bool empty = eventList_->count() == 0;
    const bool overLine = LineAt(*eventList_, globalPos) >= 0;
    int chosen = 0;
    if (overLine || (empty && eventList_->viewport()->rect().contains(eventList_->viewport()->mapFromGlobal(globalPos)))) {
        if (!editorMenu_) {
            editorMenu_ = std::make_unique<COrvMenu>();
            editorMenu_->setFitText(true);
        }
        editorMenu_->setFont(fonts_.label);
        editorMenu_->load(EditorMenuItems(session_.englishInterface));
        if (!menuRunner_) {
            menuRunner_ = [](COrvMenu& menu, QPoint at) {
                const QAction* a = menu.exec(at);
                return a ? a->data().toInt() : 0;
            };
        }
        chosen = menuRunner_(*editorMenu_, globalPos);
    }
    // The command acts on the selection as it is when the menu has closed.
    macroListSelection_ = std::min(std::max(macroList_->currentRow(), 0), 19);
    editorLines_.selectedLine = eventList_->currentRow();
    editorLines_.menuLine = editorLines_.selectedLine;
    editorLines_.menuLineCount = eventList_->count();
    if (chosen != 0) EditorCommand(chosen);

    // The LED step list of a selected LED event: its popups.
    if (!ledStepList_ || ledStepList_->count() == 0) return;
    const macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    const int event = editorLines_.selectedEvent();
    if (c < 0 || c >= macro::kTableSlots || event >= macro::EventsInUse(t.slots[U(c)]) ||
        t.slots[U(c)].eventCode[U(event)] != macro::EV_LED) {
        return;
    }
    const int line = LineAt(*ledStepList_, globalPos);
    if (line < 0) return;
    {
        const QSignalBlocker quiet(ledStepList_);
        ledStepList_->setCurrentRow(line);
    }
    ledLine_ = line;
    const QPoint at(ledStepList_->mapToGlobal(QPoint(0, 0)).x(), globalPos.y());
    if (line == 0) {
        OpenLedStepPopup(kLedStepCountPopup, ledSlot_, ledLine_, at);
    } else if (line % 4 == 1) {
        OpenLedStepPopup(kLedStepModePopup, ledSlot_, ledLine_, at);
    } else if (line % 4 == 2) {
        OpenLedStepPopup(kLedStepColourPopup, ledSlot_, ledLine_, at);
    }
}

void CORV_ZOvizaDlg::EditorCommand(int id) {
    if (recorder_.recording || !eventList_) return;
    macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    if (session_.macros.groups.groupCount <= 0 || t.macroCount <= 0 || c < 0 || c >= t.macroCount) return;
    switch (macro::RunEditorCommand(t.slots[U(c)], id, editorLines_, messages_)) {
        case macro::CommandOutcome::Nothing: return;
        case macro::CommandOutcome::OpenEventEditor:
        case macro::CommandOutcome::OpenPauseEditor: eventList_->sendCharCode1(); return;
        case macro::CommandOutcome::ShowMacro:
            ShowMacro(c);
            saveCurrentMacro();  // a file that already holds the macro is left alone
            return;
    }
}

void CORV_ZOvizaDlg::editEnded(CEditableListBox* list) {
    if (!eventList_ || !macroList_ || !ledStepList_) return;
    editorLines_.selectedLine = eventList_->currentRow();
    editorLines_.menuLine = editorLines_.selectedLine;
    macroListSelection_ = macroList_->currentRow();
    macro::MacroState& m = session_.macros;
    // No selection in the macro list: the macro on show is the one edited.
    const int slot = macroListSelection_ >= 0 ? std::min(macroListSelection_, macro::kMaxMacrosPerGroup - 1) : m.table.currentMacro;
    if (m.groups.groupCount <= 0 || slot < 0 || slot >= m.table.macroCount) return;
    macro::MacroRecord& r = m.table.slots[U(slot)];
    if (list == macroList_) {
        QListWidgetItem* item = macroList_->item(slot);
        if (!item) return;
        if (!macro::RenameFromList(r, item->text().toStdString(), messages_)) {
            const QSignalBlocker quiet(macroList_);
            item->setText(Q(macro::MacroName(r)));
            macroList_->setCurrentRow(slot);
        } else if (slot == m.table.currentMacro) {
            SetQuietly(macroNameEdit_, item->text());
            saveCurrentMacro();  // a typed name is kept at once, events or not
        }
    } else {
        const int line = editorLines_.selectedLine;
        const int event = editorLines_.selectedEvent();
        if (line >= 0 && line % 2 == 1) {
            const QString text = eventList_->item(line) ? eventList_->item(line)->text() : QString();
            macro::EditPause(r, event, text.toStdString(), session_.settings.pollIntervalMs, editorLines_.menuLine, messages_);
        } else if (line >= 0 && event < macro::EventsInUse(r)) {
            if (r.eventCode[U(event)] == macro::EV_LED) {
                const int h = ledStepList_->currentRow();
                if (h >= 0 && list == ledStepList_) {
                    macro::EditLedStep(r, event, h, ledStepList_->item(h)->text().toStdString(), messages_);
                    showLedSequence(r.eventParam[U(event)].x, h);
                }
            } else if (list == eventList_ && eventList_->item(line)) {
                macro::EditEventLine(r, event, eventList_->item(line)->text().toStdString(), messages_);
            }
        }
    }
    ShowMacro(slot);
    saveMacro(slot);  // an editor closed without a change leaves the file alone
}

void CORV_ZOvizaDlg::macroNameChanged(const QString& text) {
    macro::MacroState& m = session_.macros;
    switch (macro::MacroNameChanged(m, text.toStdString())) {
        case macro::NameBoxOutcome::Ignored:
        case macro::NameBoxOutcome::Taken: return;
        case macro::NameBoxOutcome::RestoreBox: {
            const int c = m.table.currentMacro;
            if (c >= 0 && c < m.table.macroCount) SetQuietly(macroNameEdit_, Q(macro::MacroName(m.table.slots[U(c)])));
            repaintPage(false);
            return;
        }
        case macro::NameBoxOutcome::Renamed: {
            const int c = m.table.currentMacro;
            if (macroList_ && macroList_->item(c)) {
                const QSignalBlocker quiet(macroList_);
                macroList_->item(c)->setText(Q(macro::MacroName(m.table.slots[U(c)])));
                macroList_->setCurrentRow(c);
            }
            saveCurrentMacro();
            return;
        }
    }
}

void CORV_ZOvizaDlg::repeatCountChanged(const QString& text) {
    macro::MacroTable& t = session_.macros.table;
    const macro::RepeatCount count = macro::RepeatCountFromText(text.toStdString());
    if (count.boxText) SetQuietly(repeatCountEdit_, Q(*count.boxText));
    const int c = t.currentMacro;
    if (session_.macros.groups.groupCount <= 0 || c < 0 || c >= t.macroCount) return;
    t.slots[U(c)].repeatCount = count.value;
    saveCurrentMacro();
}

void CORV_ZOvizaDlg::groupNameChanged(const QString& text) {
    macro::MacroState& m = session_.macros;
    switch (macro::RenameGroup(m, text.toStdString(), messages_)) {
        case macro::RenameResult::RestoreBox:
        case macro::RenameResult::Duplicate:
        case macro::RenameResult::Invalid:
            SetQuietly(groupNameEdit_, Q(m.groups.groupNames[U(m.groups.currentGroup)]));
            break;
        default: break;
    }
    repaintPage(false);
}

}  // namespace kx700::ui
