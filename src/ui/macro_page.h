#pragma once

// The Macro page: its three lists (macros, events, LED steps), the group-name,
// macro-name and repeat-count boxes, the editor menu, the recorder and the
// LED step being edited. The controls exist while the page is shown; the
// state lives as long as the window.

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>

#include "macro/editor.h"
#include "macro/event_text.h"
#include "macro/recorder.h"
#include "programming/session.h"
#include "skin/layout.h"
#include "ui/page_host.h"

class QLineEdit;

namespace kx700::ui {

class CEditableListBox;
class COrvMenu;
class KeyboardCapture;

class MacroPage : public QObject {
    Q_OBJECT
public:
    MacroPage(PageHost host, Session& session, MessageSink& messages);
    ~MacroPage() override;

    // The controls come with the page and go with it.
    void createControls();
    void destroyControls();
    bool shown() const;
    // Ends every in-place edit of the lists, keeping what was typed.
    void closeListEditors();

    void ShowMacro(int slot);
    void FillMacroList();
    void ShowSelectedMacro();
    void ShowNames();
    // A left-button press on an area of the page: the group and menu popups,
    // and the editor's buttons.
    void Press(int area);
    // The editor's buttons: new and delete group, record, new and delete
    // macro, the run modes.
    void PressMacroArea(int area);
    // The menu popup's rows: 1 import, 2 export, 3 reset of macro groups.
    void MacroMenuRow(int row);
    // A right-button release over the event list or the LED step list, in
    // screen coordinates: the editor menu or an LED popup, as the place says.
    void MacroRightClick(QPoint globalPos);
    // A command of the editor menu, on the lines taken at the right-click.
    void EditorCommand(int id);
    // Another group was chosen in the group popup.
    void GroupChosen(int previousGroup, int currentMacro);
    // The macro folders of the interface language, reloaded after a switch.
    void LanguageChanged();

    bool recording() const { return recorder_.recording; }
    // A key message while recording (from the keyboard capture).
    void RecordKey(int kind, std::uint8_t vk);
    // "Recording", for a press the recording refuses.
    void showRecordingNotice();
    // Bits 0-1 of the current macro's run mode (3 when there is none).
    int currentRunMode() const;

    // Test seams. How the editor menu is shown: returns the chosen command id
    // or 0; the default tracks the menu at the point.
    using MenuRunner = std::function<int(COrvMenu& menu, QPoint globalPos)>;
    void setMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }
    // Whether recording can only take the keys typed into the window (the
    // platform decides; tests say so).
    void setWindowKeysOnly(bool only) { windowKeysOnly_ = only; }
    void setRecordingClock(macro::MillisecondsOfDay clock) { recorder_.clock = std::move(clock); }
    COrvMenu* editorMenu() const { return editorMenu_.get(); }
    const macro::EditorLines& editorLines() const { return editorLines_; }
    int ledLine() const { return ledLine_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::filesystem::path currentGroupFile() const;
    // Saves a macro of the table into the current group's file; a file that
    // already holds it stays untouched.
    void saveCurrentMacro();
    void saveMacro(int slot);
    void macroListSelectionChanged(int row);
    void eventListSelectionChanged(int row);
    // The LED step list follows the event list's line `row`.
    void syncLedSteps(int row, int selectLine);
    void ledStepSelectionChanged(int row);
    void ledStepDoubleClicked();
    void showLedSequence(int slot, int selectLine);
    void ledPopupChanged(int kind, int value);
    void editEnded(CEditableListBox* list);
    void macroNameChanged(const QString& text);
    void repeatCountChanged(const QString& text);
    void setRepeatCountBox(bool enabled, const QString& text);
    void groupNameChanged(const QString& text);
    void newGroup();
    void deleteGroup();
    void toggleRecording();
    // The interface side of a recording that has ended: the keyboard given
    // back, the macro saved, the record button redrawn.
    void recordingEnded();
    void newMacro();
    void deleteMacro();
    void runModeChoice(int area);
    void importGroup();
    void exportGroup();
    void resetMacros();
    void setKeyboardCapture(bool on);
    void repaintPage(bool now) { host_.repaint(now); }
    QRect At(int area) const;

    PageHost host_;
    Session& session_;
    MessageSink& messages_;
    QPointer<QLineEdit> groupNameEdit_, macroNameEdit_, repeatCountEdit_;
    QPointer<CEditableListBox> macroList_, eventList_, ledStepList_;
    macro::EditorLines editorLines_;
    macro::EventLines shownLines_;
    int macroListSelection_ = 0;
    int ledSlot_ = 0;
    int ledKind_ = 0;
    int ledLine_ = 0;
    macro::Recorder recorder_;
    std::unique_ptr<COrvMenu> editorMenu_;
    MenuRunner menuRunner_;
    KeyboardCapture* keyboard_ = nullptr;
    // No server-wide grab (Wayland): only keys typed into the window reach
    // the recording, which the user is told once.
    bool windowKeysOnly_ = false;
    bool toldWindowKeysOnly_ = false;
};

}  // namespace kx700::ui
