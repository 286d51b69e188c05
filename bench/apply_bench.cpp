// The whole apply against the simulated mouse: the factory settings, and 21
// distinct macros filling the macro area. Reported as wall time over the
// protocol's floor (the pauses it mandates: 6 ms per memory write, 2 ms each
// for the CPI state and the finish) and the time spent outside those pauses.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "device/simulated_backend.h"
#include "macro/files.h"
#include "programming/apply.h"
#include "programming/functions.h"
#include "programming/macro_memory.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
    fs::path dir = fs::temp_directory_path() / ("kx700-bench-apply-" + std::to_string(std::random_device{}()));
    kx700::RecordingMessageSink messages;
    std::shared_ptr<kx700::device::SimulatedMouse> mouse =
        std::make_shared<kx700::device::SimulatedMouse>(kx700::device::SimulatedMouseState{});
    kx700::device::SimulatedBackend backend{mouse};
    kx700::Session session;

    Fixture() {
        fs::create_directories(dir);
        fs::copy(fs::path(KX700_STAGE_DIR) / "skins", dir / "skins", fs::copy_options::recursive);
        fs::copy_file(fs::path(KX700_STAGE_DIR) / "constMacro.dat", dir / "constMacro.dat");
        session.folders = kx700::Folders::Portable(dir);
        session.messages = &messages;
        kx700::LoadSessionData(session);
        kx700::device::DiscoverDevice(session.link, backend);
    }
    ~Fixture() { fs::remove_all(dir); }

    // Twenty short distinct macros in the first group, plus a constant one:
    // 21 blocks, as many as the buttons of three profiles can name.
    void fillMacros() {
        kx700::macro::MacroTable table;
        for (int i = 0; i < 20; ++i) {
            auto& r = table.slots[static_cast<std::size_t>(i)];
            for (int e = 0; e < 8; ++e)
                kx700::macro::InsertEvent(r, e, static_cast<std::uint8_t>(0x04 + e), 1, messages);
            r.repeatCount = static_cast<std::uint16_t>(i + 1);
        }
        table.macroCount = 20;
        auto& m = session.macros;
        if (!kx700::macro::SaveAllMacros(m.folders.macroFolder / (m.groups.groupNames[0] + ".dat"), table).ok())
            std::abort();
        m.table = table;
        kx700::macro::ReadAllMacroNames(m.folders.macroFolder, m.groups);
        int next = 0;
        for (int p : {0, 2, 3}) {
            for (int b = 0; b < 7; ++b) {
                session.settings.buttonAssign[static_cast<std::size_t>(p)][static_cast<std::size_t>(b)] =
                    next < 20 ? kx700::programming::MacroChoiceValue(0, next) : 32;
                ++next;
            }
        }
        session.settings.buttonAssign[0][0] = 1;
    }
};

void RunApply(benchmark::State& state, bool macros) {
    Fixture f;
    if (macros) f.fillMacros();
    double floorMs = 0, wallMs = 0, firstMs = 0, sumMs = 0;
    std::size_t transactions = 0, runs = 0;
    for (auto _ : state) {
        const kx700::programming::ApplyResult r = kx700::programming::ApplySettings(f.session);
        if (!r.completed()) state.SkipWithError("the apply ended early");
        transactions = r.transactions;
        floorMs = 6.0 * static_cast<double>(r.transactions - 2) + 4.0;
        wallMs = std::chrono::duration<double, std::milli>(r.elapsed).count();
        state.SetIterationTime(wallMs / 1000.0);
        if (runs++ == 0) firstMs = wallMs;
        sumMs += wallMs;
    }
    // The mean over every apply, the first included: a user applies once.
    const double meanMs = sumMs / static_cast<double>(runs);
    state.counters["transactions"] = static_cast<double>(transactions);
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = meanMs / floorMs;
    state.counters["first_ratio"] = firstMs / floorMs;
    state.counters["outside_pauses_ms"] = meanMs - floorMs;
}

// The macro memory gauge measures the image at every paint that shows it:
// 21 macro blocks read from their group file and encoded, without a write.
void BM_MeasureMacroMemory21Macros(benchmark::State& state) {
    Fixture f;
    f.fillMacros();
    for (auto _ : state) benchmark::DoNotOptimize(kx700::programming::MeasureMacroMemory(f.session));
}

void BM_ApplyFactorySettings(benchmark::State& state) { RunApply(state, false); }
void BM_Apply21Macros(benchmark::State& state) { RunApply(state, true); }

}  // namespace

BENCHMARK(BM_MeasureMacroMemory21Macros)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ApplyFactorySettings)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Apply21Macros)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
