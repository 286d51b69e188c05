#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <thread>
#include <utility>

#include "device/device_link.h"
#include "device/protocol.h"
#include "macro/files.h"
#include "platform/autostart.h"
#include "platform/profile.h"
#include "programming/apply.h"
#include "settings/settings_file.h"
#include "ui/apply_indicators.h"
#include "ui/apply_runner.h"
#include "ui/areas.h"
#include "ui/led_page.h"
#include "ui/macro_page.h"
#include "ui/main_page.h"
#include "ui/mouse_note.h"
#include "ui/popup_controller.h"
#include "ui/power_events.h"
#include "ui/sim_panel.h"
#include "ui/title.h"
#include "ui/tray.h"
#include "ui/wayland.h"

namespace kx700::ui {
namespace fs = std::filesystem;

bool HideSwitch(const std::string& commandLine) {
    const auto dash = commandLine.rfind('-');
    const std::string four = dash == std::string::npos ? commandLine.substr(0, 4) : commandLine.substr(dash + 1, 4);
    return four == "HIDE";
}

CORV_ZOvizaDlg::CORV_ZOvizaDlg(Session& session, device::HidBackend& backend, MessageSink& messages,
                               StartOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      session_(session),
      backend_(backend),
      messages_(messages),
      options_(options),
      images_(session.folders.skinsFolder()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    PrepareShapedWindow(*this);
    setMouseTracking(true);
    const QIcon icon(QString::fromStdString((session.folders.skinsFolder() / "kx700.png").string()));
    setWindowIcon(icon);
    tray_ = std::make_unique<TrayIcon>(icon);
    connect(tray_.get(), &TrayIcon::showRequested, this, &CORV_ZOvizaDlg::ShowAndRestore);
    connect(tray_.get(), &TrayIcon::exitRequested, this, &CORV_ZOvizaDlg::ExitProgram);
    connect(tray_.get(), &TrayIcon::autostartToggled, this, [this](bool on) {
        const fs::path program = QCoreApplication::applicationFilePath().toStdString();
        if (const Status st = SetAutostart(AutostartFile(), on, program); !st.ok()) messages_.show(st.message());
        // The tick shows what the desktop will do, also after a refusal.
        refreshTrayMenu();
    });
    connect(tray_.get(), &TrayIcon::optionToggled, this, [this](int id, bool on) {
        if (id == kSwitchNoteCommand) setSwitchNotes(on);
        if (id == kSimPanelCommand) setSimPanelShown(on);
    });
    note_ = new MouseNote(this);
    popups_ = new PopupController(*this, session_, skin_, fonts_);
    connect(popups_, &PopupController::settingsChanged, this, [this] {
        PublishHostView(session_);
        repaintPage(false);
    });
    connect(popups_, &PopupController::closed, this, [this] { repaintPage(false); });
    mainPage_ = new MainPage(pageHost(), session_, messages_);
    macroPage_ = new MacroPage(pageHost(), session_, messages_);
    ledPage_ = new LedPage(pageHost(), session_);
    applyRunner_ = new ApplyRunner(session_, this);
    connect(applyRunner_, &ApplyRunner::progressed, this,
            [this] { update(areaRect(Page::Main, area::header::kApply).adjusted(-2, -2, 2, 2)); });
    // A paint measures the gauge when the record or the macro table changed;
    // this measures afresh every half second for the changes that reach
    // neither, or come without a repaint of their own (a group file changed
    // on disk, an edit in a list box).
    auto* gaugeCheck = new QTimer(this);
    gaugeCheck->setInterval(500);
    connect(gaugeCheck, &QTimer::timeout, this, [this] {
        const Page page = interaction_.currentPage;
        if (!isVisible() || MacroGaugeRect(page).isEmpty()) return;
        gaugeMeasuredFor_.reset();  // a group file may have changed on disk
        const MacroGauge g = MakeMacroGauge(macroMemory(), session_.englishInterface, session_.profileNames);
        if (g.figure + g.over != gaugeShown_) update(MacroGaugeRect(page));
    });
    gaugeCheck->start();
    rememberingChooser_ = std::make_unique<RememberingChooser>(
        [this]() -> FileChooser& { return fileChooser(); }, [this] { return fileFolder_; },
        [this](const std::filesystem::path& folder) { rememberFileFolder(folder); },
        std::filesystem::path(QDir::homePath().toStdString()));
    doneNoteTimer_ = new QTimer(this);
    doneNoteTimer_->setSingleShot(true);
    doneNoteTimer_->setInterval(kDoneNoteMs);
    connect(doneNoteTimer_, &QTimer::timeout, this, [this] {
        doneNote_.clear();
        update(applyIndicatorsRect());
    });
}

PageHost CORV_ZOvizaDlg::pageHost() {
    return PageHost{*this,
                    skin_,
                    fonts_,
                    *popups_,
                    [this]() -> FileChooser& { return *rememberingChooser_; },
                    [this](bool now) { repaintPage(now); },
                    [this](const QString& note) { showDoneNote(note); },
                    [this] {
                        if (!applying()) return false;
                        refuseWhileApplying();
                        return true;
                    }};
}

FileChooser& CORV_ZOvizaDlg::fileChooser() {
    if (!chooser_) {
        if (!dialogChooser_) dialogChooser_ = std::make_unique<DialogFileChooser>();
        chooser_ = dialogChooser_.get();
    }
    return *chooser_;
}

CORV_ZOvizaDlg::~CORV_ZOvizaDlg() {
    if (monitor_) monitor_->stop();
}

void CORV_ZOvizaDlg::loadSkins() {
    SkinReadState state;
    const SkinFiles files = SkinFilesFor(session_.folders.skinsFolder(), session_.englishInterface);
    LoadMainSkin(skin_, files, messages_, state);
    LoadColourSkin(skin_, files, messages_, state);
    LoadAdvancedSkin(skin_, files, messages_, state);
    LoadMacroSkin(skin_, files, messages_, state);
    if (state.endProgram) endProgram_ = true;
}

bool CORV_ZOvizaDlg::OnInitDialog() {
    Session& s = session_;
    LoadSettingsData(s, messages_, options_.english);
    links_ = ReadWebLinks(s.folders.webLinksFile());
    fonts_ = MakeFonts(s.englishInterface, options_.displayScale);
    setFont(fonts_.label);
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    loadSkins();
    SetProfileKeyNames(skin_, s.profileNames);
    {
        SkinReadState state;
        LoadWarningSkin(skin_, SkinFilesFor(s.folders.skinsFolder(), s.englishInterface), messages_, state);
        if (state.endProgram) endProgram_ = true;
    }
    buildRegions();
    LoadMacroData(s, messages_);
    readWindowOptions();
    refreshTrayMenu();

    if (endProgram_) {
        ExitProgram();
        return false;
    }
    const Connection connection = ConnectMouse(s, backend_, options_.claim);
    const device::Discovery& found = connection.found;
    if (!connection.owned) {
        // Another program owns the mouse (it has been said): end without the
        // exit notice, which is that program's to send.
        DeviceRemoved();
        return false;
    }
    if (found.result == device::DiscoveryResult::NotFound) {
        const std::string text = s.englishInterface ? std::string("Please plug-in【") + kWindowTitle + "】USB Mouse"
                                                    : std::string("请插入【") + kWindowTitle + "】USB鼠标";
        messages_.show(text);
        ExitProgram();
        return false;
    }
    if (found.result == device::DiscoveryResult::NoAccess) {
        // Running on with a mouse we may not talk to would look like success.
        // The words stay as they are; the hint follows on a line of its own.
        const char* hint = s.englishInterface ? "Run 'kx700ctl doctor' to see why and the command that fixes it."
                                              : "运行 kx700ctl doctor 查看原因和修复命令。";
        messages_.show(std::string(device::DescribeDiscovery(found.result)) + ": " + found.detail + "\n" + hint);
        ExitProgram();
        return false;
    }
    PublishHostView(s);
    // The threads start once the collections are open, so that the reader
    // never sees the link while discovery fills it in.
    monitor_ = std::make_unique<programming::DeviceMonitor>(s, *this);
    monitor_->start();
    power_ = new PowerEvents(this);
    connect(power_, &PowerEvents::powerEvent, this, [this](bool) {
        // Nobody asked for this apply: a record that was never loaded is not
        // worth a message box on every wake.
        if (session_.settingsLoaded) StartApply();
    });
    mainPage_->createControls();
    tray_->add();
    if (simPanelWanted_) setSimPanelShown(true);
    return true;
}

void CORV_ZOvizaDlg::ApplyForRequest(std::function<void(const std::string&)> answer) {
    if (ended_) return answer("result 1 the window is closing\n");
    if (applying()) return answer("result 1 the window is applying already; ask again when it has ended\n");
    // The one who asked reads the messages on a terminal; a box here would
    // wait for a click nobody at the terminal can give.
    auto collected = std::make_shared<RecordingMessageSink>();
    MessageSink* const own = session_.messages;
    session_.messages = collected.get();
    auto restore = [this, own] { session_.messages = own; };
    const bool started = StartApply([answer, collected, restore](const programming::ApplyResult& r) {
        restore();
        std::string text;
        for (const std::string& m : collected->messages()) text += "message " + m + "\n";
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(r.elapsed).count();
        if (r.succeeded()) {
            text += "result 0 applied: " + std::to_string(r.transactions) + " transactions, " +
                    std::to_string(r.bytes) + " bytes, " + std::to_string(r.blocks) + " macro blocks in " +
                    std::to_string(ms) + " ms\n";
        } else {
            text += "result 1 the apply did not succeed\n";
        }
        answer(text);
    });
    if (!started) {
        restore();
        answer("result 1 the window is applying already; ask again when it has ended\n");
    }
}

bool CORV_ZOvizaDlg::StartApply(std::function<void(const programming::ApplyResult&)> done) {
    if (ended_ || applying()) return false;
    popups_->close();  // a popup left open could change the record being written
    applyNote_.clear();
    doneNote_.clear();
    qApp->installEventFilter(this);
    const bool started = applyRunner_->start([this, done](const programming::ApplyResult& r) {
        if (done) done(r);
        if (r.succeeded()) showDoneNote(DoneNote(DoneAction::Apply, session_.englishInterface));
        applyEnded();
    });
    // Only the bar and the notes change; the whole page waits for the end.
    update(applyIndicatorsRect());
    return started;
}

bool CORV_ZOvizaDlg::applying() const { return applyRunner_->running(); }

QRect CORV_ZOvizaDlg::applyIndicatorsRect() const {
    return ApplyIndicatorsRect(areaRect(Page::Main, area::header::kApply));
}

void CORV_ZOvizaDlg::applyEnded() {
    qApp->removeEventFilter(this);
    applyNote_.clear();
    if (macroPage_->shown()) macroPage_->FillMacroList();
    update();
    // What the monitor reported meanwhile, in order: a correction may now
    // rewrite the block the apply placed.
    const std::vector<programming::MonitorEvent> held = std::exchange(heldEvents_, {});
    for (const programming::MonitorEvent& e : held) {
        if (ended_) break;
        onMonitorEvent(e);
    }
    if (exitAfterApply_ && !ended_) ExitProgram();
}

void CORV_ZOvizaDlg::showDoneNote(const QString& note) {
    doneNote_ = note;
    if (note.isEmpty())
        doneNoteTimer_->stop();
    else
        doneNoteTimer_->start();
    update(applyIndicatorsRect());
}

void CORV_ZOvizaDlg::refuseWhileApplying() {
    applyNote_ = ApplyBusyNote(session_.englishInterface);
    update(applyIndicatorsRect());
}

void CORV_ZOvizaDlg::post(const programming::MonitorEvent& event) {
    QMetaObject::invokeMethod(
        this, [this, event] { onMonitorEvent(event); }, Qt::QueuedConnection);
}

void CORV_ZOvizaDlg::onMonitorEvent(const programming::MonitorEvent& e) {
    using Kind = programming::MonitorEvent::Kind;
    if (applying() && e.kind != Kind::HostAnswer) {
        heldEvents_.push_back(e);
        return;
    }
    switch (e.kind) {
        case Kind::ProfileChanged:
            programming::HandleProfileChanged(session_, e);
            noteMouseSwitch(e);
            break;
        case Kind::CpiLevel:
            programming::HandleCpiLevel(session_, e.value);
            noteMouseSwitch(e);
            break;
        case Kind::Correction: {
            const programming::CorrectionResult r = programming::CorrectionReupload(session_, e.up);
            if (!r.uploaded) std::fprintf(stderr, "kx700: correction refused: %s\n", r.refused.c_str());
            break;
        }
        case Kind::Removed: DeviceRemoved(); return;
        case Kind::HostAnswer: return;
    }
    update();
}

void CORV_ZOvizaDlg::buildRegions() {
    const QImage mask = LoadSkinImage(session_.folders.skinsFolder(), "main_mask.jpg");
    const QRegion shape = MaskToRegion(mask);
    setFixedSize(mask.size().isEmpty() ? QSize(1, 1) : mask.size());
    setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
    mainPageRegion_ = shape;
    for (const ControlRect& c : skin_.profileNameEdits)
        mainPageRegion_ -= QRegion(c.left, c.top, c.right - c.left, c.bottom - c.top);
    macroPageRegion_ = shape;
    for (const ControlRect& c : {skin_.groupNameEdit, skin_.eventList, skin_.macroList, skin_.ledStepList,
                                 skin_.repeatCountEdit, skin_.macroNameEdit}) {
        macroPageRegion_ -= QRegion(c.left, c.top, c.right - c.left, c.bottom - c.top);
    }
}

void CORV_ZOvizaDlg::refreshTrayMenu() {
    std::vector<MenuItem> items = TrayMenuItems(session_.englishInterface, AutostartEnabled(AutostartFile()));
    addTrayOptions(items);
    tray_->setMenuItems(items);
    if (simPanel_) simPanel_->setEnglish(session_.englishInterface);
}

COrvMenu* CORV_ZOvizaDlg::trayMenu() const { return tray_->menu(); }

bool CORV_ZOvizaDlg::trayIconPresent() const { return tray_ && tray_->present(); }

void CORV_ZOvizaDlg::ExitProgram() {
    if (ended_) return;
    if (applying()) {
        // The mouse is left with a whole image, and the exit notice after it.
        exitAfterApply_ = true;
        refuseWhileApplying();
        return;
    }
    ended_ = true;
    tray_->remove();
    (void)device::SendExitNotice(session_.link);  // no write collection: nothing to tell
    ledPage_->leave();
    hide();
    Q_EMIT ended();
}

void CORV_ZOvizaDlg::DeviceRemoved() {
    if (ended_) return;
    ended_ = true;
    session_.link.devicePresent = false;
    tray_->remove();
    ledPage_->leave();
    hide();
    Q_EMIT ended();
}

void CORV_ZOvizaDlg::ShowAndRestore() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    showNormal();
    raise();
    activateWindow();
}

bool CORV_ZOvizaDlg::trayAvailable() const { return trayAvailable_ ? trayAvailable_() : tray_->available(); }

void CORV_ZOvizaDlg::HideToTray() {
    tray_->add();
    if (trayAvailable()) {
        showMinimized();
        hide();
    } else {
        showMinimized();  // no tray to come back from: stay on the task bar
    }
}

void CORV_ZOvizaDlg::minimiseWindow() { showMinimized(); }

void CORV_ZOvizaDlg::closeToTray() {
    Session& s = session_;
    // Without a loaded record there is no file to keep the level in, nor one
    // to go back to.
    if (s.settingsLoaded) {
        if (Status st = SaveDpiLevel(s.settings, s.folders.settingsFile()); !st.ok()) messages_.show(st.message());
    }
    if (!trayAvailable()) {
        // Without a tray there is no Exit to reach: the close button is the
        // only way out, and it ends the program as the tray's Exit would.
        ExitProgram();
        return;
    }
    if (s.settingsLoaded) LoadProfile(s.settings, s.folders.settingsFolder(), s.currentProfile, false, messages_);
    // The monitor answers multimedia and hold keys from the host view: a key
    // dropped with the unapplied changes must not be answered any more.
    PublishHostView(s);
    HideToTray();
}

void CORV_ZOvizaDlg::closeEvent(QCloseEvent* event) {
    // Closing from the window manager (Alt+F4) hides to the tray; only the
    // tray's Exit ends the program.
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    HideToTray();
}

std::string CORV_ZOvizaDlg::macroName(std::int32_t value) const {
    const auto [kind, group, index] = macro::MacroRef::FromAssignment(value);
    if (kind != macro::MacroRef::Kind::User) return std::string();
    const macro::GroupDirectory& g = session_.macros.groups;
    if (group < 0 || group >= g.groupCount || index >= macro::kMaxMacrosPerGroup) return std::string();
    return g.macroNames[static_cast<std::size_t>(group)][static_cast<std::size_t>(index)];
}

QRect CORV_ZOvizaDlg::areaRect(Page table, int area) const {
    auto rect = [](const AreaRect& a) { return QRect(a.x, a.y, a.width, a.height); };
    switch (table) {
        case Page::Main:
            return area >= 0 && area < kMainAreaCount ? rect(skin_.mainAreas[static_cast<std::size_t>(area)]) : QRect();
        case Page::Advanced:
            return area >= 0 && area < kAdvancedAreaCount ? rect(skin_.advancedAreas[static_cast<std::size_t>(area)])
                                                          : QRect();
        case Page::Macro:
            return area >= 0 && area < kMacroAreaCount ? rect(skin_.macroAreas[static_cast<std::size_t>(area)])
                                                       : QRect();
        case Page::Led:
            return area >= 0 && area < kLedAreaCount ? rect(skin_.ledAreas[static_cast<std::size_t>(area)]) : QRect();
    }
    return QRect();
}

}  // namespace kx700::ui
