#include "device/report_descriptor.h"

#include <algorithm>
#include <array>
#include <bitset>

namespace kx700::device {
namespace {

// Item types and tags of the HID class definition (6.2.2).
enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReservedType = 3 };

constexpr std::uint8_t kInput = 0x8;
constexpr std::uint8_t kOutput = 0x9;
constexpr std::uint8_t kCollection = 0xA;
constexpr std::uint8_t kFeature = 0xB;
constexpr std::uint8_t kEndCollection = 0xC;

constexpr std::uint8_t kUsagePage = 0x0;
constexpr std::uint8_t kLastUnusedGlobal = 0x6;  // logical and physical extents, unit exponent, unit
constexpr std::uint8_t kReportSize = 0x7;
constexpr std::uint8_t kReportId = 0x8;
constexpr std::uint8_t kReportCount = 0x9;
constexpr std::uint8_t kPush = 0xA;
constexpr std::uint8_t kPop = 0xB;

constexpr std::uint8_t kUsage = 0x0;
constexpr std::uint8_t kUsageMinimum = 0x1;

constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::size_t kLongItemHeader = 3;  // prefix, data size, long item tag

constexpr std::size_t kIds = 256;
constexpr std::size_t kKinds = 3;  // input, output, feature
// The bits a report may hold so that it and its ID byte fit kMaxReportLength.
constexpr std::uint64_t kMaxReportBits = (kMaxReportLength - 1) * 8;

struct Globals {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;  // 0: no Report ID item in force
};

struct ReportKey {
    std::uint8_t kind = 0;
    std::uint8_t id = 0;
};

struct PendingCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::array<std::bitset<kIds>, kKinds> reports{};  // report IDs with fields here, per kind
    std::vector<ReportKey> order;                     // the same, each once, as they came
};

class Parser {
public:
    bool run(std::span<const std::uint8_t> d) {
        std::size_t pos = 0;
        while (pos < d.size()) {
            const std::uint8_t prefix = d[pos];
            const std::size_t left = d.size() - pos;
            if (prefix == kLongItemPrefix) {
                if (left < kLongItemHeader || left - kLongItemHeader < d[pos + 1]) return false;
                pos += kLongItemHeader + d[pos + 1];
                continue;
            }
            const std::size_t size = (prefix & 3u) == 3 ? 4 : prefix & 3u;
            if (left - 1 < size) return false;
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(d[pos + 1 + i]) << (8 * i);
            pos += 1 + size;
            const auto type = static_cast<ItemType>((prefix >> 2) & 3u);
            const auto tag = static_cast<std::uint8_t>(prefix >> 4);
            const bool ok = type == kMain     ? main(tag)
                            : type == kGlobal ? global(tag, value)
                            : type == kLocal  ? local(tag, value, size)
                                              : true;  // reserved items carry nothing for us
            if (!ok) return false;
        }
        // With report IDs every report carries one: a field without is a broken descriptor.
        return depth_ == 0 && !(anyReportId_ && fieldWithoutId_);
    }

    std::vector<HidTopLevelCollection> result() const {
        std::vector<HidTopLevelCollection> out;
        out.reserve(collections_.size());
        for (const PendingCollection& p : collections_) {
            HidTopLevelCollection c;
            c.usagePage = p.usagePage;
            c.usage = p.usage;
            c.usesReportIds = anyReportId_;
            std::array<std::size_t*, kKinds> lengths = {&c.inputReportLength, &c.outputReportLength,
                                                        &c.featureReportLength};
            // Only the reports this collection has: a long descriptor may hold
            // thousands of collections.
            for (const ReportKey& r : p.order) {
                const std::size_t length =
                    static_cast<std::size_t>((bits_[r.kind][r.id] + 7) / 8) + (anyReportId_ ? 1 : 0);
                if (length > *lengths[r.kind]) *lengths[r.kind] = length;
                if (r.id != 0) c.reportIds.push_back(r.id);
            }
            std::sort(c.reportIds.begin(), c.reportIds.end());
            c.reportIds.erase(std::unique(c.reportIds.begin(), c.reportIds.end()), c.reportIds.end());
            out.push_back(std::move(c));
        }
        return out;
    }

private:
    bool main(std::uint8_t tag) {
        bool ok = true;
        switch (tag) {
            case kInput: ok = field(0); break;
            case kOutput: ok = field(1); break;
            case kFeature: ok = field(2); break;
            case kCollection:
                if (depth_ == kMaxCollectionDepth) return false;
                if (depth_ == 0) collections_.push_back(topLevel());
                ++depth_;
                break;
            case kEndCollection:
                if (depth_ == 0) return false;
                --depth_;
                break;
            default: break;  // a main item this parser does not know takes no room in reports
        }
        firstUsage_.reset();  // local items hold until the next main item only
        return ok;
    }

