#pragma once

// The program's one window: a frameless, mask-shaped page drawn from the skin,
// with four pages, a header, the page's child controls and the tray icon.

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "macro/editor.h"
#include "macro/event_text.h"
#include "macro/recorder.h"
#include "programming/apply.h"
#include "programming/monitor.h"
#include "programming/session.h"
#include "skin/images.h"
#include "skin/layout.h"
#include "ui/fonts.h"
#include "ui/page.h"
#include "ui/popup_menus.h"
#include "ui/file_chooser.h"

class QLineEdit;
class QListWidget;
class QKeyEvent;

namespace kx700::device {
class HidBackend;
}

namespace kx700::ui {

class TrayIcon;
class CEditableListBox;
class COrvMenu;
class KeyboardCapture;

// How the window was started.
struct StartOptions {
    bool hideAtStart = false;  // -HIDE: minimise at the first paint
    double displayScale = 1.0;
    std::optional<bool> english;  // a language for this run only (screenshots); VER_SEL is left alone
    MouseClaim claim;  // takes the mouse found by discovery; none: always ours
};

class PowerEvents;

class CORV_ZOvizaDlg : public QWidget, public programming::MonitorSink {
    Q_OBJECT
public:
    CORV_ZOvizaDlg(Session& session, device::HidBackend& backend, MessageSink& messages, StartOptions options,
                   QWidget* parent = nullptr);
    ~CORV_ZOvizaDlg() override;

    // The start-up sequence. False when the program must end now (no mouse,
    // a missing layout file); the message has been shown then.
    bool OnInitDialog();

    // Tray icon removed, exit notice sent, the window ends.
    void ExitProgram();
    // The mouse is gone: tray icon removed, no exit notice, the window ends.
    void DeviceRemoved();

    // The apply (header area 3, power events): the mouse programmed, config.ini saved.
    programming::ApplyResult ApplySettings();
    // The apply a request from kx700ctl asks for: as if Apply was pressed, its
    // messages and result returned as the channel's answer lines.
    std::string ApplyForRequest();

    // Shows and restores the window (tray, second start).
    void ShowAndRestore();
    // With a tray: the icon shown and the window hidden. Without one: the
    // window minimised, so that it can come back from the task bar.
    void HideToTray();
    // Whether the desktop has a tray to hide into. The desktop decides
    // (QSystemTrayIcon::isSystemTrayAvailable) unless a test says otherwise.
    void setTrayAvailable(std::function<bool()> available) { trayAvailable_ = std::move(available); }
    bool trayAvailable() const;

    // A page change as the header's tabs make it.
    void ChangePage(Page page);

    Page currentPage() const { return interaction_.currentPage; }
    const Interaction& interaction() const { return interaction_; }
    const SkinTables& skin() const { return skin_; }
    const Fonts& fonts() const { return fonts_; }
    bool trayIconPresent() const;
    QRect areaRect(Page table, int area) const;  // Page::Main means mainAreas

    // The frame as painted last (for tests and screenshots).
    QImage renderFrame();

    // Page actions, popups and the header's window actions (page_actions_*.cpp).
    CMenuDlg* activePopup() const { return activePopup_; }
    bool buttonMenuOpen() const { return buttonMenuOpen_; }
    // The macro editor's LED step list opens kinds 6, 7 and 8 at a screen point.
    CMenuDlg* OpenLedStepPopup(int kind, int ledSlot, int ledLine, QPoint screenPoint);
    void ClosePopup();
    void SelectProfile(int i);
    void ImportSettings();
    void ExportSettings();
    void ResetSettings();
    void OpenWebPage(int k);
    void SwitchLanguage(bool english);
    // Where import and export ask for files; the window keeps a dialog chooser
    // until another is given (tests). The chooser must outlive the window.
    void setFileChooser(FileChooser* chooser);
    // How a web address is opened (the desktop's browser unless replaced).
    void setUrlOpener(std::function<void(const QString&)> opener) { openUrl_ = std::move(opener); }

