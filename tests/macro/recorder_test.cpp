// Key recording: events and pauses from key messages, the limits, and the
// clock behind the pauses.
#include "macro/recorder.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kx700::macro {
namespace {

using Lines = std::vector<std::string>;

class Recording : public ::testing::Test {
protected:
    Recording() {
        table.macroCount = 3;
        recorder.clock = [this] { return now; };
    }

    void Start() { ASSERT_TRUE(StartRecording(recorder, table, 1, "Combo", lines)); }
    MacroRecord& Macro() { return table.slots[static_cast<std::size_t>(table.currentMacro)]; }
    KeyOutcome Outcome(int kind, std::uint8_t vk) {
        const KeyOutcome o = RecordKeyMessage(recorder, Macro(), kind, vk, lines);
        if (o == KeyOutcome::LimitReached) ++limitReached;
        return o;
    }
    bool Key(int kind, std::uint8_t vk) { return Outcome(kind, vk) == KeyOutcome::Recorded; }
    bool Down(std::uint8_t vk) { return Key(kKeyDown, vk); }
    bool Up(std::uint8_t vk) { return Key(kKeyUp, vk); }
    static std::uint8_t Letter(int i) { return static_cast<std::uint8_t>('A' + i % 26); }

    // n presses of distinct neighbouring letters: 2n events, n key-downs.
    void Presses(int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(Down(Letter(i))) << i;
            ASSERT_TRUE(Up(Letter(i))) << i;
        }
    }

    std::int64_t now = 40'000'000;
    MacroTable table;
    Recorder recorder;
    EventLines lines;
    int limitReached = 0;  // how often the caller would show "More than limit!"
};

TEST_F(Recording, TwoKeysGetTheMeasuredPausesAndTheLastKeeps20) {
    Start();
    EXPECT_TRUE(Down('A'));
    now += 50;
    EXPECT_TRUE(Up('A'));
    now += 100;
    EXPECT_TRUE(Down('B'));
    now += 50;
    EXPECT_TRUE(Up('B'));

    const MacroRecord& m = Macro();
    EXPECT_EQ(m.eventCount, 4);  // already while recording
    EXPECT_EQ(recorder.recordedCount, 4);
    for (int i = 0; i < 4; ++i) {
        const auto k = static_cast<std::size_t>(i);
        EXPECT_EQ(m.eventCode[k], i < 2 ? 0x04 : 0x05) << i;
        EXPECT_EQ(m.eventType[k], i % 2 == 0 ? TY_DOWN : TY_UP) << i;
        EXPECT_EQ(m.eventParam[k], EventParam{}) << i;
    }
    EXPECT_EQ((std::array{m.eventDelay[0], m.eventDelay[1], m.eventDelay[2], m.eventDelay[3]}),
              (std::array<std::uint16_t, 4>{50, 100, 50, 20}));
    EXPECT_EQ(lines.lines, (Lines{"[↓]A", "    50ms", "[↑]A", "    100ms", "[↓]B", "    50ms", "[↑]B"}));
    EXPECT_EQ(lines.downLines, 2);
    EXPECT_EQ(lines.upLines, 2);
    // The lines appended one event at a time are the lines of the whole record.
    EXPECT_EQ(lines.lines, MacroLines(m).lines);
    EXPECT_EQ(recorder.heldCount, 0);

    StopRecording(recorder, table);
    EXPECT_FALSE(recorder.recording);
    EXPECT_EQ(Macro().eventCount, 4);
    EXPECT_EQ(MacroName(Macro()), "Combo");
    EXPECT_EQ(limitReached, 0);
}

TEST_F(Recording, RepeatsOfAHeldKeyGiveOneDownAndReleasesMayComeInAnyOrder) {
    Start();
    EXPECT_TRUE(Down('A'));
    EXPECT_FALSE(Down('A'));
    EXPECT_FALSE(Down('A'));
    EXPECT_TRUE(Down('B'));
    EXPECT_FALSE(Down('B'));
    EXPECT_TRUE(Up('A'));
    ASSERT_EQ(recorder.heldCount, 1);
    EXPECT_EQ(recorder.heldKeys[0], 'B');
    EXPECT_TRUE(Up('B'));
    EXPECT_EQ(lines.lines, (Lines{"[↓]A", "    0ms", "[↓]B", "    0ms", "[↑]A", "    0ms", "[↑]B"}));
}

