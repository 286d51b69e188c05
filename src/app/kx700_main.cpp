// kx700: the configurator's window. CORV_ZOvizaApp makes sure one copy runs,
// finds the program's folder and runs the main window until it ends.
#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

#include "app/gui_messages.h"
#include "app/single_instance.h"
#include "device/make_backend.h"
#include "device/sim_state_file.h"
#include "platform/autostart.h"
#include "platform/mouse_lock.h"
#include "platform/system_mouse.h"
#include "programming/session.h"
#include "quit_signals.h"
#include "ui/main_window.h"

namespace {

constexpr const char* kUsage =
    "usage: kx700 [--simulate | --sim-state FILE] [--sim-panel] [--data-dir DIR] [-HIDE]\n"
    "             [--screenshot FILE [--page main|advanced|macro|led] [--lang en|cn]]\n"
    "\n"
    "  --simulate        run on the built-in simulated mouse\n"
    "  --sim-state FILE  keep the simulated mouse's state in FILE (implies --simulate)\n"
    "  --sim-panel       open the simulated mouse's panel (its buttons, switches, fault\n"
    "                    knobs, memory and log); the tray menu opens it too\n"
    "  --data-dir DIR    keep all files in DIR, as one portable folder (also KX700_HOME);\n"
    "                    installed, data comes from <prefix>/share/kx700 and settings and\n"
    "                    macros are kept in ${XDG_DATA_HOME:-~/.local/share}/kx700\n"
    "  -HIDE             start minimised\n"
    "  --screenshot FILE draw the started window into a PNG and end\n";

struct Args {
    bool simulate = false;
    bool simPanel = false;
    std::optional<std::filesystem::path> simState, dataDir;
    QString screenshot, page = QStringLiteral("main"), lang;
    bool help = false;
    QString error;
};

Args Parse(const QStringList& a) {
    Args r;
    for (int i = 1; i < a.size(); ++i) {
        auto value = [&](QString& out) {
            if (i + 1 >= a.size()) {
                r.error = a[i] + QStringLiteral(" needs a value");
                return;
            }
            out = a[++i];
        };
        QString v;
        if (a[i] == "--simulate") {
            r.simulate = true;
        } else if (a[i] == "--sim-panel") {
            r.simPanel = true;
        } else if (a[i] == "--sim-state") {
            value(v);
            r.simState = v.toStdString();
            r.simulate = true;
        } else if (a[i] == "--data-dir") {
            value(v);
            r.dataDir = v.toStdString();
        } else if (a[i] == "--screenshot") {
            value(r.screenshot);
        } else if (a[i] == "--page") {
            value(r.page);
        } else if (a[i] == "--lang") {
            value(r.lang);
        } else if (a[i] == "-h" || a[i] == "--help") {
            r.help = true;
        } else if (a[i].startsWith('-')) {
            continue;  // -HIDE and friends are read from the whole line
        } else {
            r.error = QStringLiteral("unexpected argument ") + a[i];
        }
    }
    return r;
}

}  // namespace

class CORV_ZOvizaApp {
public:
    int run(int argc, char** argv);
};

