// The macro record: inserting and deleting events, the key code conversion,
// the CPI tables and assignment values.
#include "macro/record.h"

#include <gtest/gtest.h>

#include "macro/key_codes.h"

namespace kx700::macro {
namespace {

LedSequence Sequence(std::uint8_t steps, std::uint8_t seed) {
    LedSequence s;
    s.stepCount = steps;
    for (int b = 4; b < 4 + 4 * steps; ++b) s.setByteAt(b, static_cast<std::uint8_t>(seed + b));
    return s;
}

TEST(MacroRecordEdit, InsertIntoEmptyRecordAndDeleteFromEmptyRecord) {
    RecordingMessageSink sink;
    MacroRecord r;
    DeleteEvent(r, 0);
    EXPECT_EQ(r, MacroRecord{});

    InsertEvent(r, 0, 0x04, TY_DOWN, sink);
    EXPECT_EQ(r.eventCount, 1);
    EXPECT_EQ(r.eventCode[0], 0x04);
    EXPECT_EQ(r.eventType[0], TY_DOWN);
    EXPECT_EQ(r.eventDelay[0], 1);
    EXPECT_TRUE(sink.messages().empty());
}

TEST(MacroRecordEdit, EventLimitRefusesTheNextInsertUnchanged) {
    RecordingMessageSink sink;
    MacroRecord r;
    for (int i = 0; i < kMaxEvents; ++i) InsertEvent(r, i, 0x04, TY_DOWN, sink);
    ASSERT_EQ(r.eventCount, kMaxEvents);
    const MacroRecord before = r;
    InsertEvent(r, 0, 0x05, TY_UP, sink);
    EXPECT_EQ(r, before);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
}

TEST(MacroRecordEdit, KindLimitsRefuseWithErrorAndLeaveRecordUnchanged) {
    struct Row {
        std::uint8_t code, type;
        int limit;
    };
    for (Row row : {Row{EV_MOVE, TY_MOVE_XPOS_YPOS, 50}, Row{EV_CPI, TY_CPI_SET, 5}, Row{EV_LED, TY_LED0, 5},
                    Row{EV_F7, TY_DOWN, 5}, Row{EV_FA, TY_DOWN, 5}, Row{EV_FB, TY_DOWN, 5}}) {
        RecordingMessageSink sink;
        MacroRecord r;
        for (int i = 0; i < row.limit; ++i) InsertEvent(r, i, row.code, row.type, sink);
        ASSERT_TRUE(sink.messages().empty()) << int{row.code};
        const MacroRecord before = r;
        InsertEvent(r, 0, row.code, row.type, sink);
        EXPECT_EQ(r, before) << int{row.code};
        EXPECT_EQ(sink.messages(), std::vector<std::string>{"Error!"}) << int{row.code};
    }
}

TEST(MacroRecordEdit, InsertedEventsGetTheirKindsDefaults) {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, EV_CPI, TY_CPI_SET, sink);
    InsertEvent(r, 1, EV_F7, 0, sink);
    InsertEvent(r, 2, EV_FA, 0, sink);
    EXPECT_EQ(r.eventParam[0], (EventParam{4, 0}));
    EXPECT_EQ(r.eventParam[1], (EventParam{1, 0}));
    EXPECT_EQ(r.eventParam[2], (EventParam{0x183, 0}));
    EXPECT_EQ(r.cpiCount + r.countF7 + r.countFA, 3);
}

TEST(MacroRecordEdit, InsertedMoveStartsAtXZeroEvenWhereAMoveWas) {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, EV_MOVE, TY_MOVE_XPOS_YPOS, sink);
    r.eventParam[0] = {7, 3};
    InsertEvent(r, 0, EV_MOVE, TY_MOVE_XNEG_YNEG, sink);
    EXPECT_EQ(r.eventParam[0], (EventParam{0, 10}));
    EXPECT_EQ(r.eventParam[1], (EventParam{7, 3}));
    EXPECT_EQ(r.moveCount, 2);
}

