#include "device/input_events.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "sim_link.h"

namespace kx700::device {
namespace {

using testing::Bytes;
using testing::SimLink;

InputEvent Button(int code, int slot, std::uint8_t state, bool released, std::optional<int> level = std::nullopt) {
    InputEvent e;
    e.hardwareButtonCode = code;
    e.button = slot;
    e.state = state;
    e.released = released;
    e.dpiLevel = level;
    return e;
}

InputEvent Of(InputEventKind kind) {
    InputEvent e;
    e.kind = kind;
    return e;
}

TEST(InputEvents, DecodesEveryEventKind) {
    struct Case {
        Bytes report;
        std::optional<InputEvent> event;
    };
    const std::vector<Case> cases = {
        {{6, 0x01, 0}, Of(InputEventKind::CorrectionUp)},
        {{6, 0x02, 0}, Of(InputEventKind::CorrectionDown)},
        {{6, 0x03, 0}, Of(InputEventKind::ProfileChanged)},
        {{6, 0x04, 0}, Of(InputEventKind::CorrectionRepeat)},
        {{6, 0xEF, 0}, Of(InputEventKind::CorrectionRepeat)},
        {{6, 0xF1, 0x01}, Button(1, 0, 0x01, false)},
        {{6, 0xF8, 0x00}, Button(8, 6, 0x00, false)},  // code 8 is the seventh button
        {{6, 0xF3, 0x80}, Button(3, 2, 0x80, true, 0)},
        {{6, 0xF6, 0x83}, Button(6, 5, 0x83, false, 3)},  // a press that carries CPI level 3
        {{6, 0xF2, 0x8F}, Button(2, 1, 0x8F, false, 7)},
        {{6, 0xF1, 0x01, 0xAA, 0xBB}, Button(1, 0, 0x01, false)},  // padding is ignored
        // Nothing: other report IDs, 0xF0, codes without a button, short reports.
        {{7, 0xF1, 0x01}, std::nullopt},
        {{0, 0x03, 0}, std::nullopt},
        {{6, 0xF0, 0x01}, std::nullopt},
        {{6, 0xF7, 0x01}, std::nullopt},
        {{6, 0xF9, 0x80}, std::nullopt},
        {{6, 0xFF, 0x81}, std::nullopt},
        {{6, 0x03}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.report));
        EXPECT_EQ(DecodeInputReport(c.report), c.event);
    }
}

TEST(InputEvents, TheUsersHandsArriveAsEvents) {
    SimLink sim;
    sim.mouse->pressButton(8);
    sim.mouse->releaseButton(8);
    sim.mouse->reportCpiLevel(6, 2);
    sim.mouse->switchProfile(2);
    sim.mouse->requestCorrection(true);
    sim.mouse->requestCorrection(false);

    std::vector<InputEvent> got;
    for (int i = 0; i < 6; ++i) {
        const InputRead r = ReadInputEvent(sim.link, std::chrono::milliseconds(200));
        ASSERT_EQ(r.status, InputReadStatus::Event);
        got.push_back(r.event);
    }
    const std::vector<InputEvent> expected = {Button(8, 6, 0x01, false),        Button(8, 6, 0x80, true, 0),
                                              Button(6, 5, 0x82, false, 2),     Of(InputEventKind::ProfileChanged),
                                              Of(InputEventKind::CorrectionUp), Of(InputEventKind::CorrectionDown)};
    EXPECT_EQ(got, expected);
    // The report the firmware sent for the profile switch.
    EXPECT_EQ(sim.entries(SimDirection::MouseToHost)[3].bytes, (Bytes{6, 0x03, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ReadInputEvent(sim.link, std::chrono::milliseconds(1)).status, InputReadStatus::Nothing);
}

TEST(InputEvents, AFailedReadOfAListedMouseIsNotARemoval) {
    SimLink sim;
    sim.mouse->failReads(1);
    sim.mouse->pressButton(1);
    EXPECT_EQ(ReadInputEvent(sim.link, std::chrono::milliseconds(50)).status, InputReadStatus::Failed);
    EXPECT_TRUE(sim.link.devicePresent);
    EXPECT_EQ(ReadInputEvent(sim.link, std::chrono::milliseconds(50)).event, Button(1, 0, 0x01, false));
}

TEST(InputEvents, UnplugEndsTheReaderWithARemoval) {
    SimLink sim;
    struct Collect final : InputEventSink {
        std::vector<InputEvent> events;
        void post(const InputEvent& e) override { events.push_back(e); }
    } sink;
    std::thread reader([&] {
        while (sink.events.empty() || sink.events.back().kind != InputEventKind::DeviceRemoved)
            (void)ForwardInputEvent(sim.link, kMaxInputWait, sink);
    });
    sim.mouse->disconnectAfter(0);
    reader.join();
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_FALSE(sim.link.devicePresent);
}

// The simulated mouse with its read collection refusing to open, as a
// system may refuse one node: discovery ends with only the write collection.
class WithoutReadCollection final : public HidBackend {
public:
    explicit WithoutReadCollection(std::shared_ptr<SimulatedMouse> mouse) : mouse_(mouse), inner_(std::move(mouse)) {}
    HidEnumeration enumerate(std::string* error) override { return inner_.enumerate(error); }
    HidOpenResult open(const HidInterfaceInfo& info) override {
        if (info.path == mouse_->readPath()) return {HidOpenStatus::Failed, nullptr, "refused"};
        return inner_.open(info);
    }

private:
    std::shared_ptr<SimulatedMouse> mouse_;
    SimulatedBackend inner_;
};

TEST(InputEvents, UnplugIsNoticedWithOnlyTheWriteCollectionOpen) {
    auto mouse = std::make_shared<SimulatedMouse>();
    WithoutReadCollection backend(mouse);
    DeviceLink link;
    ASSERT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::MissingCollections);
    ASSERT_TRUE(link.writeHandle);
    ASSERT_FALSE(link.readHandle);

    // Listed: every turn is a wait with nothing to tell, however many checks ran.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadInputEvent(link, kMaxInputWait).status, InputReadStatus::NotOpen);
    EXPECT_TRUE(link.devicePresent);

    mouse->disconnectAfter(0);
    // A turn lasts kMaxInputWait and the listing is looked at every
    // kListingCheckInterval, so the removal is seen within a few turns.
    InputRead read;
    for (int turn = 0; turn < 10 && read.status != InputReadStatus::Event; ++turn)
        read = ReadInputEvent(link, kMaxInputWait);
    ASSERT_EQ(read.status, InputReadStatus::Event);
    EXPECT_EQ(read.event.kind, InputEventKind::DeviceRemoved);
    EXPECT_FALSE(link.devicePresent);
}

TEST(InputEvents, WithoutAReadCollectionNothingBlocks) {
    DeviceLink link;
    EXPECT_EQ(ReadInputEvent(link, std::chrono::hours(1)).status, InputReadStatus::NotOpen);
}

}  // namespace
}  // namespace kx700::device
