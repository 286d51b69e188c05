// The macro editor's commands and in-place edits on a record.
#include "macro/editor.h"

#include <gtest/gtest.h>

#include <numeric>

#include "macro/event_text.h"

namespace kx700::macro {
namespace {

// A: down, A: up (code 0x04), then a left-button down.
MacroRecord ThreeEvents() {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, 0x04, TY_DOWN, sink);
    InsertEvent(r, 1, 0x04, TY_UP, sink);
    InsertEvent(r, 2, EV_MOUSE_LEFT, TY_DOWN, sink);
    return r;
}

EditorLines At(int line, int count) { return EditorLines{line, line, count}; }

struct CommandCase {
    const char* what;
    bool empty;
    int line;
    int command;
    int position;  // where the new event must sit
    std::uint8_t code, type;
    int menuLine;  // afterwards
};

TEST(MacroEditorCommands, InsertsLandWhereTheirLabelsSay) {
    const CommandCase cases[] = {
        {"after, empty list", true, -1, cmd::kAfterLeftDown, 0, EV_MOUSE_LEFT, TY_DOWN, 0},
        {"before, empty list", true, -1, cmd::kBeforeLeftDown + 1, 0, EV_MOUSE_LEFT, TY_UP, 1},
        {"before, pause line of event 0", false, 1, cmd::kBeforeLeftDown + 2, 0, EV_MOUSE_RIGHT, TY_DOWN, 3},
        {"after, pause line of event 0", false, 1, cmd::kAfterLeftDown + 2, 1, EV_MOUSE_RIGHT, TY_DOWN, 3},
        {"after, last event line", false, 4, cmd::kAfterMiddleUpEn, 3, EV_MOUSE_MIDDLE, TY_UP, 6},
        {"after (Chinese id), event line 2", false, 2, cmd::kAfterMiddleDownCn, 2, EV_MOUSE_MIDDLE, TY_DOWN, 4},
        {"before middle up", false, 2, cmd::kBeforeLeftDown + 5, 1, EV_MOUSE_MIDDLE, TY_UP, 4},
        {"move X+,Y-", false, 0, cmd::kMoveXnegYneg + 2, 1, EV_MOVE, TY_MOVE_XPOS_YNEG, 2},
        {"set CPI", false, 0, cmd::kSetCpi, 1, EV_CPI, TY_CPI_SET, 2},
        {"restore CPI", false, 0, cmd::kRestoreCpi, 1, EV_CPI, TY_CPI_RESTORE, 2},
        {"delay", false, 0, cmd::kInsertDelay, 1, EV_DELAY, 0, 2},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMessageSink sink;
        MacroRecord r = c.empty ? MacroRecord{} : ThreeEvents();
        const int before = r.eventCount;
        EditorLines lines = At(c.line, c.empty ? 0 : 5);
        EXPECT_EQ(RunEditorCommand(r, c.command, lines, sink), CommandOutcome::ShowMacro);
        ASSERT_EQ(r.eventCount, before + 1);
        EXPECT_EQ(r.eventCode[static_cast<std::size_t>(c.position)], c.code);
        EXPECT_EQ(r.eventType[static_cast<std::size_t>(c.position)], c.type);
        EXPECT_EQ(lines.menuLine, c.menuLine);
        EXPECT_TRUE(sink.messages().empty());
    }
}

TEST(MacroEditorCommands, LedInsertsRenumberAndStopAtFive) {
    RecordingMessageSink sink;
    MacroRecord r = ThreeEvents();
    EditorLines lines = At(4, 5);
    RunEditorCommand(r, cmd::kInsertLed, lines, sink);  // LED at 3, slot 0
    r.ledTable[0].steps[0].mode = 7;
    lines = At(0, 7);
    RunEditorCommand(r, cmd::kInsertLed, lines, sink);  // LED at 1 takes slot 0
    ASSERT_EQ(r.eventCode[1], EV_LED);
    ASSERT_EQ(r.eventCode[4], EV_LED);
    EXPECT_EQ(r.eventParam[1].x, 0);
    EXPECT_EQ(r.eventParam[4].x, 1);
    EXPECT_EQ(r.ledTable[1].steps[0].mode, 7) << "the older sequence moves with its event";
    for (int i = 0; i < 3; ++i) RunEditorCommand(r, cmd::kInsertLed, lines, sink);
    ASSERT_EQ(r.ledCount, 5);
    EXPECT_TRUE(sink.messages().empty());
    const MacroRecord full = r;
    RunEditorCommand(r, cmd::kInsertLed, lines, sink);
    EXPECT_EQ(r, full);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
}

TEST(MacroEditorCommands, DeleteAndTheEditorOpenings) {
    RecordingMessageSink sink;
    MacroRecord r = ThreeEvents();
    EditorLines lines = At(3, 5);
    EXPECT_EQ(RunEditorCommand(r, cmd::kDeleteEvent, lines, sink), CommandOutcome::ShowMacro);
    EXPECT_EQ(r.eventCount, 2);
    EXPECT_EQ(r.eventCode[1], EV_MOUSE_LEFT);
    EXPECT_EQ(lines.menuLine, 0) << "values below 3 become 0";

    // Change parameters only on an event line of a code above 128; Modify
    // delay only on a pause line; neither on an empty list.
    EditorLines keyLine = At(0, 3), mouseLine = At(2, 3), pauseLine = At(1, 3), empty = At(0, 0);
    EXPECT_EQ(RunEditorCommand(r, cmd::kChangeParameters, keyLine, sink), CommandOutcome::Nothing);
    EXPECT_EQ(RunEditorCommand(r, cmd::kChangeParameters, mouseLine, sink), CommandOutcome::OpenEventEditor);
    EXPECT_EQ(RunEditorCommand(r, cmd::kChangeParameters, pauseLine, sink), CommandOutcome::Nothing);
    EXPECT_EQ(RunEditorCommand(r, cmd::kModifyDelay, pauseLine, sink), CommandOutcome::OpenPauseEditor);
    EXPECT_EQ(RunEditorCommand(r, cmd::kModifyDelay, mouseLine, sink), CommandOutcome::Nothing);
    EXPECT_EQ(RunEditorCommand(r, cmd::kModifyDelay, empty, sink), CommandOutcome::Nothing);
    EXPECT_EQ(RunEditorCommand(r, 12345, keyLine, sink), CommandOutcome::Nothing);

    // An LED line's parameters are its steps, in the LED step list: Change
    // parameters opens nothing there.
    EditorLines ledLine = At(0, 3);
    ASSERT_EQ(RunEditorCommand(r, cmd::kInsertLed, ledLine, sink), CommandOutcome::ShowMacro);
    ASSERT_EQ(r.eventCode[1], EV_LED);
    const MacroRecord withLed = r;
    ledLine = At(2, 5);
    EXPECT_EQ(RunEditorCommand(r, cmd::kChangeParameters, ledLine, sink), CommandOutcome::Nothing);
    EXPECT_EQ(r, withLed);
}

TEST(MacroEditorEdits, PausesAreSplitIntoPiecesOneElementCarries) {
    struct Case {
        const char* text;
        int poll;
        std::vector<std::uint16_t> pauses;  // of event 0 and the delays after it
        bool limit;
    };
    const Case cases[] = {
        {"    90ms", 1, {90}, false},      {"300ms", 1, {127, 127, 46}, false},
        {"300", 1, {127, 127, 46}, false}, {"2000ms", 1, {127, 127, 127, 127, 127, 127, 127, 127, 127, 127, 0}, true},
        {"300ms", 8, {300}, false},        {"2000", 2, {254, 254, 254, 254, 254, 254, 254, 222}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingMessageSink sink;
        MacroRecord r = ThreeEvents();
        int menuLine = 1;
        EditPause(r, 0, c.text, c.poll, menuLine, sink);
        const int inserted = static_cast<int>(c.pauses.size()) - 1;
        ASSERT_EQ(r.eventCount, 3 + inserted);
        for (int i = 0; i <= inserted; ++i) {
            EXPECT_EQ(r.eventDelay[static_cast<std::size_t>(i)], c.pauses[static_cast<std::size_t>(i)]) << i;
            if (i > 0) {
                EXPECT_EQ(r.eventCode[static_cast<std::size_t>(i)], EV_DELAY);
            }
        }
        EXPECT_EQ(r.eventCode[static_cast<std::size_t>(inserted + 1)], 0x04) << "A up follows the pieces";
        EXPECT_EQ(menuLine, 1 + 2 * inserted);
        EXPECT_EQ(sink.messages(), c.limit ? std::vector<std::string>{"More than limit!"} : std::vector<std::string>{});
    }
}

TEST(MacroEditorEdits, SplittingStopsAtTheEventLimit) {
    RecordingMessageSink sink;
    MacroRecord r;
    for (int i = 0; i < kMaxEvents - 2; ++i) InsertEvent(r, i, 0x04, TY_DOWN, sink);
    int menuLine = 1;
    EditPause(r, 0, "1000ms", 1, menuLine, sink);
    EXPECT_EQ(r.eventCount, kMaxEvents);
    EXPECT_EQ(r.eventDelay[0], 127);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
}

TEST(MacroEditorEdits, CpiMoveAndLedValues) {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, EV_CPI, TY_CPI_SET, sink);
    InsertEvent(r, 1, EV_MOVE, TY_MOVE_XPOS_YPOS, sink);
    InsertEvent(r, 2, EV_LED, TY_LED0, sink);

    EditEventLine(r, 0, "[DPI]:1600 ", sink);
    EXPECT_EQ(CpiOfIndex(r.eventParam[0].x), 1600);
    EXPECT_TRUE(sink.messages().empty());
    EditEventLine(r, 0, "[DPI]:1800", sink);
    EXPECT_EQ(r.eventParam[0].x, 4);
    EXPECT_EQ(sink.messages(),
              std::vector<std::string>{"CPI(:200/400/600/800/1000/1200/1600/2000/2400/3200/4000/4800)"});

    sink.clear();
    EditEventLine(r, 1, "[X+]:150,[Y+]:20", sink);
    EXPECT_EQ(r.eventParam[1], (EventParam{100, 20}));
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"[X]数值越界!"});
    sink.clear();
    EditEventLine(r, 1, "[X+]:7,[Y+]:101", sink);
    EXPECT_EQ(r.eventParam[1], (EventParam{7, 100}));
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"[Y]数值超出!"});
    EXPECT_EQ(EventLine(r, 1), "[X+]:7,[Y+]:100") << "the line reads back in its own format";

    sink.clear();
    EditLedStep(r, 2, 3, "[Continued Time]:25*100ms", sink);  // line 3: first step's duration
    EditLedStep(r, 2, 4, "[Interval Time]:250*100ms", sink);  // line 4: its interval, held to 100
    EditLedStep(r, 2, 0, "[Len     ]:9", sink);               // the count line is never typed
    EXPECT_EQ(r.ledTable[0].steps[0].duration, 25);
    EXPECT_EQ(r.ledTable[0].steps[0].interval, 100);
    EXPECT_EQ(r.ledTable[0].stepCount, 1);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
}