TEST_F(Recording, KeyUpWithoutItsKeyDownIsDroppedAndNotRemembered) {
    Start();
    EXPECT_FALSE(Up('A'));  // held when the recording started
    EXPECT_FALSE(recorder.lastKeyMessage.has_value());
    EXPECT_TRUE(Down('B'));
    EXPECT_FALSE(Up('C'));
    EXPECT_EQ(recorder.lastKeyMessage, (std::pair<int, std::uint8_t>{kKeyDown, 'B'}));
    EXPECT_EQ(recorder.recordedCount, 1);
    EXPECT_EQ(lines.lines, Lines{"[↓]B"});
    EXPECT_EQ(limitReached, 0);
}

TEST_F(Recording, The111thMessageEndsTheRecordingOnceAndIsNotRecorded) {
    Start();
    Presses(55);
    ASSERT_EQ(recorder.recordedCount, 110);
    ASSERT_TRUE(recorder.recording);
    const MacroRecord full = Macro();
    const EventLines fullLines = lines;

    EXPECT_EQ(Outcome(kKeyDown, '1'), KeyOutcome::LimitReached);
    EXPECT_FALSE(recorder.recording) << "the recording ends at the limit";
    // Its repeat, its release and every other key find no recording: the
    // message is shown once.
    EXPECT_EQ(Outcome(kKeyDown, '1'), KeyOutcome::Ignored);
    EXPECT_EQ(Outcome(kKeyUp, '1'), KeyOutcome::Ignored);
    EXPECT_EQ(Outcome(kKeyDown, '2'), KeyOutcome::Ignored);
    EXPECT_EQ(limitReached, 1);

    EXPECT_EQ(Macro(), full);
    EXPECT_EQ(lines.lines, fullLines.lines);
    EXPECT_EQ(lines.lines.size(), 219u);
    EXPECT_EQ(Macro().eventDelay[109], 20);
    EXPECT_EQ(Macro().eventCount, 110);
    StopRecording(recorder, table);  // the record button afterwards changes nothing
    EXPECT_EQ(Macro().eventCount, 110);
    EXPECT_EQ(Macro(), full);
}

TEST_F(Recording, KeyDownsStopAt55AndTheirKeyUpsAreDroppedToo) {
    Start();
    Presses(54);
    ASSERT_TRUE(Down('1'));
    ASSERT_EQ(lines.downLines, 55);

    EXPECT_FALSE(Down('2'));
    EXPECT_FALSE(Down('2'));
    EXPECT_FALSE(Up('2'));
    EXPECT_EQ(recorder.lastKeyMessage, (std::pair<int, std::uint8_t>{kKeyDown, '1'}));
    EXPECT_EQ(recorder.recordedCount, 109);
    EXPECT_TRUE(Up('1'));  // key-ups of recorded key-downs still count
    EXPECT_EQ(recorder.recordedCount, 110);
    EXPECT_EQ(lines.upLines, 55);
    EXPECT_EQ(limitReached, 0);
}

TEST_F(Recording, ATenthHeldKeyIsIgnoredUntilAKeyComesUp) {
    Start();
    for (int i = 0; i < kMaxHeldKeys; ++i) ASSERT_TRUE(Down(Letter(i)));
    EXPECT_FALSE(Down('Z'));
    EXPECT_EQ(recorder.heldCount, kMaxHeldKeys);
    EXPECT_FALSE(Up('Z'));
    EXPECT_EQ(recorder.recordedCount, kMaxHeldKeys);

    // The dropped key-down was not remembered, so the still-held key's next
    // repeat is recorded once there is room, and its release with it.
    EXPECT_TRUE(Up(Letter(0)));
    EXPECT_TRUE(Down('Z'));
    EXPECT_EQ(recorder.heldKeys[kMaxHeldKeys - 1], 'Z');
    EXPECT_TRUE(Up('Z'));
    EXPECT_EQ(lines.lines.back(), "[↑]Z");
}

TEST_F(Recording, KeysAreRecordedByTheirUsageWhateverTheirKind) {
    struct Row {
        std::uint8_t vk;
        int downKind, upKind;
        std::uint8_t code;
        const char* name;
    };
    for (const Row& row :
         {Row{0x79, kKeyDown, kKeyUp, 0x43, "F10"}, Row{0xC0, kKeyDown, kKeyUp, 0x32, "Unkown"},
          Row{0xA4, kSysKeyDown, kSysKeyUp, 0xE2, "LMENU"}, Row{0xA3, kKeyDown, kKeyUp, 0xE4, "RCONTROL"},
          Row{0x6A, kKeyDown, kKeyUp, 0x55, "MULTIPLY"}}) {
        Start();
        EXPECT_TRUE(Key(row.downKind, row.vk)) << row.name;
        EXPECT_TRUE(Key(row.upKind, row.vk)) << row.name;
        EXPECT_EQ(Macro().eventCode[0], row.code) << row.name;
        EXPECT_EQ(Macro().eventCode[1], row.code) << row.name;
        EXPECT_EQ(lines.lines, (Lines{std::string("[↓]") + row.name, "    0ms", std::string("[↑]") + row.name}));
        StopRecording(recorder, table);
    }

    Start();
    EXPECT_FALSE(Key(0x102, 'A'));  // a character message, not a key
    EXPECT_FALSE(Down(0));
    EXPECT_EQ(recorder.recordedCount, 0);
    EXPECT_FALSE(recorder.lastKeyMessage.has_value());
}

