#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "device/device_link.h"
#include "device/simulated_backend.h"
#include "device/simulated_mouse.h"

namespace kx700::device::testing {

using Bytes = std::vector<std::uint8_t>;

// A link that discovered a fresh simulated mouse; the test keeps the mouse.
struct SimLink {
    std::shared_ptr<SimulatedMouse> mouse = std::make_shared<SimulatedMouse>();
    SimulatedBackend backend{mouse};
    DeviceLink link;

    SimLink() { EXPECT_EQ(DiscoverDevice(link, backend).result, DiscoveryResult::Ready); }

    // The log entries in one direction, from log position `from` on.
    std::vector<SimLogEntry> entries(SimDirection direction, std::size_t from = 0) const {
        std::vector<SimLogEntry> out;
        const auto log = mouse->log();
        for (std::size_t i = from; i < log.size(); ++i)
            if (log[i].direction == direction) out.push_back(log[i]);
        return out;
    }

    std::vector<Bytes> sent(std::size_t from = 0) const {
        std::vector<Bytes> out;
        for (const auto& e : entries(SimDirection::HostToMouse, from)) out.push_back(e.bytes);
        return out;
    }

    std::size_t mark() const { return mouse->log().size(); }
};

}  // namespace kx700::device::testing
