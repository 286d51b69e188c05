// Reading the macro files: all names of 12 groups x 20 macros, and loading
// one group, each against reading the same files' bytes once. The groups'
// macros use 100 of the 180 events and no light sequence, as recorded macros
// do; the dense group uses all of them (every value has the same length).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "macro/files.h"
#include "macro/groups.h"
#include "macro/value_format.h"
#include "platform/atomic_file.h"
#include "platform/profile.h"

namespace {

namespace fs = std::filesystem;
using namespace kx700;
using namespace kx700::macro;

struct Fixture {
    fs::path folder;
    GroupDirectory groups;
    Fixture() {
        folder = fs::temp_directory_path() / "kx700-macro-bench";
        fs::create_directories(folder);
        for (int g = 0; g < kMaxGroups; ++g) {
            const std::string name = "Group" + std::to_string(g);
            groups.groupNames[static_cast<std::size_t>(g)] = name;
            std::string text = "[Macros]\r\nmacroNum=20\r\n";
            for (int i = 0; i < kMaxMacrosPerGroup; ++i) {
                MacroRecord r;
                SetMacroName(r, "M" + std::to_string(i));
                r.eventCount = 100;
                for (int e = 0; e < 100; ++e) {
                    r.eventCode[static_cast<std::size_t>(e)] = 0x04;
                    r.eventType[static_cast<std::size_t>(e)] = TY_DOWN;
                    r.eventDelay[static_cast<std::size_t>(e)] = 20;
                }
                text += std::to_string(i) + "=" + FormatMacroValue(r) + "\r\n";
            }
            std::ofstream(folder / (name + ".dat"), std::ios::binary) << text;
        }
        groups.groupCount = kMaxGroups;
        // The same size, every event and light byte used: nothing to skip.
        std::string text = "[Macros]\r\nmacroNum=20\r\n";
        for (int i = 0; i < kMaxMacrosPerGroup; ++i) {
            MacroRecord r;
            SetMacroName(r, "D" + std::to_string(i));
            r.eventCount = kMaxEvents;
            for (std::size_t e = 0; e < kMaxEvents; ++e) {
                r.eventCode[e] = static_cast<std::uint8_t>(0x04 + e % 26);
                r.eventType[e] = TY_DOWN;
                r.eventDelay[e] = static_cast<std::uint16_t>(20 + e);
            }
            for (auto& l : r.ledTable)
                for (int b = 0; b < kLedSequenceBytes; ++b) l.setByteAt(b, static_cast<std::uint8_t>(b + 1));
            text += std::to_string(i) + "=" + FormatMacroValue(r) + "\r\n";
        }
        std::ofstream(folder / "Dense.dat", std::ios::binary) << text;
    }
    fs::path file(int g) const { return folder / ("Group" + std::to_string(g) + ".dat"); }
};

const Fixture& Files() {
    static const Fixture f;
    return f;
}

void BM_ReadBytesOfAllGroups(benchmark::State& state) {
    const Fixture& f = Files();
    for (auto _ : state)
        for (int g = 0; g < kMaxGroups; ++g) benchmark::DoNotOptimize(fileio::ReadWholeFile(f.file(g)));
}
BENCHMARK(BM_ReadBytesOfAllGroups);

void BM_ReadAllMacroNames(benchmark::State& state) {
    const Fixture& f = Files();
    GroupDirectory groups = f.groups;
    for (auto _ : state) {
        profile::DropCache();  // a cold read, as at start-up
        ReadAllMacroNames(f.folder, groups);
        benchmark::DoNotOptimize(groups);
    }
}
BENCHMARK(BM_ReadAllMacroNames);

void BM_ReadBytesOfOneGroup(benchmark::State& state) {
    const Fixture& f = Files();
    for (auto _ : state) benchmark::DoNotOptimize(fileio::ReadWholeFile(f.file(0)));
}
BENCHMARK(BM_ReadBytesOfOneGroup);

void BM_LoadGroupFile(benchmark::State& state) {
    const Fixture& f = Files();
    auto table = std::make_unique<MacroTable>();
    RecordingMessageSink sink;
    for (auto _ : state) {
        profile::DropCache();
        LoadGroupFile(f.file(0), *table, sink);
        benchmark::DoNotOptimize(table->slots[19]);
    }
}
BENCHMARK(BM_LoadGroupFile);

void BM_LoadDenseGroupFile(benchmark::State& state) {
    const Fixture& f = Files();
    auto table = std::make_unique<MacroTable>();
    RecordingMessageSink sink;
    for (auto _ : state) {
        profile::DropCache();
        LoadGroupFile(f.folder / "Dense.dat", *table, sink);
        benchmark::DoNotOptimize(table->slots[19]);
    }
}
BENCHMARK(BM_LoadDenseGroupFile);

// One keystroke in the group-name box: the list written, the group's file
// moved to the new name, the name directory read again (warm cache, as while
// typing). Compare with BM_ReadAllMacroNames and the list write alone.
void BM_RenameGroupKeystroke(benchmark::State& state) {
    const Fixture& f = Files();
    auto m = std::make_unique<MacroState>();
    m->folders.macroFolder = f.folder;
    m->groups = f.groups;
    RecordingMessageSink sink;
    if (!WriteGroupList(*m).ok()) state.SkipWithError("cannot write the group list");
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        const RenameResult r = RenameGroup(*m, longer ? "Group0x" : "Group0", sink);
        if (r != RenameResult::Renamed) state.SkipWithError("rename refused");
    }
    // The next run starts from the fixture's names again.
    if (longer) RenameGroup(*m, "Group0", sink);
}
BENCHMARK(BM_RenameGroupKeystroke);

void BM_WriteGroupList(benchmark::State& state) {
    const Fixture& f = Files();
    auto m = std::make_unique<MacroState>();
    m->folders.macroFolder = f.folder;
    m->groups = f.groups;
    for (auto _ : state) benchmark::DoNotOptimize(WriteGroupList(*m));
}
BENCHMARK(BM_WriteGroupList);

}  // namespace

BENCHMARK_MAIN();
