// Feeds arbitrary text to the simulated mouse's state file parser: nothing may
// crash, and whatever it accepts must write back to text it reads the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/sim_state_file.h"

using namespace kx700::device;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SimulatedMouseState state;
    if (!ParseSimState(text, state)) return 0;
    const std::string written = SerializeSimState(state);
    SimulatedMouseState again;
    if (!ParseSimState(written, again) || SerializeSimState(again) != written) __builtin_trap();
    return 0;
}
