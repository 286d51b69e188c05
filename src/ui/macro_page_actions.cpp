// The Macro page's buttons and its menu popup: groups, macros, recording and
// run modes.
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QWindow>

#include "macro/files.h"
#include "macro/groups.h"
#include "ui/apply_indicators.h"
#include "ui/areas.h"
#include "ui/control_style.h"
#include "ui/editable_list.h"
#include "ui/file_chooser.h"
#include "ui/keyboard_capture.h"
#include "ui/macro_page.h"
#include "ui/popup_controller.h"
#include "ui/wayland.h"

namespace kx700::ui {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }

// Passes every message and question on, and counts them.
struct CountingSink final : MessageSink {
    explicit CountingSink(MessageSink& forward) : to(forward) {}
    void show(std::string_view text) override {
        ++shown;
        to.show(text);
    }
    bool confirm(std::string_view question, std::string_view yes, std::string_view no) override {
        ++shown;
        return to.confirm(question, yes, no);
    }
    MessageSink& to;
    int shown = 0;
};
}  // namespace

QRect MacroPage::At(int area) const {
    return area >= 0 && area < kMacroAreaCount ? ToRect(host_.skin.macroAreas[U(area)]) : QRect();
}

void MacroPage::Press(int area) {
    if (area == area::macro::kGroupSelector) {
        if (session_.macros.groups.groupCount > 0) host_.popups.openBelow(kMacroGroupPopup, At(area));
    } else if (area == area::macro::kMenu) {
        host_.popups.openBelow(kMacroMenuPopup, At(area));
    } else {
        PressMacroArea(area);
    }
}

void MacroPage::PressMacroArea(int area) {
    using namespace area::macro;
    switch (area) {
        case kNewGroup: newGroup(); break;
        case kDeleteGroup: deleteGroup(); break;
        case kRecord: toggleRecording(); break;
        case kNewMacro: newMacro(); break;
        case kDeleteMacro: deleteMacro(); break;
        case kRunUntilPressed:
        case kRunWhileHeld:
        case kRunCounted: runModeChoice(area); break;
        default: break;
    }
}

void MacroPage::newGroup() {
    macro::MacroState& m = session_.macros;
    if (!macro::NewGroup(m, messages_)) return;
    for (CEditableListBox* l : {ledStepList_.data(), eventList_.data(), macroList_.data()}) {
        if (!l) continue;
        const QSignalBlocker quiet(l);
        l->clear();
    }
    shownLines_ = macro::EventLines{};
    ShowNames();
}

void MacroPage::deleteGroup() {
    macro::MacroState& m = session_.macros;
    if (m.groups.groupCount <= 0 || m.groups.currentGroup < 0 || m.groups.currentGroup >= m.groups.groupCount) {
        m.table.currentMacro = 0;
        return;
    }
    // The group's file goes with it and there is no way back: ask first, and
    // an answer of no leaves everything as it was.
    const std::string& name = m.groups.groupNames[U(m.groups.currentGroup)];
    const bool english = session_.englishInterface;
    const std::string question =
        english ? "Delete the macro group \"" + name + "\" and its file?" : "删除宏组“" + name + "”及其文件吗？";
    if (!messages_.confirm(question, english ? "Yes" : "是", english ? "No" : "否")) return;
    if (!macro::DeleteGroup(m, messages_)) return;
    FillMacroList();
    ShowNames();
}

void MacroPage::newMacro() {
    macro::MacroState& m = session_.macros;
    const int index = macro::NewMacro(m, messages_);
    if (index < 0 || !macroList_) return;
    {
        const QSignalBlocker quiet(eventList_);
        eventList_->clear();
    }
    shownLines_ = macro::EventLines{};
    const QString name = QString::fromStdString(macro::MacroName(m.table.slots[U(index)]));
    {
        const QSignalBlocker quiet(macroList_);
        macroList_->addItem(name);
        macroList_->setCurrentRow(index);
    }
    if (macroNameEdit_) macroNameEdit_->setText(name);
    // The new macro is kept at once, so that it survives without an edit.
    saveCurrentMacro();
    macroList_->setFocus();
    macroList_->sendCharCode1();
}

