#pragma once

// The program's one window, as a shell: the frameless, mask-shaped frame, the
// header, hit testing and dragging, the tray and the start-up. The pages
// (main_page, macro_page, led_page) own their state and controls; the popup
// controller opens and closes the popups.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

#include "programming/apply.h"
#include "programming/macro_memory.h"
#include "programming/monitor.h"
#include "programming/session.h"
#include "settings/web_links.h"
#include "skin/images.h"
#include "skin/layout.h"
#include "ui/file_chooser.h"
#include "ui/fonts.h"
#include "ui/orv_menu.h"
#include "ui/page.h"
#include "ui/page_host.h"

namespace kx700::device {
class HidBackend;
}

namespace kx700::ui {

class TrayIcon;
class COrvMenu;
class ColourChooser;
class PopupController;
class MainPage;
class MacroPage;
class LedPage;

// How the window was started.
struct StartOptions {
    bool hideAtStart = false;  // -HIDE: minimise at the first paint
    double displayScale = 1.0;
    std::optional<bool> english;  // a language for this run only (screenshots); VER_SEL is left alone
    MouseClaim claim;             // takes the mouse found by discovery; none: always ours
    bool simPanel = false;        // --sim-panel: the simulated mouse's panel open from the start
};

class PowerEvents;
class MouseNote;
class SimPanel;
class ApplyRunner;

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

    // The apply (header area 3, power events): the mouse programmed, config.ini
    // saved. The write runs on a worker while the window stays live; `done`
    // runs once the end has been handled. False (nothing done) while an apply
    // runs already.
    bool StartApply(std::function<void(const programming::ApplyResult&)> done = {});
    bool applying() const;
    ApplyRunner& applyRunner() { return *applyRunner_; }
    // The apply a request from kx700ctl asks for: as if Apply was pressed, its
    // messages and result given to `answer` as the channel's answer lines.
    void ApplyForRequest(std::function<void(const std::string&)> answer);
    // Monitor events waiting for the running apply's end.
    std::size_t heldMonitorEvents() const { return heldEvents_.size(); }
    // The note left of Apply after an action succeeded ("Applied to the
    // mouse", "Saved to …"); empty when none is shown. It goes after a few
    // seconds or when the next apply starts.
    const QString& doneNote() const { return doneNote_; }
    static constexpr int kDoneNoteMs = 4000;
    // The macro memory gauge as it is painted now: measured again when the
    // record, the macro table or the memory bank changed since the last
    // measure, and every half second for the files on disk.
    programming::MacroMemoryUse macroMemory() const;

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
    COrvMenu* trayMenu() const;
    QRect areaRect(Page table, int area) const;  // Page::Main means mainAreas

    // The frame as a paint composes it (for tests and screenshots); with
    // `only`, just that part of it is painted.
    QImage renderFrame(const QRegion& only = QRegion());

    // The popups, and the pages that own their state and controls.
    PopupController& popups() { return *popups_; }
    MainPage& mainPage() { return *mainPage_; }
    MacroPage& macroPage() { return *macroPage_; }

    // Opens web link k (0 site, 1 and 2 the social pages) when it is set.
    void OpenWebPage(int k);
    void SwitchLanguage(bool english);
    // Where import and export ask for files; the window keeps a dialog chooser
    // until another is given (tests). The chooser must outlive the window.
    void setFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    // Where the Lighting page's swatches ask for a colour (the picker unless a
    // test gives another). The chooser must outlive the window.
    void setColourChooser(ColourChooser* chooser);
    // The folder the next file dialog opens in (the last one used, across runs).
    const std::filesystem::path& fileFolder() const { return fileFolder_; }
    // How a web address is opened (the desktop's browser unless replaced).
    void setUrlOpener(std::function<void(const QString&)> opener) { openUrl_ = std::move(opener); }