TEST(MacroEditorEdits, NumbersReadTheWayTheLinesAreWritten) {
    EXPECT_EQ(ReadNumber("  5*100ms"), 5u);
    EXPECT_EQ(ReadNumber("-12"), 12u);
    EXPECT_EQ(ReadNumber("x9"), 0u);
    EXPECT_EQ(ReadNumber("99999999999999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(NumberAfterColon("[DPI]: 800"), 800u);
    EXPECT_EQ(NumberAfterColon("42"), 42u);
}

TEST(MacroEditorNames, ListNameBoxAndRepeatCount) {
    RecordingMessageSink sink;
    MacroState m;
    m.groups.groupCount = 1;
    m.table.macroCount = 2;
    SetMacroName(m.table.slots[0], "Fire");
    SetMacroName(m.table.slots[1], "Jump");
    m.table.currentMacro = 1;

    EXPECT_FALSE(RenameFromList(m.table.slots[0], "TenLetters", sink));
    EXPECT_EQ(MacroName(m.table.slots[0]), "Fire");
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
    EXPECT_TRUE(RenameFromList(m.table.slots[0], "九个字的名字好的呀", sink));
    EXPECT_EQ(MacroName(m.table.slots[0]), "九个字的名字好的呀");

    EXPECT_EQ(MacroNameChanged(m, " "), NameBoxOutcome::RestoreBox);
    EXPECT_EQ(MacroNameChanged(m, ""), NameBoxOutcome::RestoreBox);
    EXPECT_EQ(MacroNameChanged(m, "九个字的名字好的呀"), NameBoxOutcome::Taken);
    EXPECT_EQ(MacroNameChanged(m, "Jump"), NameBoxOutcome::Taken);
    EXPECT_EQ(MacroNameChanged(m, "Dash"), NameBoxOutcome::Renamed);
    EXPECT_EQ(MacroName(m.table.slots[1]), "Dash");
    m.groups.groupCount = 0;
    EXPECT_EQ(MacroNameChanged(m, "Walk"), NameBoxOutcome::Ignored);

    const struct {
        const char* text;
        std::uint16_t value;
        std::optional<std::string> box;
    } counts[] = {{"0", 1, "1"},
                  {"", 1, "1"},
                  {"7", 7, std::nullopt},
                  {"65535", 65535, std::nullopt},
                  {"65536", 65535, "65535"},
                  {"999999999999", 65535, "65535"}};
    for (const auto& c : counts) {
        const RepeatCount rc = RepeatCountFromText(c.text);
        EXPECT_EQ(rc.value, c.value) << c.text;
        EXPECT_EQ(rc.boxText, c.box) << c.text;
    }
}

TEST(MacroEditorTable, RunModesNewAndDeleteMacro) {
    MacroRecord r;
    r.runMode = RUN_FLAG_A | RUN_FLAG_B;
    r.repeatCount = 9;
    EXPECT_FALSE(SetRunModeChoice(r, 10));
    EXPECT_EQ(r.runMode, RUN_MODE2 | RUN_FLAG_B);
    EXPECT_EQ(r.repeatCount, 1);
    EXPECT_FALSE(SetRunModeChoice(r, 11));
    EXPECT_EQ(r.runMode, RUN_MODE1 | RUN_FLAG_B);
    r.runMode |= RUN_FLAG_A;
    EXPECT_TRUE(SetRunModeChoice(r, 12));
    EXPECT_EQ(r.runMode, RUN_COUNTED | RUN_FLAG_A);
    EXPECT_TRUE(RepeatCountApplies(r));

    RecordingMessageSink sink;
    MacroState m;
    EXPECT_EQ(NewMacro(m, sink), -1) << "no group";
    m.groups.groupCount = 1;
    EXPECT_EQ(NewMacro(m, sink), 0);
    EXPECT_EQ(NewMacro(m, sink), -1);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"'New' Double name!"});
    for (int i = 1; i < kMaxMacrosPerGroup; ++i) {
        SetMacroName(m.table.slots[static_cast<std::size_t>(i - 1)], "M" + std::to_string(i));
        EXPECT_EQ(NewMacro(m, sink), i);
    }
    sink.clear();
    EXPECT_EQ(NewMacro(m, sink), -1);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});

    DeleteMacro(m.table, 0);
    EXPECT_EQ(m.table.macroCount, 19);
    EXPECT_EQ(m.table.currentMacro, 0);
    EXPECT_EQ(MacroName(m.table.slots[0]), "M2");
    EXPECT_EQ(m.table.slots[19], MacroRecord{}) << "the freed slot is cleared";
    DeleteMacro(m.table, 5);
    EXPECT_EQ(m.table.currentMacro, 4);
    EXPECT_EQ(MacroName(m.table.slots[5]), "M8");
}

}  // namespace
}  // namespace kx700::macro