void MacroPage::deleteMacro() {
    macro::MacroState& m = session_.macros;
    if (recorder_.recording || !macroList_ || macroList_->count() == 0) return;
    const int s = macroList_->currentRow();
    if (s < 0 || m.groups.groupCount <= 0) return;
    macro::DeleteMacro(m.table, s);
    {
        const QSignalBlocker quiet(macroList_);
        delete macroList_->takeItem(s);
        if (macroList_->count() > 0) macroList_->setCurrentRow(m.table.currentMacro);
    }
    if (macroList_->count() > 0) {
        if (macroNameEdit_) macroNameEdit_->setText(macroList_->currentItem()->text());
    } else {
        if (macroNameEdit_) macroNameEdit_->clear();
        if (repeatCountEdit_) {
            const QSignalBlocker quiet(repeatCountEdit_);
            repeatCountEdit_->setText(QStringLiteral("1"));
            repeatCountEdit_->setEnabled(false);
        }
    }
    if (const Status st = macro::SaveAllMacros(currentGroupFile(), m.table); !st.ok()) messages_.show(st.message());
    macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    ShowSelectedMacro();
}

void MacroPage::runModeChoice(int area) {
    macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    // Also with no macro in the group: the choice acts on the current record
    // and the count box as always, and the page shows it; with no macro to
    // hold it, nothing is saved.
    if (c < 0 || c >= macro::kTableSlots) return;
    macro::MacroRecord& r = t.slots[U(c)];
    if (macro::SetRunModeChoice(r, area)) {
        setRepeatCountBox(true, QString::number(r.repeatCount));
    } else {
        setRepeatCountBox(false, QStringLiteral("1"));
    }
    saveCurrentMacro();
    repaintPage(false);
}

void MacroPage::toggleRecording() {
    macro::MacroTable& t = session_.macros.table;
    if (!macroList_ || macroList_->count() == 0) return;
    if (!recorder_.recording) {
        closeListEditors();
        const int row = macroList_->currentRow();
        const int s = row < 0 ? 0 : row;
        const std::string name = macroList_->item(s) ? macroList_->item(s)->text().toStdString() : std::string();
        if (!macro::StartRecording(recorder_, t, s, name, shownLines_)) return;
        {
            const QSignalBlocker quiet(repeatCountEdit_);
            if (repeatCountEdit_) {
                repeatCountEdit_->setText(QStringLiteral("1"));
                repeatCountEdit_->setEnabled(true);
            }
        }
        for (CEditableListBox* l : {eventList_.data(), ledStepList_.data()}) {
            const QSignalBlocker quiet(l);
            l->clear();
        }
        setKeyboardCapture(true);
    } else {
        macro::StopRecording(recorder_, t);
        recordingEnded();
        return;
    }
    repaintPage(true);
}

void MacroPage::recordingEnded() {
    setKeyboardCapture(false);
    saveCurrentMacro();
    repaintPage(true);  // the record button reads "Record" again
}

void MacroPage::showRecordingNotice() {
    // The notice is a modal box: while it is up the keyboard is given back,
    // so that Enter or Escape closes it instead of landing in the macro. The
    // key's release comes after the recording has the keyboard again and is
    // dropped there, its key having gone down elsewhere.
    const bool capturing = keyboard_ && keyboard_->active();
    if (capturing) keyboard_->stop();
    messages_.show("Recording");
    if (capturing && recorder_.recording) keyboard_->start(host_.widget.windowHandle());
}