// LED and FB events share the renumbering rule, each with its own table.
class SequenceEvents : public ::testing::TestWithParam<std::uint8_t> {
protected:
    std::array<LedSequence, kLedSlots>& Table(MacroRecord& r) { return GetParam() == EV_LED ? r.ledTable : r.auxTable; }
    std::uint8_t Count(const MacroRecord& r) { return GetParam() == EV_LED ? r.ledCount : r.countFB; }
};

TEST_P(SequenceEvents, InsertBeforeTheOnlyOneMovesItsWholeSequenceUp) {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, 0x04, TY_DOWN, sink);
    InsertEvent(r, 1, GetParam(), TY_LED1, sink);
    Table(r)[0] = Sequence(5, 10);
    InsertEvent(r, 0, GetParam(), TY_LED0, sink);

    EXPECT_EQ(r.eventParam[0].x, 0);
    EXPECT_EQ(r.eventParam[2].x, 1);
    LedSequence fresh;
    fresh.stepCount = 1;
    EXPECT_EQ(Table(r)[0], fresh);
    EXPECT_EQ(Table(r)[1], Sequence(5, 10));
    EXPECT_EQ(Count(r), 2);
}

TEST_P(SequenceEvents, InsertAfterAnEarlierOneTakesTheNextSlot) {
    RecordingMessageSink sink;
    MacroRecord r;
    InsertEvent(r, 0, GetParam(), TY_LED0, sink);
    InsertEvent(r, 1, GetParam(), TY_LED0, sink);
    InsertEvent(r, 1, GetParam(), TY_LED0, sink);
    EXPECT_EQ(r.eventParam[0].x, 0);
    EXPECT_EQ(r.eventParam[1].x, 1);
    EXPECT_EQ(r.eventParam[2].x, 2);
}

TEST_P(SequenceEvents, DeletingTheFirstOfThreeShiftsTheOthersDown) {
    RecordingMessageSink sink;
    MacroRecord r;
    for (int i = 0; i < 3; ++i) {
        InsertEvent(r, 2 * i, GetParam(), TY_LED0, sink);
        InsertEvent(r, 2 * i + 1, 0x04, TY_DOWN, sink);
        Table(r)[static_cast<std::size_t>(i)] =
            Sequence(static_cast<std::uint8_t>(i + 2), static_cast<std::uint8_t>(40 * i));
    }
    DeleteEvent(r, 0);
    EXPECT_EQ(Count(r), 2);
    EXPECT_EQ(r.eventCount, 5);
    EXPECT_EQ(r.eventParam[1].x, 0);
    EXPECT_EQ(r.eventParam[3].x, 1);
    EXPECT_EQ(Table(r)[0], Sequence(3, 40));
    EXPECT_EQ(Table(r)[1], Sequence(4, 80));
    EXPECT_EQ(Table(r)[2], LedSequence{});
    EXPECT_EQ(r.eventCode[5], 0);  // the freed slot is zero
}

INSTANTIATE_TEST_SUITE_P(LedAndFb, SequenceEvents, ::testing::Values(EV_LED, EV_FB));

TEST(MacroRecordEdit, CountersThatDisagreeWithTheEventsStayInsideTheTables) {
    // As a file may hold them: LED events numbering past the table, counters
    // at zero with events present, more events than slots.
    MacroRecord r;
    r.eventCount = 3;
    for (int i = 0; i < 3; ++i) {
        r.eventCode[static_cast<std::size_t>(i)] = EV_LED;
        r.eventParam[static_cast<std::size_t>(i)].x = static_cast<std::uint16_t>(3 + i);
    }
    DeleteEvent(r, 0);
    EXPECT_EQ(r.ledCount, 0);
    EXPECT_EQ(r.eventCount, 2);

    RecordingMessageSink sink;
    r.ledCount = 4;
    InsertEvent(r, 0, EV_LED, TY_LED0, sink);
    EXPECT_EQ(r.ledCount, 5);

    r.eventCount = 600;
    DeleteEvent(r, 179);
    EXPECT_EQ(r.eventCount, 599);
    InsertEvent(r, 0, 0x04, TY_DOWN, sink);
    EXPECT_EQ(sink.messages(), std::vector<std::string>{"More than limit!"});
}

