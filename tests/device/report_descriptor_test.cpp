// Report descriptors written out item by item from the HID class definition;
// each line is one item, its bytes and what it says.
#include "device/report_descriptor.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace kx700::device {

void PrintTo(const HidTopLevelCollection& c, std::ostream* os) {
    *os << "{page " << c.usagePage << " usage " << c.usage << " in " << c.inputReportLength << " out "
        << c.outputReportLength << " feature " << c.featureReportLength << (c.usesReportIds ? " ids" : " no ids")
        << ::testing::PrintToString(c.reportIds) << "}";
}

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A pointer in the boot mouse shape: five buttons, three bits of padding,
// 16-bit X and Y, an 8-bit wheel (6 bytes of data). `id` 0: no Report ID item.
Bytes MouseCollection(std::uint8_t id) {
    Bytes d = {0x05, 0x01,                       // Usage Page (Generic Desktop)
               0x09, 0x02,                       // Usage (Mouse)
               0xA1, 0x01};                      // Collection (Application)
    if (id != 0) d.insert(d.end(), {0x85, id});  // Report ID
    const Bytes body = {
        0x09, 0x01,        //   Usage (Pointer)
        0xA1, 0x00,        //   Collection (Physical)
        0x05, 0x09,        //     Usage Page (Button)
        0x19, 0x01,        //     Usage Minimum (1)
        0x29, 0x05,        //     Usage Maximum (5)
        0x15, 0x00,        //     Logical Minimum (0)
        0x25, 0x01,        //     Logical Maximum (1)
        0x95, 0x05,        //     Report Count (5)
        0x75, 0x01,        //     Report Size (1)
        0x81, 0x02,        //     Input (Data, Variable, Absolute)
        0x95, 0x01,        //     Report Count (1)
        0x75, 0x03,        //     Report Size (3)
        0x81, 0x01,        //     Input (Constant): padding
        0x05, 0x01,        //     Usage Page (Generic Desktop)
        0x09, 0x30,        //     Usage (X)
        0x09, 0x31,        //     Usage (Y)
        0x16, 0x01, 0x80,  //     Logical Minimum (-32767)
        0x26, 0xFF, 0x7F,  //     Logical Maximum (32767)
        0x75, 0x10,        //     Report Size (16)
        0x95, 0x02,        //     Report Count (2)
        0x81, 0x06,        //     Input (Data, Variable, Relative)
        0x09, 0x38,        //     Usage (Wheel)
        0x15, 0x81,        //     Logical Minimum (-127)
        0x25, 0x7F,        //     Logical Maximum (127)
        0x75, 0x08,        //     Report Size (8)
        0x95, 0x01,        //     Report Count (1)
        0x81, 0x06,        //     Input (Data, Variable, Relative)
        0xC0,              //   End Collection
        0xC0,              // End Collection
    };
    d.insert(d.end(), body.begin(), body.end());
    return d;
}

// A vendor collection of byte-wide fields. Each report is (kind, ID, data
// bytes); kind is 0x81 Input, 0x91 Output or 0xB1 Feature.
struct VendorReport {
    std::uint8_t mainItem;
    std::uint8_t id;
    std::uint8_t bytes;
};
Bytes VendorCollection(std::uint8_t page, std::initializer_list<VendorReport> reports) {
    Bytes d = {0x06, page, 0xFF,  // Usage Page (Vendor 0xFF..)
               0x09, 0x01,        // Usage (1)
               0xA1, 0x01,        // Collection (Application)
               0x15, 0x00,        //   Logical Minimum (0)
               0x26, 0xFF, 0x00,  //   Logical Maximum (255)
               0x75, 0x08};       //   Report Size (8)
    for (const VendorReport& r : reports) {
        if (r.id != 0) d.insert(d.end(), {0x85, r.id});  // Report ID
        d.insert(d.end(), {0x95, r.bytes,                // Report Count
                           0x09, 0x01,                   // Usage (1)
                           r.mainItem, 0x02});           // Input / Output / Feature (Data, Variable, Absolute)
    }
    d.push_back(0xC0);  // End Collection
    return d;
}

HidTopLevelCollection Top(std::uint16_t page, std::uint16_t usage, std::size_t in, std::size_t out, std::size_t feature,
                          bool ids, std::vector<std::uint8_t> reportIds) {
    return {page, usage, in, out, feature, ids, std::move(reportIds)};
}