    PendingCollection topLevel() const {
        PendingCollection c;
        std::uint32_t page = globals_.usagePage;
        std::uint32_t usage = 0;
        if (firstUsage_) {
            usage = firstUsage_->value & 0xFFFF;
            if (firstUsage_->extended) page = firstUsage_->value >> 16;
        }
        c.usagePage = static_cast<std::uint16_t>(page);
        c.usage = static_cast<std::uint16_t>(usage);
        return c;
    }

    bool field(std::size_t kind) {
        if (depth_ == 0) return false;
        const std::uint32_t id = globals_.reportId;
        if (id == 0) fieldWithoutId_ = true;
        std::uint64_t& bits = bits_[kind][id];
        bits += std::uint64_t{globals_.reportSize} * globals_.reportCount;  // each factor is bounded: no overflow
        if (bits > kMaxReportBits) return false;
        PendingCollection& c = collections_.back();
        if (!c.reports[kind].test(id)) {
            c.reports[kind].set(id);
            c.order.push_back({static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(id)});
        }
        return true;
    }

    bool global(std::uint8_t tag, std::uint32_t value) {
        switch (tag) {
            case kUsagePage:
                if (value > 0xFFFF) return false;
                globals_.usagePage = value;
                return true;
            case kReportSize:
                if (value > kMaxReportSizeBits) return false;
                globals_.reportSize = value;
                return true;
            case kReportId:
                if (value == 0 || value >= kIds) return false;
                globals_.reportId = value;
                anyReportId_ = true;
                return true;
            case kReportCount:
                if (value > kMaxReportCount) return false;
                globals_.reportCount = value;
                return true;
            case kPush:
                if (stackDepth_ == stack_.size()) return false;
                stack_[stackDepth_++] = globals_;
                return true;
            case kPop:
                if (stackDepth_ == 0) return false;
                globals_ = stack_[--stackDepth_];
                return true;
            default: return tag <= kLastUnusedGlobal;  // the extents and units do not change lengths
        }
    }

    bool local(std::uint8_t tag, std::uint32_t value, std::size_t size) {
        // Only the first usage names a collection; the rest (and usage
        // maxima, designators, strings, delimiters) do not matter here.
        if ((tag == kUsage || tag == kUsageMinimum) && !firstUsage_) firstUsage_ = Usage{value, size == 4};
        return true;
    }

    struct Usage {
        std::uint32_t value = 0;
        bool extended = false;  // a four-byte usage carries its page in the high half
    };

    Globals globals_;
    std::array<Globals, kMaxGlobalStackDepth> stack_{};
    std::size_t stackDepth_ = 0;
    std::optional<Usage> firstUsage_;
    std::size_t depth_ = 0;
    bool anyReportId_ = false;
    bool fieldWithoutId_ = false;
    std::array<std::array<std::uint64_t, kIds>, kKinds> bits_{};  // per kind and report ID, whole descriptor
    std::vector<PendingCollection> collections_;
};

}  // namespace

std::optional<std::vector<HidTopLevelCollection>> ParseReportDescriptor(std::span<const std::uint8_t> descriptor) {
    if (descriptor.size() > kMaxDescriptorLength) return std::nullopt;
    Parser parser;
    if (!parser.run(descriptor)) return std::nullopt;
    return parser.result();
}

const HidTopLevelCollection* FindCollection(const std::vector<HidTopLevelCollection>& collections,
                                            std::uint16_t usagePage, std::uint16_t usage) {
    for (const HidTopLevelCollection& c : collections)
        if (c.usagePage == usagePage && c.usage == usage) return &c;
    return nullptr;
}

}  // namespace kx700::device