TEST_F(Recording, StopRightAfterStartLeavesAnEmptyNamedMacro) {
    MacroRecord& old = table.slots[1];
    old.eventCount = 3;
    old.eventCode[0] = 0x04;
    old.runMode = RUN_MODE2;
    old.repeatCount = 9;
    SetMacroName(old, "Old");
    lines = MacroLines(old);
    table.currentMacro = 0;

    Start();
    EXPECT_TRUE(recorder.recording);
    EXPECT_EQ(table.currentMacro, 1);
    EXPECT_TRUE(lines.lines.empty());
    EXPECT_EQ(lines.downLines + lines.upLines, 0);
    StopRecording(recorder, table);

    MacroRecord expected;
    SetMacroName(expected, "Combo");
    expected.repeatCount = 1;
    EXPECT_EQ(table.slots[1], expected);
}

TEST_F(Recording, StartingAgainForgetsTheLastRecordingsKeys) {
    Start();
    EXPECT_TRUE(Down('A'));
    EXPECT_TRUE(Down('B'));
    StopRecording(recorder, table);
    EXPECT_EQ(Macro().eventCount, 2);

    // A was released while nothing was recorded; pressing it again starts the
    // new macro, and B's late release is not part of it.
    Start();
    EXPECT_EQ(Macro().eventCount, 0);
    EXPECT_FALSE(Up('B'));
    EXPECT_TRUE(Down('A'));
    EXPECT_EQ(lines.lines, Lines{"[↓]A"});
}

TEST_F(Recording, NothingHappensOutsideARecordingOrOutsideTheList) {
    table.slots[1].eventCount = 7;
    table.currentMacro = 1;
    const MacroTable before = table;

    StopRecording(recorder, table);
    EXPECT_FALSE(Down('A'));
    for (int slot : {-1, 3, kMaxMacrosPerGroup})
        EXPECT_FALSE(StartRecording(recorder, table, slot, "X", lines)) << slot;
    table.macroCount = kTableSlots;
    EXPECT_FALSE(StartRecording(recorder, table, kMaxMacrosPerGroup, "X", lines));  // the blank slot

    table.macroCount = before.macroCount;
    EXPECT_FALSE(recorder.recording);
    EXPECT_EQ(table.slots, before.slots);
    EXPECT_EQ(table.currentMacro, 1);
}

TEST(ElapsedMilliseconds, MeasuresForwardAcrossMidnightAndCapsAt65535) {
    struct Row {
        std::int64_t last, now;
        std::uint16_t elapsed;
    };
    for (const Row& row : {Row{1000, 1250, 250}, Row{5000, 5000, 0}, Row{86'399'990, 5, 15}, Row{0, 65'535, 65535},
                           Row{0, 65'536, 65535}, Row{86'000'000, 1'000'000, 65535}, Row{86'399'999, 65'535, 65535}}) {
        Recorder r;
        r.lastEventTime = row.last;
        r.clock = [&row] { return row.now; };
        EXPECT_EQ(ElapsedMilliseconds(r), row.elapsed) << row.last << " -> " << row.now;
        EXPECT_EQ(r.lastEventTime, row.now);
    }
}

TEST(ElapsedMilliseconds, SystemClockGivesTheUtcTimeOfDay) {
    using namespace std::chrono;
    constexpr std::int64_t day = 86'400'000;
    const auto expected = duration_cast<milliseconds>(system_clock::now() - floor<days>(system_clock::now())).count();
    Recorder r;
    ElapsedMilliseconds(r);
    ASSERT_GE(r.lastEventTime, 0);
    ASSERT_LT(r.lastEventTime, day);
    const std::int64_t gap = (r.lastEventTime - expected + day) % day;
    EXPECT_TRUE(gap < 1000 || gap > day - 1000) << r.lastEventTime << " vs " << expected;
    EXPECT_LT(ElapsedMilliseconds(r), 1000);
}

}  // namespace
}  // namespace kx700::macro