    // The macro editor (main_window_macro*.cpp).
    void ShowMacro(int slot);
    void FillMacroList();
    void ShowSelectedMacro();
    void ShowNames();
    // A right-button release over the event list or the LED step list, in
    // screen coordinates: the editor menu or an LED popup, as the place says.
    void MacroRightClick(QPoint globalPos);
    // A command of the editor menu, on the lines taken at the right-click.
    void EditorCommand(int id);
    // How the editor menu is shown; returns the chosen command id or 0. The
    // default tracks the menu at the point; tests answer without a menu.
    using MenuRunner = std::function<int(COrvMenu& menu, QPoint globalPos)>;
    void setMenuRunner(MenuRunner runner) { menuRunner_ = std::move(runner); }
    COrvMenu* editorMenu() const { return editorMenu_.get(); }
    // The Macro page's buttons (areas 2, 3, 5, 6, 7, 10-12).
    void PressMacroArea(int area);
    // The menu popup's rows: 1 import, 2 export, 3 reset of macro groups.
    void MacroMenuRow(int row);
    bool recording() const { return recorder_.recording; }
    // A key message while recording (from the keyboard capture).
    void RecordKey(int kind, std::uint8_t vk);
    // The recorder's clock (tests give a fake one).
    void setRecordingClock(macro::MillisecondsOfDay clock) { recorder_.clock = std::move(clock); }
    const macro::EditorLines& editorLines() const { return editorLines_; }
    int ledLine() const { return ledLine_; }

Q_SIGNALS:
    // The window has ended; the program ends with it.
    void ended();
    // A popup chose a row for the macro editor (kind 3: 1 import, 2 export,
    // 3 reset; kinds 6-8: an LED step changed).
    void macroMenuChosen(int row);
    void ledStepChanged(int kind, int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadSkins();
    void buildRegions();
    void repaintPage(bool now);
    void createMainControls();
    void destroyMainControls();
    void createMacroControls();
    void destroyMacroControls();
    void closeListEditors();
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
    void ledPopupChanged(int kind, int value);
    void setKeyboardCapture(bool on);
    // "Recording", for a press the recording refuses.
    void showRecordingNotice();
    void releaseHeader(int area);
    // Hooks of the press and release dispatch into the page actions.
    void pressPageArea(QPoint p);
    void releaseAreas(int hotMain);
    void openPopup(int kind, const QRect& area);
    void openButtonPopup(int area);
    CMenuDlg* createPopup(int kind, QPoint anchor, int button);
    void macroGroupChosen(int previousGroup, int currentMacro);
    // The chooser a test gave, else the file dialogs.
    FileChooser& fileChooser();
    void connectProfileEdit(QLineEdit* edit, int i);
    void reloadMacroGroups();
    void closeToTray();
    void minimiseWindow();
    void startDrag(QPoint pressPoint);
    std::string macroName(std::int32_t value) const;
    void post(const programming::MonitorEvent& event) override;  // from the monitor's threads
    void onMonitorEvent(const programming::MonitorEvent& event);

    Session& session_;
    device::HidBackend& backend_;
    MessageSink& messages_;
    StartOptions options_;
    SkinTables skin_;
    SkinImageCache images_;
    Fonts fonts_;
    Interaction interaction_;
    std::array<int, 4> previousHot_{NoArea, NoArea, NoArea, NoArea};  // main, advanced, macro, led
    QRegion mainPageRegion_;
    QRegion macroPageRegion_;
    bool endProgram_ = false;
    bool ended_ = false;
    std::array<QPointer<QLineEdit>, 3> profileEdits_;
    QPointer<QLineEdit> groupNameEdit_, macroNameEdit_, repeatCountEdit_;
    QPointer<CEditableListBox> macroList_, eventList_, ledStepList_;
    // The macro editor's state.
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
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<programming::DeviceMonitor> monitor_;
    PowerEvents* power_ = nullptr;
    QTimer preview_;
    QPoint dragOffset_;
    bool manualDrag_ = false;
    bool tabPressed_ = false;  // the press being held switched the page
    // Popup state: at most one first-level popup is open.
    QPointer<CMenuDlg> activePopup_;
    int popupKind_ = 0;
    int popupArea_ = NoArea;
    QPoint popupAnchor_;
    bool buttonMenuOpen_ = false;
    bool popupOpen_ = false;
    std::unique_ptr<FileChooser> dialogChooser_;
    FileChooser* chooser_ = nullptr;
    std::function<void(const QString&)> openUrl_;
    std::function<bool()> trayAvailable_;
};

// The -HIDE rule: the (at most) four characters after the command line's last
// '-' (or its first four without one) are exactly "HIDE".
bool HideSwitch(const std::string& commandLine);

}  // namespace kx700::ui
