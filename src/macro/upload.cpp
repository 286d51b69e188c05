#include "macro/upload.h"

#include <algorithm>

namespace kx700::macro {
namespace {

std::size_t U(int i) { return static_cast<std::size_t>(i); }
std::size_t RoundUp8(std::size_t n) { return (n + 7) / 8 * 8; }

// A file may claim more steps or sequences than the tables hold.
int StepsOf(const LedSequence& s) { return std::min<int>(s.stepCount, kLedSteps); }
int SlotsInUse(std::uint8_t count) { return std::min<int>(count, kLedSlots); }
std::size_t BlockBytes(int steps) { return 4 + 4 * static_cast<std::size_t>(steps); }

// Appends bytes to the image, never past its end.
class ImageCursor {
public:
    ImageCursor(std::vector<std::uint8_t>& bytes, std::size_t at) : bytes_(bytes), at_(at) {}
    void put(std::uint8_t b) {
        if (at_ < bytes_.size()) bytes_[at_] = b;
        ++at_;
    }
    void put16(std::uint16_t v) {
        put(static_cast<std::uint8_t>(v & 0xFF));
        put(static_cast<std::uint8_t>(v >> 8));
    }

private:
    std::vector<std::uint8_t>& bytes_;
    std::size_t at_;
};

std::uint16_t Signed16(int v) { return static_cast<std::uint16_t>(v & 0xFFFF); }

void PutMove(ImageCursor& c, std::uint8_t d, std::uint8_t type, EventParam p) {
    const bool xNegative = type == TY_MOVE_XNEG_YNEG || type == TY_MOVE_XNEG_YPOS;
    const bool yNegative = type == TY_MOVE_XNEG_YNEG || type == TY_MOVE_XPOS_YNEG;
    c.put(d);
    c.put(EV_MOVE);
    c.put16(Signed16(xNegative ? -int{p.x} : int{p.x}));
    c.put16(Signed16(yNegative ? -int{p.y} : int{p.y}));
}

}  // namespace

MacroRecord UnrollShortMacro(const MacroRecord& r) {
    if (r.runMode != RUN_MODE2) return r;
    const int n = EventsInUse(r);
    unsigned long total = 0;
    for (int i = 0; i < n; ++i) total += r.eventDelay[U(i)];
    const unsigned long k = 40 / std::max(total, 1UL);
    if (k < 2 || n == 0) return r;

    MacroRecord out = r;
    int count = n;
    for (unsigned long copy = 1; copy < k && count < kMaxEvents; ++copy) {
        for (int i = 0; i < n && count < kMaxEvents; ++i, ++count) {
            const std::uint8_t code = r.eventCode[U(i)];
            out.eventType[U(count)] = r.eventType[U(i)];
            out.eventCode[U(count)] = code <= EV_MOVE ? code : EV_DELAY;
            out.eventParam[U(count)] = r.eventParam[U(i)];
            out.eventDelay[U(count)] = r.eventDelay[U(i)];
            if (code == EV_MOVE) ++out.moveCount;
        }
    }
    out.eventCount = static_cast<std::uint16_t>(count);
    return out;
}

std::size_t MeasureMacroImage(const MacroRecord& r) {
    std::size_t size = RoundUp8(2 + 2 * std::size_t{r.eventCount} + 4 * std::size_t{r.moveCount} +
                                2 * (std::size_t{r.countF7} + r.cpiCount + r.countFA + r.ledCount + r.countFB));
    for (int s = 0; s < SlotsInUse(r.ledCount); ++s) size += RoundUp8(BlockBytes(StepsOf(r.ledTable[U(s)])));
    for (int s = 0; s < SlotsInUse(r.countFB); ++s) size += RoundUp8(BlockBytes(StepsOf(r.auxTable[U(s)])));
    return size;
}

std::uint8_t PauseIntervals(std::uint16_t delayMs, int pollIntervalMs) {
    const int d = delayMs / std::max(pollIntervalMs, 1);
    return static_cast<std::uint8_t>(std::clamp(d, 1, 127));
}

EncodedImage EncodeMacroImage(const MacroRecord& r, std::uint32_t address, std::size_t size, int pollIntervalMs,
                              MessageSink& sink) {
    EncodedImage image;
    image.bytes.assign(size, 0);
    const int mode = r.runMode & 0x03;
    ImageCursor element(image.bytes, 0);
    element.put16(mode == RUN_MODE1 || mode == RUN_MODE2 ? std::uint16_t{1} : r.repeatCount);

    // LED blocks follow the element area as the measure counts it.
    std::size_t ledOffset = RoundUp8(2 + 2 * std::size_t{r.eventCount} + 4 * std::size_t{r.moveCount} +
                                     2 * (std::size_t{r.countF7} + r.cpiCount + r.countFA + r.ledCount + r.countFB));

    for (int i = 0; i < EventsInUse(r); ++i) {
        const std::uint8_t code = r.eventCode[U(i)];
        const std::uint8_t type = r.eventType[U(i)];
        const EventParam p = r.eventParam[U(i)];
        const std::uint16_t delay =
            i == 0 && r.runMode == RUN_MODE2 ? std::max<std::uint16_t>(r.eventDelay[0], 8) : r.eventDelay[U(i)];
        const std::uint8_t d = PauseIntervals(delay, pollIntervalMs);
        switch (code) {
            case EV_DELAY:
                element.put(d);
                element.put(0);
                break;
            case EV_CPI:
                element.put(type == TY_CPI_SET ? static_cast<std::uint8_t>(d | 0x80) : type == TY_CPI_RESTORE ? d : 0);
                element.put(EV_CPI);
                element.put(static_cast<std::uint8_t>(p.x & 0xFF));
                element.put(0);
                break;
            case EV_MOVE: PutMove(element, d, type, p); break;
            case EV_LED: {
                if (r.ledCount == 0) {
                    sink.show("Error!");
                    break;
                }
                // A sequence without steps would make a block whose step
                // byte reads 0xFF; such an event is left out.
                if (p.x >= kLedSlots || r.ledTable[p.x].stepCount == 0) break;
                int channel = type - TY_LED0;
                if (type < TY_LED0 || type > TY_LED2) {
                    sink.show("Error!");
                    channel = 0;
                }
                const auto a = static_cast<std::uint32_t>(address + ledOffset);
                element.put(d);
                element.put(EV_LED);
                element.put(static_cast<std::uint8_t>(a & 0xFF));
                element.put(static_cast<std::uint8_t>(((a >> 8) & 0x3F) | static_cast<std::uint32_t>(channel << 6)));

                const LedSequence& seq = r.ledTable[p.x];
                const int steps = StepsOf(seq);
                ImageCursor block(image.bytes, ledOffset);
                block.put(static_cast<std::uint8_t>(steps - 1));
                for (int b = 1; b < static_cast<int>(BlockBytes(steps)); ++b) block.put(seq.byteAt(b));
                ledOffset += RoundUp8(BlockBytes(steps));
                if (address + ledOffset - 1 > kLedAddressLimit) {
                    sink.show("Error!");
                    image.applyMayContinue = false;
                    return image;
                }
                break;
            }
            default:
                if (type == TY_DOWN || type == TY_UP) {
                    element.put(type == TY_DOWN ? static_cast<std::uint8_t>(d | 0x80) : d);
                    element.put(code);
                }
                break;
        }
    }
    return image;
}

void WriteImage(MemoryWriter& writer, std::uint16_t address, std::span<const std::uint8_t> image) {
    for (std::size_t at = 0; at < image.size(); at += kMemoryBlock) {
        const std::size_t device = std::size_t{address} + at;
        if (device > 0xFFFF) return;
        const std::size_t n = std::min(kMemoryBlock, image.size() - at);
        writer.writeMemory(static_cast<std::uint16_t>(device), image.subspan(at, n));
    }
}

void CorrectMoves(MacroRecord& r, bool up) {
    for (int i = 0; i < EventsInUse(r); ++i) {
        if (r.eventCode[U(i)] != EV_MOVE) continue;
        std::uint16_t& y = r.eventParam[U(i)].y;
        if (up && y < 30) ++y;
        if (!up && y > 0) --y;
    }
}

}  // namespace kx700::macro
