// The macro image: unrolling, measuring, encoding and writing.
#include "macro/upload.h"

#include <gtest/gtest.h>

namespace kx700::macro {
namespace {

using Bytes = std::vector<std::uint8_t>;
std::size_t U(int i) { return static_cast<std::size_t>(i); }

void Add(MacroRecord& r, std::uint8_t code, std::uint8_t type, std::uint16_t delay, EventParam p = {}) {
    const int i = r.eventCount++;
    r.eventCode[U(i)] = code;
    r.eventType[U(i)] = type;
    r.eventDelay[U(i)] = delay;
    r.eventParam[U(i)] = p;
    if (code == EV_MOVE) ++r.moveCount;
    if (code == EV_CPI) ++r.cpiCount;
    if (code == EV_LED) ++r.ledCount;
}

Bytes Encode(const MacroRecord& r, RecordingMessageSink& sink, int poll = 1, std::uint32_t address = 0x240) {
    const EncodedImage image = EncodeMacroImage(r, address, MeasureMacroImage(r), poll, sink);
    EXPECT_TRUE(image.applyMayContinue);
    return image.bytes;
}

TEST(MacroImage, CountedKeyMacro) {
    MacroRecord r;
    r.repeatCount = 3;
    Add(r, 0x04, TY_DOWN, 10);
    Add(r, 0x04, TY_UP, 20);
    RecordingMessageSink sink;
    EXPECT_EQ(MeasureMacroImage(r), 8u);
    EXPECT_EQ(Encode(r, sink), (Bytes{0x03, 0x00, 0x8A, 0x04, 0x14, 0x04, 0x00, 0x00}));
    EXPECT_TRUE(sink.messages().empty());
}

TEST(MacroImage, PauseConversion) {
    struct Row {
        std::uint16_t ms;
        int poll;
        std::uint8_t d;
    };
    for (Row row : {Row{5, 8, 1}, Row{1000, 8, 125}, Row{2000, 8, 127}, Row{0, 1, 1}, Row{300, 2, 127}, Row{9, 4, 2}})
        EXPECT_EQ(PauseIntervals(row.ms, row.poll), row.d) << row.ms << "/" << row.poll;
}

TEST(MacroImage, ElementOfEveryKind) {
    struct Row {
        const char* what;
        std::uint8_t code, type;
        EventParam p;
        Bytes element;
    };
    const std::vector<Row> rows = {
        {"set CPI", EV_CPI, TY_CPI_SET, {7, 0}, {0x85, 0xF8, 0x07, 0x00}},
        {"restore CPI", EV_CPI, TY_CPI_RESTORE, {7, 0}, {0x05, 0xF8, 0x07, 0x00}},
        {"other CPI", EV_CPI, 4, {0x107, 0}, {0x00, 0xF8, 0x07, 0x00}},
        {"move X- Y-", EV_MOVE, 3, {5, 10}, {0x05, 0xF6, 0xFB, 0xFF, 0xF6, 0xFF}},
        {"move X+ Y+", EV_MOVE, 6, {5, 10}, {0x05, 0xF6, 0x05, 0x00, 0x0A, 0x00}},
        {"move of no sign type", EV_MOVE, 1, {5, 10}, {0x05, 0xF6, 0x05, 0x00, 0x0A, 0x00}},
        {"pause", EV_DELAY, 0, {}, {0x05, 0x00}},
        {"right button down", EV_MOUSE_RIGHT, TY_DOWN, {}, {0x85, 0xF3}},
        {"reserved kind up", EV_FA, TY_UP, {}, {0x05, 0xFA}},
        {"key of no direction", 0x04, 0, {}, {}},
    };
    for (const Row& row : rows) {
        MacroRecord r;
        r.repeatCount = 1;
        Add(r, row.code, row.type, 5, row.p);
        RecordingMessageSink sink;
        const Bytes image = Encode(r, sink);
        Bytes expected = {0x01, 0x00};
        expected.insert(expected.end(), row.element.begin(), row.element.end());
        expected.resize(image.size(), 0);
        EXPECT_EQ(image, expected) << row.what;
    }
}

TEST(MacroImage, LedBlockLayout) {
    MacroRecord r;
    r.repeatCount = 1;
    Add(r, 0x04, TY_DOWN, 1);
    Add(r, EV_LED, TY_LED1, 1, {0, 0});
    Add(r, 0x04, TY_UP, 1);
    r.ledTable[0].stepCount = 2;
    r.ledTable[0].steps[0] = {1, 5, 10, 2};
    r.ledTable[0].steps[1] = {2, 7, 20, 3};
    RecordingMessageSink sink;
    ASSERT_EQ(MeasureMacroImage(r), 32u);
    const Bytes image = Encode(r, sink, 1, 0x7F0);
    const std::uint32_t a = 0x7F0 + 16;
    EXPECT_EQ(
        Bytes(image.begin() + 4, image.begin() + 8),
        (Bytes{0x01, 0xF9, static_cast<std::uint8_t>(a & 0xFF), static_cast<std::uint8_t>(((a >> 8) & 0x3F) | 0x40)}));
    EXPECT_EQ(Bytes(image.begin() + 16, image.end()), (Bytes{1, 0, 0, 0, 1, 5, 10, 2, 2, 7, 20, 3, 0, 0, 0, 0}));
}

TEST(MacroImage, LedEventsThatCannotBeEncoded) {
    RecordingMessageSink sink;
    MacroRecord r;
    r.repeatCount = 1;
    Add(r, EV_LED, TY_LED0, 1, {0, 0});
    r.ledCount = 0;  // counter disagrees: the event is left out
    Bytes expected(16, 0);
    expected[0] = 1;
    EXPECT_EQ(EncodeMacroImage(r, 0x240, 16, 1, sink).bytes, expected);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"});

    sink.clear();
    r.ledCount = 1;  // sequence without steps: left out without a message
    EXPECT_EQ(Encode(r, sink)[2], 0);
    EXPECT_TRUE(sink.messages().empty());

    r.ledTable[0].stepCount = 1;
    r.eventType[0] = 7;  // not a channel: written on channel 0
    EXPECT_EQ(Encode(r, sink)[5] >> 6, 0);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"});

    sink.clear();
    r.eventType[0] = TY_LED2;
    const EncodedImage beyond = EncodeMacroImage(r, 0x3FF8, MeasureMacroImage(r), 1, sink);
    EXPECT_FALSE(beyond.applyMayContinue);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"});
}

TEST(MacroImage, CountersThatUnderstateTheEventsNeverWritePastTheImage) {
    MacroRecord r;
    for (int i = 0; i < kMaxEvents; ++i) Add(r, EV_MOVE, 6, 1, {1, 1});
    r.moveCount = 0;
    r.eventCount = 9000;
    r.ledCount = 200;
    r.ledTable[4].stepCount = 255;
    RecordingMessageSink sink;
    const EncodedImage image = EncodeMacroImage(r, 0x240, 64, 1, sink);
    EXPECT_EQ(image.bytes.size(), 64u);
}

TEST(MacroImage, RunModeTwoUnrollAndFirstPause) {
    MacroRecord r;
    r.runMode = RUN_MODE2;
    r.repeatCount = 9;
    Add(r, 0x04, TY_DOWN, 2);
    Add(r, 0x04, TY_UP, 3);
    const MacroRecord u = UnrollShortMacro(r);
    ASSERT_EQ(u.eventCount, 16);
    EXPECT_EQ(u.eventCode[14], 0x04);
    EXPECT_EQ(u.eventDelay[15], 3);
    RecordingMessageSink sink;
    const Bytes image = Encode(u, sink);
    EXPECT_EQ(image[0], 1);         // repeat value of run mode 2
    EXPECT_EQ(image[2], 0x80 | 8);  // first pause at least 8 ms
    EXPECT_EQ(image[4], 3);

    MacroRecord slow = r;
    slow.eventDelay[1] = 19;  // 21 ms in all: 40 / 21 < 2
    EXPECT_EQ(UnrollShortMacro(slow), slow);
    slow.eventDelay[1] = 18;  // 20 ms: 40 / 20 = 2 runs
    EXPECT_EQ(UnrollShortMacro(slow).eventCount, 4);
    MacroRecord flagged = r;
    flagged.runMode = RUN_MODE2 | RUN_FLAG_A;
    EXPECT_EQ(UnrollShortMacro(flagged), flagged);
    EXPECT_EQ(Encode(flagged, sink)[0], 1);
    EXPECT_EQ(Encode(flagged, sink)[2], 0x82);
}

TEST(MacroImage, UnrollTurnsOneShotKindsIntoPausesAndStopsAt180) {
    MacroRecord r;
    r.runMode = RUN_MODE2;
    Add(r, EV_CPI, TY_CPI_SET, 0, {3, 0});
    Add(r, EV_MOVE, 6, 0, {1, 2});
    Add(r, 0x04, TY_DOWN, 0);
    Add(r, 0x04, TY_UP, 0);
    Add(r, EV_DELAY, 0, 0);
    const MacroRecord u = UnrollShortMacro(r);  // 40 runs of 5 events, cut at 180
    EXPECT_EQ(u.eventCount, kMaxEvents);
    EXPECT_EQ(u.moveCount, 36);
    EXPECT_EQ(u.cpiCount, 1);
    EXPECT_EQ(u.eventCode[5], EV_DELAY);
    EXPECT_EQ(u.eventType[5], TY_CPI_SET);
    EXPECT_EQ(u.eventCode[6], EV_MOVE);
}

class RecordingWriter final : public MemoryWriter {
public:
    struct Write {
        std::uint16_t address;
        Bytes bytes;
    };
    std::vector<Write> writes;
    void writeMemory(std::uint16_t address, std::span<const std::uint8_t> bytes) override {
        writes.push_back({address, Bytes(bytes.begin(), bytes.end())});
    }
};

TEST(MacroImage, WriteImageInEightByteBlocks) {
    Bytes image(20);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
    RecordingWriter w;
    WriteImage(w, 0x240, image);
    ASSERT_EQ(w.writes.size(), 3u);
    EXPECT_EQ(w.writes[1].address, 0x248);
    EXPECT_EQ(w.writes[1].bytes, (Bytes{8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(w.writes[2].address, 0x250);
    EXPECT_EQ(w.writes[2].bytes, (Bytes{16, 17, 18, 19}));

    RecordingWriter top;
    WriteImage(top, 0xFFF8, Bytes(24, 1));
    EXPECT_EQ(top.writes.size(), 1u);
}

TEST(MacroImage, CorrectionMovesYWithinItsRange) {
    MacroRecord r;
    Add(r, EV_MOVE, 6, 1, {3, 30});
    Add(r, EV_MOVE, 3, 1, {3, 0});
    Add(r, EV_CPI, TY_CPI_SET, 1, {4, 5});
    CorrectMoves(r, true);
    EXPECT_EQ(r.eventParam[0].y, 30);
    EXPECT_EQ(r.eventParam[1].y, 1);
    EXPECT_EQ(r.eventParam[2].y, 5);
    CorrectMoves(r, false);
    CorrectMoves(r, false);
    EXPECT_EQ(r.eventParam[0].y, 28);
    EXPECT_EQ(r.eventParam[1].y, 0);
}

}  // namespace
}  // namespace kx700::macro
