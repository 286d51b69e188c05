// The window: start-up to the first composed frame, and one hover repaint
// with the decoded pictures kept versus decoding the page's pictures anew on
// every paint (as the original program did).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <random>

#include "device/simulated_backend.h"
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

}  // namespace

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
