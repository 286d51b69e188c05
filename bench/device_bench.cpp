// Writing a 2 KiB memory image in 8-byte blocks to the simulated mouse. The
// protocol's floor is the sum of its pauses (6 ms a block); `ratio` is wall
// time over that floor, so 1.00 means no time lost beyond what the mouse needs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "device/protocol.h"
#include "device/simulated_backend.h"

namespace {

using namespace kx700::device;

constexpr std::size_t kImageBytes = 2048;

void BM_WriteImage2KiB(benchmark::State& state) {
    auto mouse = std::make_shared<SimulatedMouse>();
    SimulatedBackend backend(mouse);
    DeviceLink link;
    if (DiscoverDevice(link, backend).result != DiscoveryResult::Ready) {
        state.SkipWithError("simulated mouse not found");
        return;
    }
    std::vector<std::uint8_t> image(kImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
    constexpr std::size_t blocks = kImageBytes / kMaxBlockLength;
    const auto floor = blocks * (kPauseBeforeEndBlock + kPauseAfterEndBlock);

    std::chrono::steady_clock::duration wall{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t b = 0; b < blocks; ++b) {
            const auto address = static_cast<std::uint16_t>(0x240 + b * kMaxBlockLength);
            if (!WriteDeviceMemory(link, address, std::span(image).subspan(b * kMaxBlockLength, kMaxBlockLength))) {
                state.SkipWithError("memory write failed");
                return;
            }
        }
        wall += std::chrono::steady_clock::now() - start;
    }
    if (mouse->violations().total() != 0) state.SkipWithError("the simulated mouse counted protocol faults");
    const double perRun = std::chrono::duration<double>(wall).count() / static_cast<double>(state.iterations());
    state.counters["floor_ms"] = std::chrono::duration<double, std::milli>(floor).count();
    state.counters["ratio"] = perRun / std::chrono::duration<double>(floor).count();
}
BENCHMARK(BM_WriteImage2KiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