TEST(MacroName, NineUnitsStoredAndTenReadWithoutTerminator) {
    MacroRecord r;
    SetMacroName(r, "Rapid fire x3");
    EXPECT_EQ(MacroName(r), "Rapid fir");
    SetMacroName(r, "连发三次");
    EXPECT_EQ(MacroName(r), "连发三次");
    for (int i = 0; i < kNameBytes; ++i) r.name[static_cast<std::size_t>(i)] = i % 2 == 0 ? 'Z' : 0;
    EXPECT_EQ(MacroName(r), "ZZZZZZZZZZ");
}

TEST(KeyCodes, TableEntriesAndPassThrough) {
    struct Row {
        std::uint8_t vk, usage;
    };
    for (Row row :
         {Row{0x41, 0x04}, Row{0x5A, 0x1D}, Row{0x30, 0x27}, Row{0xC0, 0x32}, Row{0x7B, 0x45}, Row{0x87, 0x73},
          Row{0x60, 0x62}, Row{0x69, 0x61}, Row{0xA5, 0xE6}, Row{0xF0, 0xF1}, Row{0xF1, 0xF3}, Row{0xF2, 0xF2}}) {
        EXPECT_EQ(VkToUsage(row.vk), row.usage) << int{row.vk};
        EXPECT_EQ(UsageToVk(row.usage), row.vk) << int{row.usage};
    }
    for (std::uint8_t passes : {std::uint8_t{0x10}, std::uint8_t{0}, EV_MOVE, EV_CPI, EV_LED, EV_FB})
        EXPECT_EQ(VkToUsage(passes), passes) << int{passes};
    EXPECT_EQ(UsageToVk(0x35), 0x35);
    EXPECT_EQ(UsageToVk(0x58), 0x58);
    // Every usage a key can be recorded as survives a trip through a file.
    for (int vk = 0; vk < 256; ++vk) {
        const std::uint8_t usage = VkToUsage(static_cast<std::uint8_t>(vk));
        EXPECT_EQ(VkToUsage(UsageToVk(usage)), usage) << vk;
    }
}

TEST(CpiIndex, BothDirections) {
    EXPECT_EQ(CpiOfIndex(8), 1600);
    EXPECT_EQ(CpiOfIndex(15), 4800);
    EXPECT_EQ(CpiOfIndex(0), 800);
    EXPECT_EQ(CpiOfIndex(16), 800);
    EXPECT_EQ(IndexOfCpi(2000), 9);
    EXPECT_EQ(IndexOfCpi(2400), 11);
    EXPECT_EQ(IndexOfCpi(200), 1);
    EXPECT_EQ(IndexOfCpi(1800), 0);
}

TEST(MacroRefValue, AssignmentValuesNameMacros) {
    const MacroRef user = MacroRef::FromAssignment(512 + 3);
    EXPECT_EQ(user.kind, MacroRef::Kind::User);
    EXPECT_EQ(user.group, 1);
    EXPECT_EQ(user.index, 3);
    EXPECT_EQ(MacroRef::UserValue(1, 3), 515);
    const MacroRef constant = MacroRef::FromAssignment(40);
    EXPECT_EQ(constant.kind, MacroRef::Kind::Constant);
    EXPECT_EQ(constant.index, 8);
    EXPECT_EQ(MacroRef::FromAssignment(31).kind, MacroRef::Kind::None);
}

}  // namespace
}  // namespace kx700::macro
