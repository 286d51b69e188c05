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

#include "programming/monitor.h"
#include "programming/session.h"
#include "skin/images.h"
#include "skin/layout.h"
#include "ui/fonts.h"
#include "ui/page.h"
#include "ui/popup_menus.h"
#include "ui/settings_actions.h"

class QLineEdit;
class QListWidget;

namespace kx700::device {
class HidBackend;
}

namespace kx700::ui {

class TrayIcon;

// How the window was started.
struct StartOptions {
    bool hideAtStart = false;  // -HIDE: minimise at the first paint
    double displayScale = 1.0;
    std::optional<bool> english;  // a language for this run only (screenshots); VER_SEL is left alone
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
    void ApplySettings();

    // Shows and restores the window (tray, second start).
    void ShowAndRestore();
    void HideToTray();

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

Q_SIGNALS:
    // The window has ended; the program ends with it.
    void ended();
    // A popup chose a row for the macro editor (kind 3: 1 import, 2 export,
    // 3 reset; kinds 6-8: an LED step changed).
    void macroMenuChosen(int row);
    void ledStepChanged(int kind, int value);
    // A press on a Macro page button whose operation lives with the macro editor.
    void macroAreaPressed(int area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void loadSkins();
    void buildRegions();
    void repaintPage(bool now);
    void createMainControls();
    void destroyMainControls();
    void createMacroControls();
    void destroyMacroControls();
    void fillMacroControls();
    void releaseHeader(int area);
    // Hooks of the press and release dispatch into the page actions.
    void pressPageArea(QPoint p);
    void releaseAreas(int hotMain);
    void openPopup(int kind, const QRect& area);
    void openButtonPopup(int area);
    CMenuDlg* createPopup(int kind, QPoint anchor, int button);
    void macroGroupChosen(int previousGroup, int currentMacro);
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
    bool recording_ = false;
    std::array<QPointer<QLineEdit>, 3> profileEdits_;
    QPointer<QLineEdit> groupNameEdit_, macroNameEdit_, repeatCountEdit_;
    QPointer<QListWidget> macroList_, eventList_, ledStepList_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<programming::DeviceMonitor> monitor_;
    PowerEvents* power_ = nullptr;
    QTimer preview_;
    QPoint dragOffset_;
    bool manualDrag_ = false;
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
};

// The -HIDE rule: the (at most) four characters after the command line's last
// '-' (or its first four without one) are exactly "HIDE".
bool HideSwitch(const std::string& commandLine);

}  // namespace kx700::ui