    // The notes on the mouse's own profile and CPI switches (on unless the
    // tray's item turned them off).
    bool switchNotesOn() const { return switchNotes_; }
    void setSwitchNotes(bool on);
    MouseNote& mouseNote() { return *note_; }
    // The simulated mouse's panel: only on the simulated mouse; null while closed.
    bool onSimulatedMouse() const;
    void setSimPanelShown(bool shown);
    SimPanel* simPanel() const { return simPanel_; }

Q_SIGNALS:
    // The window has ended; the program ends with it.
    void ended();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadSkins();
    void buildRegions();
    void repaintPage(bool now);
    void releaseHeader(int area);
    // The press and release dispatch into the pages.
    void pressPageArea(QPoint p);
    void releaseAreas(int hotMain);
    // The chooser a test gave, else the file dialogs.
    FileChooser& fileChooser();
    PageHost pageHost();
    void closeToTray();
    void minimiseWindow();
    // The tray's items in the interface language, the autostart tick as the
    // desktop will start us.
    void refreshTrayMenu();
    void startDrag(QPoint pressPoint);
    std::string macroName(std::int32_t value) const;
    void post(const programming::MonitorEvent& event) override;  // from the monitor's threads
    void onMonitorEvent(const programming::MonitorEvent& event);
    // The note for a switch the mouse made by itself.
    void noteMouseSwitch(const programming::MonitorEvent& event);
    // The tray's ticks that the window keeps in config.ini's [Init].
    void readWindowOptions();
    void saveWindowOption(const char* key, bool on);
    void rememberFileFolder(const std::filesystem::path& folder);
    void addTrayOptions(std::vector<MenuItem>& items) const;
    void applyEnded();
    // While an apply writes, only what cannot change what it writes goes on.
    void refuseWhileApplying();
    void showDoneNote(const QString& note);
    void paintApplyIndicators(QImage& frame, const QRegion& only);
    QRect applyIndicatorsRect() const;

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
    // Children of the window, made in the constructor.
    PopupController* popups_ = nullptr;
    MainPage* mainPage_ = nullptr;
    MacroPage* macroPage_ = nullptr;
    LedPage* ledPage_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<programming::DeviceMonitor> monitor_;
    PowerEvents* power_ = nullptr;
    ApplyRunner* applyRunner_ = nullptr;
    // The monitor's events that arrived during an apply, handled after its end
    // in their order: a correction must not rewrite a block being written.
    std::vector<programming::MonitorEvent> heldEvents_;
    bool exitAfterApply_ = false;
    QString applyNote_;  // a refused action's note, shown until the apply ends
    QString doneNote_;   // an action's success, shown for kDoneNoteMs
    QTimer* doneNoteTimer_ = nullptr;
    QString gaugeShown_;  // the gauge's texts as painted last
    // What the gauge was last measured from. Measuring reads and encodes
    // every assigned macro, longer than a whole repaint, so a paint reuses it.
    struct GaugeInputs {
        MouseSettings settings;
        int currentProfile = 0;
        int memoryBankBit = 0;
        int currentGroup = 0;
        int groupCount = 0;
        macro::MacroTable table;
        bool operator==(const GaugeInputs&) const = default;
    };
    mutable std::optional<GaugeInputs> gaugeMeasuredFor_;
    mutable programming::MacroMemoryUse gaugeMeasured_;
    QPoint dragOffset_;
    bool manualDrag_ = false;
    bool tabPressed_ = false;  // the press being held switched the page
    int draggedBar_ = NoArea;  // the bar (of the shown page) under the held press, which follows the pointer
    std::unique_ptr<FileChooser> dialogChooser_;
    std::unique_ptr<FileChooser> rememberingChooser_;  // the one the pages use, over fileChooser()
    std::filesystem::path fileFolder_;                 // where the last file dialog found its file
    FileChooser* chooser_ = nullptr;
    WebLinks links_;
    std::function<void(const QString&)> openUrl_;
    std::function<bool()> trayAvailable_;
    MouseNote* note_ = nullptr;
    bool switchNotes_ = true;
    SimPanel* simPanel_ = nullptr;
    bool simPanelWanted_ = false;  // remembered from the last run
};

// The -HIDE rule: the (at most) four characters after the command line's last
// '-' (or its first four without one) are exactly "HIDE".
bool HideSwitch(const std::string& commandLine);

}  // namespace kx700::ui