TEST(ReportDescriptor, LengthsPerTopLevelCollection) {
    struct Case {
        std::string name;
        Bytes descriptor;
        std::vector<HidTopLevelCollection> expected;
    };
    const std::vector<Case> cases = {
        {"no report IDs: a 64-byte vendor pipe, no ID byte",
         VendorCollection(0x00, {{0x81, 0, 64}, {0x91, 0, 64}}),
         {Top(0xFF00, 1, 64, 64, 0, false, {})}},
        {"boot mouse beside the two vendor collections, all with report IDs",
         Cat({MouseCollection(1), VendorCollection(0x00, {{0x81, 6, 7}}), VendorCollection(0x01, {{0xB1, 7, 7}})}),
         {Top(0x0001, 2, 7, 0, 0, true, {1}), Top(0xFF00, 1, 8, 0, 0, true, {6}), Top(0xFF01, 1, 0, 0, 8, true, {7})}},
        {"several reports per collection: the longest of each kind counts",
         Cat({VendorCollection(0x00, {{0x81, 5, 3}, {0x81, 6, 7}, {0x91, 9, 2}}),
              VendorCollection(0x01, {{0xB1, 7, 7}, {0xB1, 8, 31}, {0xB1, 0x0A, 1}})}),
         {Top(0xFF00, 1, 8, 3, 0, true, {5, 6, 9}), Top(0xFF01, 1, 0, 0, 32, true, {7, 8, 10})}},
        {"one report ID split over two items adds up; partial bytes round up",
         Cat({Bytes{0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // Usage Page (0xFF01), Usage (1), Collection
                    0x85, 0x07,                                //   Report ID (7)
                    0x75, 0x08, 0x95, 0x04, 0xB1, 0x02,        //   Report Size (8), Report Count (4), Feature
                    0x75, 0x01, 0x95, 0x0B, 0xB1, 0x02,        //   Report Size (1), Report Count (11), Feature
                    0xC0}}),                                   // End Collection: 32 + 11 bits = 6 bytes
         {Top(0xFF01, 1, 0, 0, 7, true, {7})}},
        {"a four-byte usage carries its own page; a usage page item after the usage counts at the collection",
         Cat({Bytes{0x0B, 0x01, 0x00, 0x00, 0xFF,  // Usage (0xFF000001)
                    0xA1, 0x01, 0xC0,              // Collection (Application), End Collection
                    0x09, 0x01,                    // Usage (1)
                    0x06, 0x01, 0xFF,              // Usage Page (0xFF01)
                    0xA1, 0x01, 0xC0}}),           // Collection (Application), End Collection
         {Top(0xFF00, 1, 0, 0, 0, false, {}), Top(0xFF01, 1, 0, 0, 0, false, {})}},
        {"push and pop: the vendor collection's report size does not leak into the next collection",
         Cat({Bytes{0x75, 0x08,                                      // Report Size (8)
                    0xA4,                                            // Push
                    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,        // Usage Page (0xFF00), Usage (1), Collection
                    0x85, 0x06, 0x75, 0x20, 0x95, 0x02, 0x81, 0x02,  //   Report ID (6), Size (32), Count (2), Input
                    0xC0,                                            // End Collection
                    0xB4,                                            // Pop: usage page and size 8 again, no ID
                    0x85, 0x07,                                      // Report ID (7)
                    0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01,        // Usage Page (0xFF01), Usage (1), Collection
                    0x95, 0x07, 0xB1, 0x02,                          //   Count (7), Feature
                    0xC0}}),                                         // End Collection
         {Top(0xFF00, 1, 9, 0, 0, true, {6}), Top(0xFF01, 1, 0, 0, 8, true, {7})}},
        {"long items and reserved items are skipped",
         Cat({Bytes{0xFE, 0x03, 0xF1, 0xA1, 0x01, 0xC0,  // Long item, 3 data bytes that look like a collection
                    0x0C,                                // reserved-type items of 0,
                    0x0D, 0xAA,                          //   1,
                    0x0E, 0xAA, 0xBB,                    //   2
                    0x0F, 0x01, 0x02, 0x03, 0x04},       //   and 4 data bytes
              VendorCollection(0x01, {{0xB1, 7, 7}})}),
         {Top(0xFF01, 1, 0, 0, 8, true, {7})}},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = ParseReportDescriptor(c.descriptor);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, c.expected);
    }
}

