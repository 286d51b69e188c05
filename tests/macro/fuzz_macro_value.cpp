// Arbitrary text as a macro value: parsing never leaves the record, and what
// was parsed writes and reads back unchanged; the record operations, the
// event text and the encoder stay inside their tables whatever the counters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "macro/event_text.h"
#include "macro/upload.h"
#include "macro/value_format.h"

using namespace kx700;
using namespace kx700::macro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MacroRecord r = ParseMacroValue(text);
    const MacroRecord again = ParseMacroValue(FormatMacroValue(r));
    // Codes that no key maps to cannot survive the key conversion; all else must.
    if (again.eventCount != r.eventCount || again.ledTable != r.ledTable || again.name != r.name) __builtin_trap();

    RecordingMessageSink sink;
    (void)MacroLines(r);
    for (const LedSequence& s : r.ledTable) (void)LedStepLines(s, true, {});
    const MacroRecord unrolled = UnrollShortMacro(r);
    const std::size_t measured = MeasureMacroImage(unrolled);
    const std::size_t imageSize = measured < 8192 ? measured : 8192;
    if (EncodeMacroImage(unrolled, 0x240, imageSize, 1 + size % 8, sink).bytes.size() != imageSize) __builtin_trap();

    const int p = size > 0 ? data[0] % 200 : 0;
    DeleteEvent(r, p);
    InsertEvent(r, p, size > 1 ? data[1] : 0, TY_LED0, sink);
    InsertEvent(r, 0, EV_FB, TY_DOWN, sink);
    return 0;
}
