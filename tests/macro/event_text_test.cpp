// The editor's lines: key names, event and pause lines, LED step lines.
#include "macro/event_text.h"

#include <gtest/gtest.h>

namespace kx700::macro {
namespace {

MacroRecord OneEvent(std::uint8_t code, std::uint8_t type, EventParam p = {}) {
    MacroRecord r;
    r.eventCount = 1;
    r.eventCode[0] = code;
    r.eventType[0] = type;
    r.eventParam[0] = p;
    return r;
}

TEST(EventText, KeyNames) {
    struct Row {
        std::uint8_t code;
        const char* name;
    };
    for (Row row :
         {Row{0x04, "A"},     Row{0x1D, "Z"},       Row{0x1E, "1"},       Row{0x26, "9"},       Row{0x27, "0"},
          Row{0x31, "\\|"},   Row{0x34, " ' "},     Row{0x3A, "F1"},      Row{0x45, "F12"},     Row{0x68, "F13"},
          Row{0x73, "F24"},   Row{0x59, "NUMPAD1"}, Row{0x61, "NUMPAD9"}, Row{0x62, "NUMPAD0"}, Row{0xE7, "RWIN"},
          Row{0xF2, "M-KEY"}, Row{0x32, "Unkown"},  Row{0x58, "Unkown"},  Row{0x64, "Unkown"},  Row{EV_F7, "Unkown"}})
        EXPECT_EQ(KeyName(row.code), row.name) << int{row.code};
}

TEST(EventText, LineOfEveryKind) {
    struct Row {
        std::uint8_t code, type;
        EventParam p;
        const char* line;
    };
    for (Row row :
         {Row{0x04, TY_DOWN, {}, "[↓]A"}, Row{EV_MOUSE_LEFT, TY_UP, {}, "[↑]L-KEY"},
          Row{0x32, TY_DOWN, {}, "[↓]Unkown"}, Row{0x04, 7, {}, "A"}, Row{EV_MOVE, 3, {5, 10}, "[X-]:5,[Y-]:10"},
          Row{EV_MOVE, 4, {1, 2}, "[X-]:1,[Y+]:2"}, Row{EV_MOVE, 5, {65535, 0}, "[X+]:65535,[Y-]:0"},
          Row{EV_MOVE, 6, {0, 10}, "[X+]:0,[Y+]:10"}, Row{EV_MOVE, 1, {}, "[X]:eeror,[Y]:eeror"},
          Row{EV_CPI, 9, {8, 0}, "[DPI]:1600 "}, Row{EV_CPI, 9, {0, 0}, "[DPI]:800 "},
          Row{EV_CPI, 9, {16, 0}, "[DPI]:800 "}, Row{EV_CPI, 9, {15, 0}, "[DPI]:4800 "},
          Row{EV_CPI, 10, {}, "[DPI]:返回执行前的值"}, Row{EV_CPI, 3, {}, "[DPI]:状态Error"},
          Row{EV_LED, 13, {0, 0}, "[LED0]:LED-0 Data"}, Row{EV_LED, 15, {4, 0}, "[LED2]:LED-4 Data"},
          Row{EV_LED, 1, {}, "[LED0/1/2]:error"}, Row{EV_DELAY, 1, {}, "[Delay]"}})
        EXPECT_EQ(EventLine(OneEvent(row.code, row.type, row.p), 0), row.line) << row.line;
}

TEST(EventText, EventsAndPausesAlternateAndUpDownAreCounted) {
    MacroRecord r;
    r.eventCount = 3;
    r.eventCode = {0x04, 0x04, EV_DELAY};
    r.eventType = {TY_DOWN, TY_UP, TY_DOWN};
    r.eventDelay = {10, 65535, 7};
    const EventLines out = MacroLines(r);
    EXPECT_EQ(out.lines, (std::vector<std::string>{"[↓]A", "    10ms", "[↑]A", "    65535ms", "[Delay]"}));
    EXPECT_EQ(out.downLines, 1);
    EXPECT_EQ(out.upLines, 1);
}

TEST(EventText, LedStepLinesInBothLanguages) {
    const std::vector<std::string> modes = {"Off", "Steady", "Breathing", "m3", "m4", "m5"};
    LedSequence s;
    s.stepCount = 2;
    s.steps[0] = {1, 3, 10, 5};
    s.steps[1] = {9, 2, 0, 100};
    EXPECT_EQ(LedStepLines(s, false, modes),
              (std::vector<std::string>{"[个数     ]:2", "[模式]:Steady", "[灯光颜色]:粉色", "[持续时间]:10*100ms",
                                        "[间隔时间]:5*100ms", "[模式]:9", "[灯光颜色]:2", "[持续时间]:0*100ms",
                                        "[间隔时间]:100*100ms"}));
    const auto english = LedStepLines(s, true, modes);
    EXPECT_EQ(english[0], "[Len     ]:2");
    EXPECT_EQ(english[2], "[Light color]:Pink");
    EXPECT_EQ(english[6], "[Light color]:2");
    EXPECT_EQ(english[7], "[Continued Time]:0*100ms");
    EXPECT_EQ(english[8], "[Interval Time]:100*100ms");

    s.stepCount = 0;
    EXPECT_EQ(LedStepLines(s, true, modes).size(), 1u);
    s.stepCount = 200;  // from a damaged file: never past the sequence
    EXPECT_EQ(LedStepLines(s, true, modes).size(), 65u);
}

}  // namespace
}  // namespace kx700::macro
