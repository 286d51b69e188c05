// The window's parts that watch the mouse itself: the note on the switches the
// mouse makes by itself, and the panel that plays the simulated mouse.
#include <QScreen>
#include <algorithm>

#include "device/simulated_backend.h"
#include "platform/profile.h"
#include "ui/main_window.h"
#include "ui/mouse_note.h"
#include "ui/sim_panel.h"

namespace kx700::ui {
namespace {

// config.ini's [Init] keys of the tray's ticks.
constexpr const char* kSwitchNoteKey = "SWITCH_NOTE";
constexpr const char* kSimPanelKey = "SIM_PANEL";
constexpr const char* kFileFolderKey = "FILE_FOLDER";

// A tick as kept: "0" is off, anything else on; missing gives `otherwise`.
bool ReadTick(const std::filesystem::path& file, const char* key, bool otherwise) {
    return profile::ReadString(file, "Init", key, otherwise ? "1" : "0", 8) != "0";
}

// Beside config.ini, not in it: the folder is remembered when a dialog
// answers, which for an import is just before config.ini is replaced.
std::filesystem::path FileFolderFile(const Folders& folders) { return folders.settingsFolder() / "window.ini"; }

}  // namespace

void CORV_ZOvizaDlg::readWindowOptions() {
    const std::filesystem::path file = session_.folders.settingsFile();
    switchNotes_ = ReadTick(file, kSwitchNoteKey, true);
    simPanelWanted_ = options_.simPanel || ReadTick(file, kSimPanelKey, false);
    fileFolder_ = profile::ReadString(FileFolderFile(session_.folders), "Init", kFileFolderKey, "", 4096);
}

void CORV_ZOvizaDlg::rememberFileFolder(const std::filesystem::path& folder) {
    if (folder == fileFolder_) return;
    fileFolder_ = folder;
    if (const Status st =
            profile::WriteString(FileFolderFile(session_.folders), "Init", kFileFolderKey, folder.string());
        !st.ok())
        messages_.show(st.message());
}

void CORV_ZOvizaDlg::saveWindowOption(const char* key, bool on) {
    // Without a loaded settings file the choice lasts this run: a file made
    // for it would hold profiles of zeros.
    if (!session_.settingsLoaded) return;
    if (const Status st = profile::WriteString(session_.folders.settingsFile(), "Init", key, on ? "1" : "0"); !st.ok())
        messages_.show(st.message());
}

void CORV_ZOvizaDlg::addTrayOptions(std::vector<MenuItem>& items) const {
    const bool en = session_.englishInterface;
    std::vector<MenuItem> own{{kSwitchNoteCommand,
                               en ? QStringLiteral("Show the mouse's switches") : QStringLiteral("显示鼠标切换提示"),
                               {},
                               true,
                               switchNotes_}};
    if (onSimulatedMouse()) {
        own.push_back({kSimPanelCommand,
                       en ? QStringLiteral("Simulated mouse panel") : QStringLiteral("模拟鼠标面板"),
                       {},
                       true,
                       simPanel_ != nullptr && simPanel_->isVisible()});
    }
    // Before the last item (exit).
    items.insert(items.empty() ? items.end() : items.end() - 1, own.begin(), own.end());
}

void CORV_ZOvizaDlg::setSwitchNotes(bool on) {
    switchNotes_ = on;
    saveWindowOption(kSwitchNoteKey, on);
    refreshTrayMenu();
}

void CORV_ZOvizaDlg::noteMouseSwitch(const programming::MonitorEvent& e) {
    if (!switchNotes_ || ended_) return;
    using Kind = programming::MonitorEvent::Kind;
    const bool en = session_.englishInterface;
    if (e.kind == Kind::ProfileChanged) {
        // The mouse names its slot; the user knows the profile (slot 1 is none of them).
        const auto profile = std::find(kUserProfileSlots.begin(), kUserProfileSlots.end(), e.value);
        if (profile == kUserProfileSlots.end()) return;
        note_->show(ProfileNoteText(en, static_cast<int>(profile - kUserProfileSlots.begin()), session_.profileNames),
                    fonts_.large);
    } else if (e.kind == Kind::CpiLevel && e.value >= 0 && e.value < kCpiLevels) {
        const int step = session_.settings.dpiStep[static_cast<std::size_t>(e.value)];
        note_->show(CpiNoteText(en, e.value, CpiOfStep(step)), fonts_.large);
    }
}

bool CORV_ZOvizaDlg::onSimulatedMouse() const { return dynamic_cast<device::SimulatedBackend*>(&backend_) != nullptr; }

void CORV_ZOvizaDlg::setSimPanelShown(bool shown) {
    auto* sim = dynamic_cast<device::SimulatedBackend*>(&backend_);
    if (sim == nullptr) return;  // the real mouse has no panel
    if (shown && simPanel_ == nullptr) {
        // The panel's button for CPI levels: the current profile's button that
        // reports them, as the last apply set the mouse up.
        auto cpiButton = [this] {
            const auto p = static_cast<std::size_t>(session_.currentProfile & 3);
            for (std::size_t b = 0; b < static_cast<std::size_t>(kButtons); ++b) {
                if (session_.hostView.dpiReportFlag[p][b].load()) return kHardwareButtonCode[b];
            }
            return -1;
        };
        simPanel_ = new SimPanel(sim->sharedMouse(), session_.englishInterface, cpiButton, this);
        simPanel_->setWindowFlag(Qt::Window);
        // Beside the window where the screen has room, else at the screen's right edge.
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
        const QRect own = frameGeometry();
        int x = own.right() + 8;
        if (x + SimPanel::kWidth > screen.right()) x = own.left() - SimPanel::kWidth - 8;
        if (x < screen.left()) x = screen.right() - SimPanel::kWidth;
        simPanel_->move(x, std::max(screen.top(), own.top()));
        connect(simPanel_, &SimPanel::closed, this, [this] {
            saveWindowOption(kSimPanelKey, false);
            refreshTrayMenu();
        });
    }
    if (simPanel_ != nullptr) {
        if (shown) {
            simPanel_->show();
            simPanel_->raise();
        } else {
            simPanel_->hide();
        }
    }
    saveWindowOption(kSimPanelKey, shown);
    refreshTrayMenu();
}

}  // namespace kx700::ui