TEST(ReportDescriptor, FindsTheVendorCollections) {
    const auto parsed = ParseReportDescriptor(
        Cat({MouseCollection(1), VendorCollection(0x00, {{0x81, 6, 7}}), VendorCollection(0x01, {{0xB1, 7, 15}})}));
    ASSERT_TRUE(parsed.has_value());
    const HidTopLevelCollection* feature = FindCollection(*parsed, 0xFF01, 1);
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->featureReportLength, 16u);
    ASSERT_NE(FindCollection(*parsed, 0xFF00, 1), nullptr);
    EXPECT_EQ(FindCollection(*parsed, 0xFF00, 1)->inputReportLength, 8u);
    EXPECT_EQ(FindCollection(*parsed, 0xFF02, 1), nullptr);
    EXPECT_EQ(FindCollection(*parsed, 0xFF00, 2), nullptr);
}

TEST(ReportDescriptor, RefusesWhatItCannotBeSureOf) {
    const Bytes vendorOpen = {0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01};  // Usage Page, Usage, Collection
    Bytes deepest, tooDeep, pushes, tooManyPushes;
    for (std::size_t i = 0; i < kMaxCollectionDepth; ++i) deepest.insert(deepest.end(), {0xA1, 0x02});
    deepest.insert(deepest.end(), kMaxCollectionDepth, 0xC0);
    tooDeep = Cat({Bytes{0xA1, 0x02}, deepest});
    tooDeep.push_back(0xC0);
    pushes.assign(kMaxGlobalStackDepth, 0xA4);
    pushes.insert(pushes.end(), kMaxGlobalStackDepth, 0xB4);
    tooManyPushes = Cat({Bytes{0xA4}, pushes});
    // Both within the limits: the refusals below are the limits themselves.
    ASSERT_TRUE(ParseReportDescriptor(deepest).has_value());
    ASSERT_TRUE(ParseReportDescriptor(pushes).has_value());

    Bytes longest = VendorCollection(0x01, {{0xB1, 0, 255}});  // 255 bytes per item, no report ID
    longest.pop_back();
    const Bytes more = {0x95, 0xFF, 0xB1, 0x02};  // 255 more bytes of the same report
    for (std::size_t total = 255; total + 255 <= kMaxReportLength - 1; total += 255)
        longest.insert(longest.end(), more.begin(), more.end());
    longest.push_back(0xC0);
    ASSERT_TRUE(ParseReportDescriptor(longest).has_value());
    Bytes overlong = longest;
    overlong.insert(overlong.end() - 1, {0x95, 0x40, 0xB1, 0x02});  // 64 more: past 16383 bytes of data

    const std::vector<std::pair<std::string, Bytes>> cases = {
        {"short item cut off", {0x05, 0x01, 0x06, 0x00}},
        {"four-byte item cut off", {0x07, 0x01, 0x00, 0x00}},
        {"long item header cut off", {0xFE, 0x04}},
        {"long item data cut off", {0xFE, 0x04, 0x10, 0xAA, 0xBB, 0xCC}},
        {"end collection without a collection", {0xC0}},
        {"collection left open", vendorOpen},
        {"nested deeper than the limit", tooDeep},
        {"pop without push", {0xB4}},
        {"more pushes than the stack holds", tooManyPushes},
        {"report ID 0", Cat({vendorOpen, Bytes{0x85, 0x00, 0xC0}})},
        {"report ID above 255", Cat({vendorOpen, Bytes{0x86, 0x00, 0x01, 0xC0}})},
        {"report size above 256 bits", Cat({vendorOpen, Bytes{0x76, 0x01, 0x01, 0xC0}})},
        {"report count above the limit", Cat({vendorOpen, Bytes{0x96, 0x01, 0x30, 0xC0}})},
        {"huge size times huge count", Cat({vendorOpen, Bytes{0x76, 0x00, 0x01, 0x96, 0x00, 0x30, 0xB1, 0x02, 0xC0}})},
        {"four-byte report count", Cat({vendorOpen, Bytes{0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0xC0}})},
        {"usage page wider than 16 bits", {0x07, 0x00, 0x00, 0x01, 0x00}},
        {"unknown global item", {0xC4}},
        {"input outside every collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"a field without report ID in a descriptor with report IDs",
         Cat({VendorCollection(0x00, {{0x81, 0, 7}}), VendorCollection(0x01, {{0xB1, 7, 7}})})},
        {"a report past the longest one the system carries", overlong},
        {"a descriptor longer than the system gives", Bytes(kMaxDescriptorLength + 1, 0x00)},
    };
    for (const auto& [name, descriptor] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(ParseReportDescriptor(descriptor).has_value());
    }
}

}  // namespace
}  // namespace kx700::device
