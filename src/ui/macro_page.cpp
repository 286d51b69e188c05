// The Macro page's controls and what they show: the three lists, the name,
// repeat-count and group-name boxes, and the LED steps of the selected event.
#include "ui/macro_page.h"

#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "macro/files.h"
#include "macro/groups.h"
#include "ui/control_style.h"
#include "ui/editable_list.h"
#include "ui/keyboard_capture.h"
#include "ui/orv_menu.h"
#include "ui/popup_controller.h"
#include "ui/wayland.h"

namespace kx700::ui {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t U(int i) { return static_cast<std::size_t>(i); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

MacroPage::MacroPage(PageHost host, Session& session, MessageSink& messages)
    : QObject(&host.widget),
      host_(std::move(host)),
      session_(session),
      messages_(messages),
      windowKeysOnly_(OnWayland()) {
    PopupController& popups = host_.popups;
    connect(&popups, &PopupController::macroGroupChosen, this, &MacroPage::GroupChosen);
    // The popup closes before the row's work runs (a file dialog may follow).
    connect(&popups, &PopupController::macroMenuChosen, this, &MacroPage::MacroMenuRow, Qt::QueuedConnection);
    connect(&popups, &PopupController::ledStepChanged, this, &MacroPage::ledPopupChanged);
}

MacroPage::~MacroPage() = default;

bool MacroPage::shown() const { return eventList_ != nullptr; }

int MacroPage::currentRunMode() const {
    const macro::MacroTable& t = session_.macros.table;
    // A group without macros included: its record is blank, run mode 0,
    // until a run-mode choice sets it.
    return t.currentMacro >= 0 && t.currentMacro < macro::kTableSlots ? t.slots[U(t.currentMacro)].runMode & 3 : 3;
}

void MacroPage::GroupChosen(int previousGroup, int currentMacro) {
    macro::SwitchGroup(session_.macros, previousGroup, currentMacro, messages_);
    FillMacroList();
    ShowNames();
}

void MacroPage::LanguageChanged() {
    macro::MacroState& m = session_.macros;
    m.folders = macro::MacroFolders::For(session_.folders, session_.englishInterface);
    LoadGroupDirectory(m, messages_);
    // Nothing of the other language's group may stay on show: the table is
    // emptied before the first group is loaded, or left empty without one.
    macro::LoadCurrentGroup(m, messages_);
    if (!shown()) return;
    // The controls take the new layout's places and font.
    destroyControls();
    createControls();
    FillMacroList();
}

void MacroPage::createControls() {
    auto edit = [&](const ControlRect& r, const char* name, int limit) {
        auto* e = new QLineEdit(&host_.widget);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(ToRect(r));
        e->setAlignment(Qt::AlignCenter);
        e->setFont(host_.fonts.label);
        e->setStyleSheet(ControlStyle());
        if (limit > 0) e->setMaxLength(limit);
        e->show();
        return e;
    };
    auto list = [&](const ControlRect& r, const char* name) {
        auto* l = new CEditableListBox(&host_.widget);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(ToRect(r));
        l->setFont(host_.fonts.large);  // the lists are read at length: one size up
        l->setStyleSheet(ControlStyle());
        l->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setContextMenuPolicy(Qt::PreventContextMenu);
        l->viewport()->installEventFilter(this);
        connect(l, &CEditableListBox::editEnded, this, &MacroPage::editEnded);
        l->show();
        return l;
    };
    repeatCountEdit_ = edit(host_.skin.repeatCountEdit, "repeatCount", 5);
    macroNameEdit_ = edit(host_.skin.macroNameEdit, "macroName", macro::kNameBytes / 2 - 1);
    groupNameEdit_ = edit(host_.skin.groupNameEdit, "groupName", macro::kMaxGroupNameLength);
    macroList_ = list(host_.skin.macroList, "macroList");
    eventList_ = list(host_.skin.eventList, "eventList");
    ledStepList_ = list(host_.skin.ledStepList, "ledStepList");
    macroList_->setEditOnDoubleClick(true);
    connect(macroList_, &QListWidget::currentRowChanged, this, &MacroPage::macroListSelectionChanged);
    connect(eventList_, &QListWidget::currentRowChanged, this, &MacroPage::eventListSelectionChanged);
    connect(ledStepList_, &QListWidget::currentRowChanged, this, &MacroPage::ledStepSelectionChanged);
    connect(ledStepList_, &CEditableListBox::rowDoubleClicked, this, [this] { ledStepDoubleClicked(); });
    // Only the user's edits rename or recount a macro: filling the boxes to
    // show a macro must not change it (a ten-unit name would be cut to the
    // box's nine, a count of 0 become 1) nor write its file.
    connect(macroNameEdit_, &QLineEdit::textEdited, this, &MacroPage::macroNameChanged);
    connect(repeatCountEdit_, &QLineEdit::textEdited, this, &MacroPage::repeatCountChanged);
    connect(groupNameEdit_, &QLineEdit::textChanged, this, &MacroPage::groupNameChanged);
    // The page opens on its macro list, not in the first edit box.
    macroList_->setFocus(Qt::OtherFocusReason);
}

void MacroPage::destroyControls() {
    for (QPointer<QLineEdit>* e : {&repeatCountEdit_, &macroNameEdit_, &groupNameEdit_}) {
        delete e->data();
        e->clear();
    }
    for (QPointer<CEditableListBox>* l : {&macroList_, &eventList_, &ledStepList_}) {
        delete l->data();
        l->clear();
    }
}

void MacroPage::closeListEditors() {
    for (const QPointer<CEditableListBox>& l : {macroList_, eventList_, ledStepList_}) {
        if (l && l->isEditing()) l->closeEditor(true);
    }
}

fs::path MacroPage::currentGroupFile() const {
    const macro::MacroState& m = session_.macros;
    return macro::GroupFile(m, m.groups.currentGroup);
}

void MacroPage::saveCurrentMacro() { saveMacro(session_.macros.table.currentMacro); }

void MacroPage::saveMacro(int slot) {
    if (const Status st = macro::SaveToCurrentGroup(session_.macros, slot); !st.ok()) messages_.show(st.message());
}

void MacroPage::ShowMacro(int slot) {
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

void MacroPage::setRepeatCountBox(bool enabled, const QString& text) {
    if (!repeatCountEdit_) return;
    repeatCountEdit_->setEnabled(enabled);
    SetQuietly(repeatCountEdit_, text);
}

void MacroPage::FillMacroList() {
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
            m.table.currentMacro =
                std::clamp(m.table.currentMacro, 0, std::min<int>(m.table.macroCount, macro::kMaxMacrosPerGroup) - 1);
            macroList_->setCurrentRow(m.table.currentMacro);
        }
    }
    if (m.table.macroCount > 0) ShowSelectedMacro();
    ShowNames();
}

void MacroPage::ShowSelectedMacro() {
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

void MacroPage::ShowNames() {
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

void MacroPage::macroListSelectionChanged(int row) {
    macro::MacroTable& t = session_.macros.table;
    if (recorder_.recording) {
        {
            const QSignalBlocker quiet(macroList_);
            macroList_->setCurrentRow(t.currentMacro);
        }
        showRecordingNotice();
        return;
    }
    host_.popups.close();
    if (row < 0) return;
    saveCurrentMacro();
    ShowSelectedMacro();
}

void MacroPage::eventListSelectionChanged(int row) {
    if (host_.popups.ledStepOpen()) host_.popups.close();
    syncLedSteps(row, -1);
}

void MacroPage::syncLedSteps(int row, int selectLine) {
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

void MacroPage::showLedSequence(int slot, int selectLine) {
    if (!ledStepList_) return;
    const QSignalBlocker quiet(ledStepList_);
    ledStepList_->clear();
    const macro::MacroTable& t = session_.macros.table;
    const int c = t.currentMacro;
    if (slot < 0 || slot >= macro::kLedSlots || c < 0 || c >= macro::kTableSlots) return;
    std::vector<std::string> modes;
    for (std::string_view name : LightingModeNames(session_.englishInterface)) modes.emplace_back(name);
    for (const std::string& line :
         macro::LedStepLines(t.slots[U(c)].ledTable[U(slot)], session_.englishInterface, modes)) {
        ledStepList_->addItem(Q(line));
    }
    if (selectLine >= 0 && selectLine < ledStepList_->count()) ledStepList_->setCurrentRow(selectLine);
}

void MacroPage::ledStepSelectionChanged(int row) {
    ledLine_ = row;
    if (host_.popups.ledStepOpen()) host_.popups.close();
}

void MacroPage::ledStepDoubleClicked() {
    const int line = ledStepList_ ? ledStepList_->currentRow() : -1;
    // Durations and intervals are typed; modes, colours and the count have
    // their popups.
    if (line > 0 && (line % 4 == 3 || line % 4 == 0)) ledStepList_->sendCharCode1();
}

void MacroPage::ledPopupChanged(int kind, int /*value*/) {
    (void)kind;
    showLedSequence(ledSlot_, ledLine_);
    saveCurrentMacro();  // a step chosen in a popup is an edit of the macro
}

}  // namespace kx700::ui
