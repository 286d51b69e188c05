// Feeds arbitrary bytes to the report descriptor parser: nothing may crash or
// read past the input, and whatever it accepts must keep the promises of its
// header.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/report_descriptor.h"

using namespace kx700::device;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed = ParseReportDescriptor(std::span(data, size));
    if (!parsed) return 0;
    if (size > kMaxDescriptorLength) __builtin_trap();
    if (parsed->size() > size / 2) __builtin_trap();  // a collection costs two items at least
    for (const HidTopLevelCollection& c : *parsed) {
        for (std::size_t length : {c.inputReportLength, c.outputReportLength, c.featureReportLength})
            if (length > kMaxReportLength) __builtin_trap();
        if (c.usesReportIds != parsed->front().usesReportIds) __builtin_trap();
        if (!c.usesReportIds && !c.reportIds.empty()) __builtin_trap();
        if (std::find(c.reportIds.begin(), c.reportIds.end(), 0) != c.reportIds.end()) __builtin_trap();
        if (!std::is_sorted(c.reportIds.begin(), c.reportIds.end()) ||
            std::adjacent_find(c.reportIds.begin(), c.reportIds.end()) != c.reportIds.end())
            __builtin_trap();
        // A report with fields here has at least its ID byte.
        if (c.usesReportIds && !c.reportIds.empty() &&
            c.inputReportLength + c.outputReportLength + c.featureReportLength == 0)
            __builtin_trap();
    }
    return 0;
}
