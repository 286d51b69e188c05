// The window: start-up to the first composed frame, and one hover repaint
// with the decoded pictures kept versus decoding the page's pictures anew on
// every paint (as the original program did).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <filesystem>
#include <random>

#include "device/simulated_backend.h"
#include "macro/files.h"
#include "programming/functions.h"
#include "programming/session.h"
#include "ui/main_window.h"
#include "ui/page_painter.h"

namespace {

namespace fs = std::filesystem;

struct DataFolder {
    fs::path path = fs::temp_directory_path() / ("kx700-bench-ui-" + std::to_string(std::random_device{}()));
    DataFolder() {
        fs::create_directories(path);
        fs::copy(fs::path(KX700_STAGE_DIR) / "skins", path / "skins", fs::copy_options::recursive);
        fs::copy_file(fs::path(KX700_STAGE_DIR) / "constMacro.dat", path / "constMacro.dat");
    }
    ~DataFolder() { fs::remove_all(path); }
};

struct Started {
    kx700::Session session;
    kx700::RecordingMessageSink messages;
    std::shared_ptr<kx700::device::SimulatedMouse> mouse =
        std::make_shared<kx700::device::SimulatedMouse>(kx700::device::SimulatedMouseState{});
    kx700::device::SimulatedBackend backend{mouse};
    std::unique_ptr<kx700::ui::CORV_ZOvizaDlg> window;
    explicit Started(const fs::path& folder) {
        session.folders = kx700::Folders::Portable(folder);
        window = std::make_unique<kx700::ui::CORV_ZOvizaDlg>(session, backend, messages, kx700::ui::StartOptions{});
        if (!window->OnInitDialog()) std::abort();
    }
};

void BM_StartUpToFirstFrame(benchmark::State& state) {
    DataFolder data;
    for (auto _ : state) {
        Started s(data.path);
        benchmark::DoNotOptimize(s.window->renderFrame());
    }
}

kx700::ui::PaintModel Model(Started& s, int hot) {
    kx700::ui::PaintModel m;
    m.interaction.currentPage = kx700::ui::Page::Advanced;
    m.interaction.hotAdvanced = hot;
    m.settings = &s.session.settings;
    m.currentProfile = s.session.currentProfile;
    m.english = s.session.englishInterface;
    m.skin = &s.window->skin();
    m.labelFont = s.window->fonts().label;
    m.largeFont = s.window->fonts().large;
    return m;
}

void HoverRepaint(benchmark::State& state, bool keepPictures) {
    DataFolder data;
    Started s(data.path);
    kx700::SkinImageCache cache(s.session.folders.skinsFolder());
    QImage frame;
    int hot = 60;
    for (auto _ : state) {
        hot = hot == 60 ? 61 : 60;  // the pointer moves between two level buttons
        if (!keepPictures) cache.clear();
        kx700::ui::PaintPage(frame, Model(s, hot), cache);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
void BM_HoverRepaint_PicturesKept(benchmark::State& state) { HoverRepaint(state, true); }
void BM_HoverRepaint_DecodedEveryPaint(benchmark::State& state) { HoverRepaint(state, false); }

// Twenty distinct macros of 31 events in the first group, each on a button
// of the three profiles, and a constant macro on the last: 21 macro blocks.
void Assign21Macros(Started& s) {
    auto& m = s.session.macros;
    kx700::macro::MacroTable table;
    for (int i = 0; i < 20; ++i) {
        auto& r = table.slots[static_cast<std::size_t>(i)];
        r.eventCount = 31;
        r.repeatCount = static_cast<std::uint16_t>(i + 1);
        for (std::size_t e = 0; e < 31; ++e) {
            r.eventCode[e] = 0x04;
            r.eventType[e] = kx700::macro::TY_DOWN;
            r.eventDelay[e] = 20;
        }
    }
    table.macroCount = 20;
    if (!kx700::macro::SaveAllMacros(kx700::macro::GroupFile(m.folders.macroFolder, m.groups.groupNames[0]), table)
             .ok())
        std::abort();
    m.groups.currentGroup = 0;
    m.table = table;
    kx700::macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
    int next = 0;
    for (int p : kx700::kUserProfileSlots) {
        for (int b = 0; b < kx700::kButtons; ++b, ++next) {
            s.session.settings.buttonAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)] =
                next < 20 ? kx700::programming::MacroChoiceValue(0, next) : 32;
        }
    }
}

// One repaint of the Buttons page while its macro memory gauge shows 21
// assigned macros (compare BM_MeasureMacroMemory21Macros of apply_bench: what
// measuring the gauge anew would add to every frame).
void BM_RepaintWithGauge21Macros(benchmark::State& state) {
    DataFolder data;
    Started s(data.path);
    Assign21Macros(s);
    for (auto _ : state) benchmark::DoNotOptimize(s.window->renderFrame());
}

// The apply of 21 macro blocks from the window, as Apply starts it: the
// longest stretch the UI thread was busy (from one turn of its event loop to
// the next, painting the progress included) while the worker wrote.
void BM_ApplyUiThreadBusy(benchmark::State& state) {
    DataFolder data;
    Started s(data.path);
    s.window->show();
    // The window is on the screen before anybody can press Apply: its first
    // frame is not part of the apply.
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    Assign21Macros(s);
    double busyMaxMs = 0, sumMs = 0, floorMs = 0;
    std::size_t runs = 0;
    for (auto _ : state) {
        using Clock = std::chrono::steady_clock;
        Clock::time_point last = Clock::now();
        double longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const Clock::time_point now = Clock::now();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
        });
        tick.start(0);
        bool ended = false;
        kx700::programming::ApplyResult result;
        last = Clock::now();
        if (!s.window->StartApply([&](const kx700::programming::ApplyResult& r) {
                result = r;
                ended = true;
            }))
            state.SkipWithError("the apply did not start");
        while (!ended) QCoreApplication::processEvents(QEventLoop::AllEvents);
        // The end ran inside the last turn of the loop; the repaint it asked
        // for comes in the turns after it.
        QElapsedTimer after;
        after.start();
        while (after.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - last).count());
        if (!result.completed()) state.SkipWithError("the apply ended early");
        busyMaxMs = std::max(busyMaxMs, longest);  // the first apply included
        const double wallMs = std::chrono::duration<double, std::milli>(result.elapsed).count();
        floorMs = 6.0 * static_cast<double>(result.transactions - 2) + 4.0;
        sumMs += wallMs;
        ++runs;
        state.SetIterationTime(wallMs / 1000.0);
    }
    state.counters["ui_busy_max_ms"] = busyMaxMs;
    state.counters["ratio"] = sumMs / static_cast<double>(runs) / floorMs;
}

}  // namespace

BENCHMARK(BM_ApplyUiThreadBusy)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintWithGauge21Macros)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoverRepaint_PicturesKept)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoverRepaint_DecodedEveryPaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
