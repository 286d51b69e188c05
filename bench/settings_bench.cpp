// Loading all four profiles and saving them, with the parse cache cold
// (every file parsed anew) and warm (unchanged file, served from the cache).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/message_sink.h"
#include "platform/profile.h"
#include "settings/settings_file.h"

namespace {

namespace fs = std::filesystem;

class Folder {
public:
    Folder() {
        path_ = fs::temp_directory_path() / ("kx700-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
        kx700::MouseSettings s;
        for (auto& row : s.buttonAssign) row = {1, 2, 3, 4, 5, 6, 16};
        const int all[] = {0, 1, 2, 3};
        if (!kx700::SaveProfiles(s, path_ / "config.ini", all).ok()) std::abort();
        // Age the file past the cache's "changed just now" window.
        fs::last_write_time(path_ / "config.ini", fs::file_time_type::clock::now() - std::chrono::minutes(5));
    }
    ~Folder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void LoadFourProfiles(benchmark::State& state, bool cold) {
    Folder folder;
    kx700::RecordingMessageSink messages;
    kx700::MouseSettings s;
    for (auto _ : state) {
        if (cold) kx700::profile::DropCache();
        for (int slot = 0; slot < kx700::kProfileSlots; ++slot) {
            benchmark::DoNotOptimize(kx700::LoadProfile(s, folder.path(), slot, false, messages));
        }
    }
}
void BM_LoadFourProfiles_Cold(benchmark::State& state) { LoadFourProfiles(state, true); }
void BM_LoadFourProfiles_Warm(benchmark::State& state) { LoadFourProfiles(state, false); }

// Saving with one changed value each time, so every iteration replaces the file.
void SaveFourProfiles(benchmark::State& state, bool cold) {
    Folder folder;
    kx700::MouseSettings s;
    const int all[] = {0, 1, 2, 3};
    for (auto _ : state) {
        if (cold) kx700::profile::DropCache();
        s.dpiLevel = (s.dpiLevel + 1) % 4;
        if (!kx700::SaveProfiles(s, folder.path() / "config.ini", all).ok()) state.SkipWithError("save failed");
    }
}
void BM_SaveFourProfiles_Cold(benchmark::State& state) { SaveFourProfiles(state, true); }
void BM_SaveFourProfiles_Warm(benchmark::State& state) { SaveFourProfiles(state, false); }

// The same save as four hundred single-key writes: what one batch saves.
void BM_SaveFourProfiles_KeyByKey(benchmark::State& state) {
    Folder folder;
    const fs::path file = folder.path() / "config.ini";
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int slot = 0; slot < 4; ++slot) {
            const std::string section = "Config" + std::to_string(slot);
            for (int k = 0; k < 28; ++k) {
                if (!kx700::profile::WriteString(file, section, "KEY" + std::to_string(k), std::to_string(round)).ok())
                    state.SkipWithError("write failed");
            }
            for (int k = 0; k < 72; ++k) {
                if (!kx700::profile::WriteString(file, "ShareData", "S" + std::to_string(k), std::to_string(round))
                         .ok())
                    state.SkipWithError("write failed");
            }
        }
    }
}

}  // namespace

BENCHMARK(BM_LoadFourProfiles_Cold);
BENCHMARK(BM_LoadFourProfiles_Warm);
BENCHMARK(BM_SaveFourProfiles_Cold);
BENCHMARK(BM_SaveFourProfiles_Warm);
BENCHMARK(BM_SaveFourProfiles_KeyByKey)->Iterations(3);
BENCHMARK_MAIN();
