#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "../support/temp_dir.h"
#include "device/device_link.h"
#include "device/hidapi_backend.h"
#include "device/simulated_mouse.h"
#include "file_text.h"

namespace kx700::device {
namespace {

// An enumeration written out by the test; opening records the path and
// refuses the paths listed as denied.
class ScriptedBackend final : public HidBackend {
public:
    HidEnumeration slots;
    std::set<std::string> denied;
    std::vector<std::string> opened;

    HidEnumeration enumerate(std::string* /*error*/) override { return slots; }

    HidOpenResult open(const HidInterfaceInfo& info) override {
        if (denied.count(info.path)) return {HidOpenStatus::NoAccess, nullptr, "Permission denied"};
        opened.push_back(info.path);
        return {HidOpenStatus::Ok, std::make_unique<Inert>(), {}};
    }

private:
    struct Inert final : HidConnection {
        HidIo sendFeatureReport(std::span<const std::uint8_t>) override { return {HidIoStatus::Ok, 8}; }
        HidIo getFeatureReport(std::span<std::uint8_t>) override { return {HidIoStatus::Ok, 8}; }
        HidIo readInputReport(std::span<std::uint8_t>, std::chrono::milliseconds) override {
            return {HidIoStatus::Timeout, 0};
        }
        std::size_t featureReportLength() const override { return 9; }
        std::size_t inputReportLength() const override { return 0; }
    };
};

std::optional<HidInterfaceInfo> Entry(std::string path, std::uint16_t vid, std::uint16_t pid, std::uint16_t page,
                                      std::uint16_t usage = 1) {
    return HidInterfaceInfo{std::move(path), vid, pid, page, usage};
}
std::optional<HidInterfaceInfo> Mouse(std::string path, std::uint16_t page, std::uint16_t usage = 1) {
    return Entry(std::move(path), 0x18F8, 0x13C0, page, usage);
}
const std::optional<HidInterfaceInfo> kGap = std::nullopt;

struct DiscoveryCase {
    std::string name;
    HidEnumeration slots;
    std::set<std::string> denied;
    DiscoveryResult result;
    std::string devicePath;
    std::vector<std::string> opened;  // read collection first when both are on one path
};

TEST(Discovery, FindsAndOpensBothVendorCollections) {
    const auto keyboard = Entry("kbd", 0x046D, 0xC31C, 0x0001, 6);
    const std::vector<DiscoveryCase> cases = {
        {"second identifier pair only",
         {Entry("B-read", 0x30FA, 0x1330, 0xFF00), Entry("B-write", 0x30FA, 0x1330, 0xFF01)},
         {},
         DiscoveryResult::Ready,
         "B-write",
         {"B-read", "B-write"}},
        {"pointer interfaces before and after; the walk stops when the pair is complete",
         {keyboard, Mouse("ptr", 0x0001, 2), Mouse("w", 0xFF01), kGap, Mouse("kbd-part", 0x000C), Mouse("r", 0xFF00),
          Mouse("after", 0x0001, 2)},
         {},
         DiscoveryResult::Ready,
         "r",
         {"w", "r"}},
        {"a gap does not end the walk",
         {kGap, kGap, Mouse("r", 0xFF00), kGap, Mouse("w", 0xFF01)},
         {},
         DiscoveryResult::Ready,
         "w",
         {"r", "w"}},
        {"collections sharing one path: opened once for reading and once for writing",
         {Mouse("/dev/hidraw3", 0x0001, 2), Mouse("/dev/hidraw4", 0xFF00), Mouse("/dev/hidraw4", 0xFF01)},
         {},
         DiscoveryResult::Ready,
         "/dev/hidraw4",
         {"/dev/hidraw4", "/dev/hidraw4"}},
        {"wrong usage inside the vendor page is not a collection of ours",
         {Mouse("r", 0xFF00, 2), Mouse("w", 0xFF01)},
         {},
         DiscoveryResult::MissingCollections,
         "w",
         {"w"}},
        {"found, no access", {Mouse("r", 0xFF00), Mouse("w", 0xFF01)}, {"r", "w"}, DiscoveryResult::NoAccess, "w", {}},
        {"only the pointer interface", {Mouse("ptr", 0x0001, 2)}, {}, DiscoveryResult::MissingCollections, "ptr", {}},
        {"no mouse", {keyboard, kGap}, {}, DiscoveryResult::NotFound, "", {}},
    };
    for (const DiscoveryCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBackend backend;
        backend.slots = c.slots;
        backend.denied = c.denied;
        DeviceLink link;
        const Discovery d = DiscoverDevice(link, backend);
        EXPECT_EQ(d.result, c.result);
        EXPECT_EQ(link.devicePresent.load(), c.result != DiscoveryResult::NotFound);
        EXPECT_EQ(link.devicePath, c.devicePath);
        EXPECT_EQ(backend.opened, c.opened);
        if (c.result == DiscoveryResult::NoAccess) {
            EXPECT_NE(d.detail.find("Permission denied"), std::string::npos);
        }
    }
}

TEST(Discovery, LooksAtNoMoreThanOneHundredSlots) {
    ScriptedBackend backend;
    backend.slots.assign(99, kGap);
    backend.slots.push_back(Mouse("r", 0xFF00));  // slot 99, the last one looked at
    backend.slots.push_back(Mouse("w", 0xFF01));  // slot 100, beyond the walk
    DeviceLink link;
    EXPECT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::MissingCollections);
    EXPECT_EQ(link.devicePath, "r");
}

// hidapi lists one entry per collection, so the budget of the walk is spent
// on paths: a busy machine's mouse may sit far past the 100th entry.
TEST(Discovery, TheWalkCountsInterfacesNotEntries) {
    // `paths` other interfaces of three collections each, then the mouse's
    // path with its pointer and both vendor collections.
    const auto busy = [](int paths, int gapsBefore = 0) {
        HidEnumeration slots(static_cast<std::size_t>(gapsBefore), kGap);
        for (int p = 0; p < paths; ++p) {
            const std::string path = "/dev/hidraw" + std::to_string(p);
            for (int usage : {2, 6, 1})
                slots.push_back(Entry(path, 0x046D, 0xC000, 0x0001, static_cast<std::uint16_t>(usage)));
        }
        slots.push_back(Mouse("/dev/hidraw-m", 0x0001, 2));
        slots.push_back(Mouse("/dev/hidraw-m", 0xFF00));
        slots.push_back(Mouse("/dev/hidraw-m", 0xFF01));
        return slots;
    };
    struct Case {
        std::string name;
        HidEnumeration slots;
        DiscoveryResult result;
    };
    const std::vector<Case> cases = {
        {"150 entries, 50 paths: the mouse's collections at entries 151 and 152", busy(50), DiscoveryResult::Ready},
        {"the mouse is the 100th path, at entries 298 to 300", busy(99), DiscoveryResult::Ready},
        {"the mouse is the 101st path", busy(100), DiscoveryResult::NotFound},
        {"gaps count as attempts: 90 gaps and 9 paths, the mouse the 100th attempt", busy(9, 90),
         DiscoveryResult::Ready},
        {"91 gaps and 9 paths: the mouse is the 101st attempt", busy(9, 91), DiscoveryResult::NotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedBackend backend;
        backend.slots = c.slots;
        DeviceLink link;
        EXPECT_EQ(DiscoverDevice(link, backend).result, c.result);
    }

    // A path listed again after other paths is not a new attempt.
    ScriptedBackend backend;
    backend.slots = {Mouse("m", 0xFF00)};
    for (int p = 0; p < 99; ++p) backend.slots.push_back(Entry("other" + std::to_string(p), 1, 2, 0x0001, 2));
    backend.slots.push_back(Mouse("m", 0xFF01));
    DeviceLink link;
    EXPECT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::Ready);
    EXPECT_EQ(backend.opened, (std::vector<std::string>{"m", "m"}));
}

TEST(Discovery, ReportLengthsComeFromTheOpenedCollections) {
    ScriptedBackend backend;
    backend.slots = {Mouse("r", 0xFF00), Mouse("w", 0xFF01)};
    DeviceLink link;
    ASSERT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::Ready);
    EXPECT_EQ(link.featureReportLength, 9u);
    EXPECT_EQ(link.inputReportLength, kReportBufferSize);  // unknown: the whole buffer
}