int CORV_ZOvizaApp::run(int argc, char** argv) {
    std::string commandLine;
    for (int i = 0; i < argc; ++i) commandLine += (i ? " " : "") + std::string(argv[i]);
    const Args args = Parse([&] {
        QStringList l;
        for (int i = 0; i < argc; ++i) l << QString::fromLocal8Bit(argv[i]);
        return l;
    }());
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!args.error.isEmpty()) {
        std::fprintf(stderr, "kx700: %s\n%s", qPrintable(args.error), kUsage);
        return 2;
    }
    const bool screenshot = !args.screenshot.isEmpty();
    if (screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    // Wayland matches the window to its desktop entry (name, icon) by this id.
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(kx700::kApplicationId.data(), static_cast<qsizetype>(kx700::kApplicationId.size())));
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));

    kx700::app::SingleInstance instance(QStringLiteral("Q7N3_ZOvizaApp"));
    if (!screenshot && !instance.acquire()) return 0;  // the first copy shows its window

    auto session = std::make_unique<kx700::Session>();
    kx700::app::MessageBoxSink messages(QFileInfo(QString::fromLocal8Bit(argv[0])).completeBaseName());
    kx700::StderrMessageSink quiet;
    kx700::MessageSink& sink = screenshot ? static_cast<kx700::MessageSink&>(quiet) : messages;
    if (const kx700::Status found = kx700::FindFolders(args.dataDir, session->folders); !found.ok()) {
        std::fprintf(stderr, "kx700: %s\n", found.message().c_str());
        if (!screenshot) sink.show(found.message());
        return 1;
    }
    session->messages = &sink;
    const std::unique_ptr<kx700::SystemMouse> desktop = kx700::MakeDesktopMouse();
    if (!screenshot) session->systemMouse = desktop.get();

    // One owner per mouse: a simulated mouse kept in a file is claimed before
    // the file is read; the real one once discovery has found its path.
    kx700::MouseLock mouseLock;
    auto claim = [&](const std::string& key) {
        using namespace std::chrono_literals;
        if (mouseLock.acquire(key, kx700::kWindowProgram, 2s) != kx700::MouseLock::Result::Held) return true;
        sink.show("The mouse is in use by " + mouseLock.holder().describe() +
                  ". Start kx700 again when it has finished.");
        return false;
    };

    if (args.simState && !screenshot && !claim(kx700::MouseKeyForFile(*args.simState))) return 1;
    kx700::device::Backend made;
    if (kx700::Status s = kx700::device::MakeBackend({args.simulate || screenshot, args.simState}, made); !s.ok()) {
        sink.show(s.message());
        return 1;
    }
    const std::shared_ptr<kx700::device::SimulatedMouse> sim = made.sim;
    kx700::device::HidBackend* const backend = made.backend.get();

    kx700::ui::StartOptions options;
    options.hideAtStart = !screenshot && kx700::ui::HideSwitch(commandLine);
    options.simPanel = args.simPanel && !screenshot;
    if (screenshot && !args.lang.isEmpty()) options.english = args.lang == "en";
    if (QScreen* screen = QGuiApplication::primaryScreen()) options.displayScale = screen->logicalDotsPerInchX() / 96.0;
    bool refused = false;
    if (!sim) {  // a simulated mouse was claimed with its state file
        options.claim = [&](const std::string& devicePath) { return !(refused = !claim(devicePath)); };
    }
    kx700::ui::CORV_ZOvizaDlg window(*session, *backend, sink, options);
    messages.setOwner(&window);
    QObject::connect(&instance, &kx700::app::SingleInstance::showRequested, &window,
                     &kx700::ui::CORV_ZOvizaDlg::ShowAndRestore);
    int result = 0;
    QObject::connect(&window, &kx700::ui::CORV_ZOvizaDlg::ended, &app, [&] { app.quit(); });
    if (!window.OnInitDialog()) return refused ? 1 : 0;
    instance.setApplyHandler([&window](auto answer) { window.ApplyForRequest(std::move(answer)); });

    if (screenshot) {
        const QStringList pages = {"main", "advanced", "macro", "led"};
        const auto index = pages.indexOf(args.page);
        if (index < 0) {
            std::fprintf(stderr, "kx700: unknown page %s\n%s", qPrintable(args.page), kUsage);
            return 2;
        }
        window.ChangePage(static_cast<kx700::ui::Page>(index));
        window.show();
        app.processEvents();
        const bool saved = window.grab().save(args.screenshot);
        if (!saved) std::fprintf(stderr, "kx700: cannot write %s\n", qPrintable(args.screenshot));
        return saved ? 0 : 1;
    }
    const kx700::app::QuitSignals quitSignals([&window] { window.ExitProgram(); });
    window.show();
    result = app.exec();
    if (sim && args.simState) {
        if (kx700::Status s = kx700::device::SaveSimState(*args.simState, sim->snapshot()); !s.ok()) {
            std::fprintf(stderr, "kx700: %s\n", s.message().c_str());
        }
    }
    return result;
}

int main(int argc, char** argv) { return CORV_ZOvizaApp().run(argc, argv); }