void MacroPage::setKeyboardCapture(bool on) {
    if (!keyboard_) {
        keyboard_ = new KeyboardCapture(&host_.widget);
        connect(keyboard_, &KeyboardCapture::keyMessage, this, &MacroPage::RecordKey);
    }
    if (on) {
        QWindow* window = host_.widget.windowHandle();
        if (keyboard_->start(window) || !windowKeysOnly_ || toldWindowKeysOnly_) return;
        // Told once, with the keyboard given back so that the box closes with
        // Enter or Escape instead of recording them.
        toldWindowKeysOnly_ = true;
        keyboard_->stop();
        messages_.show(WindowKeysOnlyNotice(session_.englishInterface));
        if (recorder_.recording) keyboard_->start(window);
    } else {
        keyboard_->stop();
    }
}

void MacroPage::RecordKey(int kind, std::uint8_t vk) {
    macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    if (!recorder_.recording || c < 0 || c >= macro::kTableSlots) return;
    const std::size_t before = shownLines_.lines.size();
    switch (macro::RecordKeyMessage(recorder_, t.slots[U(c)], kind, vk, shownLines_)) {
        case macro::KeyOutcome::Ignored: return;
        case macro::KeyOutcome::LimitReached:
            // The keyboard comes back before the message, so that Enter or
            // Escape can close it; what was recorded up to the limit stays.
            recordingEnded();
            messages_.show(macro::kRecordingFullMessage);
            return;
        case macro::KeyOutcome::Recorded: break;
    }
    if (!eventList_) return;
    const QSignalBlocker quiet(eventList_);
    for (std::size_t i = before; i < shownLines_.lines.size(); ++i)
        eventList_->addItem(QString::fromStdString(shownLines_.lines[i]));
    eventList_->setCurrentRow(eventList_->count() - 1);
    eventList_->scrollToBottom();
}

void MacroPage::MacroMenuRow(int row) {
    switch (row) {
        case 1: importGroup(); break;
        case 2: exportGroup(); break;
        case 3: resetMacros(); break;
        default: break;
    }
}

void MacroPage::importGroup() {
    macro::MacroState& m = session_.macros;
    if (!macro::CanImportGroup(m, messages_)) return;
    const auto chosen = host_.fileChooser().openMacroFile(&host_.widget, m.folders.macroFolder);
    if (!chosen) return;
    host_.note({});  // an earlier success must not stand beside this one's message
    if (!macro::ImportGroup(m, *chosen, messages_)) return;
    FillMacroList();
    ShowNames();
    host_.note(DoneNote(DoneAction::Import, session_.englishInterface, ShownPath(*chosen)));
}

void MacroPage::exportGroup() {
    macro::MacroState& m = session_.macros;
    if (m.groups.groupCount <= 0) {
        messages_.show("Error!");
        return;
    }
    saveCurrentMacro();
    // The dialog opens beside the user's documents under the group's name: in
    // the macro folder it would offer the group's own file to write onto.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    const std::string name = m.groups.groupNames[U(m.groups.currentGroup)];
    const fs::path start = macro::GroupFile(fs::path(documents.toStdString()), name);
    const auto chosen = host_.fileChooser().saveMacroFile(&host_.widget, start);
    if (!chosen) return;
    host_.note({});
    // The export says itself what went wrong.
    if (macro::ExportGroup(m, *chosen, messages_).ok())
        host_.note(DoneNote(DoneAction::Export, session_.englishInterface, ShownPath(*chosen)));
}

void MacroPage::resetMacros() {
    host_.note({});
    // The reset tells only through its messages that the factory folder could
    // not be read back: any message means it did not succeed.
    CountingSink counted(messages_);
    macro::ResetMacros(session_.macros, counted);
    FillMacroList();
    ShowNames();
    if (counted.shown == 0) host_.note(DoneNote(DoneAction::MacroReset, session_.englishInterface));
}

bool MacroPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton &&
        ((eventList_ && watched == eventList_->viewport()) || (ledStepList_ && watched == ledStepList_->viewport()))) {
        MacroRightClick(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kx700::ui
