// The Macro page's editing: the editor menu, in-place edits of the lists,
// the LED step popups and the name, count and group-name boxes.
#include <QLineEdit>
#include <QListWidget>

#include "macro/groups.h"
#include "ui/control_style.h"
#include "ui/editable_list.h"
#include "ui/macro_page.h"
#include "ui/orv_menu.h"
#include "ui/popup_controller.h"

namespace kx700::ui {

namespace {

constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }

// The line of a list under a screen point, or -1 outside its items.
int LineAt(const QListWidget& list, QPoint globalPos) {
    const QPoint local = list.viewport()->mapFromGlobal(globalPos);
    if (!list.viewport()->rect().contains(local)) return -1;
    const QListWidgetItem* item = list.itemAt(local);
    return item ? list.row(item) : -1;
}

}  // namespace

void MacroPage::MacroRightClick(QPoint globalPos) {
    if (recorder_.recording || !eventList_ || !macroList_) return;
    const bool empty = eventList_->count() == 0;
    const bool overLine = LineAt(*eventList_, globalPos) >= 0;
    int chosen = 0;
    if (overLine ||
        (empty && eventList_->viewport()->rect().contains(eventList_->viewport()->mapFromGlobal(globalPos)))) {
        if (!editorMenu_) {
            editorMenu_ = std::make_unique<COrvMenu>();
            editorMenu_->setFitText(true);
        }
        editorMenu_->setFont(host_.fonts.label);
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
        host_.popups.openLedStep(kLedStepCountPopup, ledSlot_, ledLine_, at);
    } else if (line % 4 == 1) {
        host_.popups.openLedStep(kLedStepModePopup, ledSlot_, ledLine_, at);
    } else if (line % 4 == 2) {
        host_.popups.openLedStep(kLedStepColourPopup, ledSlot_, ledLine_, at);
    }
}

void MacroPage::EditorCommand(int id) {
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

void MacroPage::editEnded(CEditableListBox* list) {
    if (!eventList_ || !macroList_ || !ledStepList_) return;
    editorLines_.selectedLine = eventList_->currentRow();
    editorLines_.menuLine = editorLines_.selectedLine;
    macroListSelection_ = macroList_->currentRow();
    macro::MacroState& m = session_.macros;
    // No selection in the macro list: the macro on show is the one edited.
    const int slot =
        macroListSelection_ >= 0 ? std::min(macroListSelection_, macro::kMaxMacrosPerGroup - 1) : m.table.currentMacro;
    if (m.groups.groupCount <= 0 || slot < 0 || slot >= m.table.macroCount) return;
    macro::MacroRecord& r = m.table.slots[U(slot)];
    if (list == macroList_) {
        QListWidgetItem* item = macroList_->item(slot);
        if (!item) return;
        if (!macro::RenameFromList(r, item->text().toStdString(), messages_)) {
            const QSignalBlocker quiet(macroList_);
            item->setText(QString::fromStdString(macro::MacroName(r)));
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
            macro::EditPause(r, event, text.toStdString(), session_.settings.pollIntervalMs, editorLines_.menuLine,
                             messages_);
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

void MacroPage::macroNameChanged(const QString& text) {
    macro::MacroState& m = session_.macros;
    switch (macro::MacroNameChanged(m, text.toStdString())) {
        case macro::NameBoxOutcome::Ignored:
        case macro::NameBoxOutcome::Taken: return;
        case macro::NameBoxOutcome::RestoreBox: {
            const int c = m.table.currentMacro;
            if (c >= 0 && c < m.table.macroCount)
                SetQuietly(macroNameEdit_, QString::fromStdString(macro::MacroName(m.table.slots[U(c)])));
            repaintPage(false);
            return;
        }
        case macro::NameBoxOutcome::Renamed: {
            const int c = m.table.currentMacro;
            if (macroList_ && macroList_->item(c)) {
                const QSignalBlocker quiet(macroList_);
                macroList_->item(c)->setText(QString::fromStdString(macro::MacroName(m.table.slots[U(c)])));
                macroList_->setCurrentRow(c);
            }
            saveCurrentMacro();
            return;
        }
    }
}

void MacroPage::repeatCountChanged(const QString& text) {
    macro::MacroTable& t = session_.macros.table;
    const macro::RepeatCount count = macro::RepeatCountFromText(text.toStdString());
    if (count.boxText) SetQuietly(repeatCountEdit_, QString::fromStdString(*count.boxText));
    const int c = t.currentMacro;
    if (session_.macros.groups.groupCount <= 0 || c < 0 || c >= t.macroCount) return;
    t.slots[U(c)].repeatCount = count.value;
    saveCurrentMacro();
}

void MacroPage::groupNameChanged(const QString& text) {
    macro::MacroState& m = session_.macros;
    switch (macro::RenameGroup(m, text.toStdString(), messages_)) {
        case macro::RenameResult::RestoreBox:
        case macro::RenameResult::Duplicate:
        case macro::RenameResult::Invalid:
            SetQuietly(groupNameEdit_, QString::fromStdString(m.groups.groupNames[U(m.groups.currentGroup)]));
            break;
        default: break;
    }
    repaintPage(false);
}

}  // namespace kx700::ui