TEST(Discovery, DevicePathMatchesWithoutRegardToCase) {
    const std::string path = R"(\\?\HID#VID_18F8&PID_13C0&MI_01#7&2a1b&0&0000#{4d1e55b2-f16f-11cf})";
    EXPECT_TRUE(MatchesDevicePath(path, path));
    EXPECT_TRUE(MatchesDevicePath(path, R"(\\?\hid#vid_18f8&pid_13c0&mi_01#7&2A1B&0&0000#{4D1E55B2-F16F-11CF})"));
    EXPECT_FALSE(MatchesDevicePath(path, R"(\\?\HID#VID_18F8&PID_13C0&MI_00#7&2a1b&0&0000#{4d1e55b2-f16f-11cf})"));
    EXPECT_FALSE(MatchesDevicePath(path, path.substr(0, path.size() - 1)));
    EXPECT_FALSE(MatchesDevicePath("", ""));  // nothing matched yet: no announcement is ours
}

// The lengths an opened hidraw collection reports come from its interface's
// descriptor in sysfs, here a folder standing in for /sys/class/hidraw.
TEST(Discovery, HidrawLengthsComeFromTheReportDescriptor) {
    kx700::testing::TempDir sysfs;
    const auto put = [&](const std::string& node, const std::vector<std::uint8_t>& descriptor) {
        std::filesystem::create_directories(sysfs / node / "device");
        testing::WriteText(sysfs / node / "device" / "report_descriptor",
                           std::string(descriptor.begin(), descriptor.end()));
    };
    SimulatedMouse mouse;
    mouse.setFeatureReportLength(33);
    put("hidraw987651", mouse.reportDescriptor());
    std::vector<std::uint8_t> cut = mouse.reportDescriptor();
    cut.pop_back();  // the last End Collection is missing
    put("hidraw987652", cut);

    struct Case {
        std::string name;
        std::string path;
        std::uint16_t page;
        CollectionLengths expected;
    };
    const std::vector<Case> cases = {
        {"the feature collection", "/dev/hidraw987651", 0xFF01, {33, 0}},
        {"the input collection of the same node", "/dev/hidraw987651", 0xFF00, {0, 8}},
        {"a collection the descriptor does not have", "/dev/hidraw987651", 0xFF02, {}},
        {"a descriptor that does not parse", "/dev/hidraw987652", 0xFF01, {}},
        {"no descriptor and no node", "/dev/hidraw987653", 0xFF01, {}},
        {"not a hidraw node", "/tmp/hidraw987651", 0xFF01, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadCollectionLengths(c.path, c.page, 1, sysfs.path()), c.expected);
    }
}

// The system's own HID devices: whatever is plugged in, the walk must finish
// and must not claim a mouse it did not open.
TEST(Discovery, RealSystemEnumerationIsWalkedSafely) {
    HidapiBackend backend;
    DeviceLink link;
    const Discovery d = DiscoverDevice(link, backend);
    EXPECT_EQ(d.result == DiscoveryResult::Ready, link.readHandle && link.writeHandle);
    const HidOpenResult missing = backend.open({"/dev/hidraw-kx700-does-not-exist", 0, 0, 0, 0});
    EXPECT_EQ(missing.status, HidOpenStatus::NotFound);
    EXPECT_FALSE(missing.error.empty());
}

}  // namespace
}  // namespace kx700::device
