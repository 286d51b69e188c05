#include "device/simulated_backend.h"

#include <algorithm>

#include "device/report_descriptor.h"

namespace kx700::device {
namespace {

enum class Collection { Pointer, Input, Feature };

// One opened collection of the simulated mouse: the feature collection takes
// and answers feature reports, the input collection delivers input reports,
// the pointer collection carries nothing we use.
class SimulatedConnection final : public HidConnection {
public:
    SimulatedConnection(std::shared_ptr<SimulatedMouse> mouse, Collection collection)
        : mouse_(std::move(mouse)),
          feature_(collection == Collection::Feature),
          input_(collection == Collection::Input) {
        // The lengths come from the firmware's descriptor, as the system's
        // backend takes them from the device's.
        const auto collections = ParseReportDescriptor(mouse_->reportDescriptor());
        if (!collections) return;
        const HidTopLevelCollection* own = feature_ ? FindCollection(*collections, kWriteUsagePage, kVendorUsage)
                                           : input_ ? FindCollection(*collections, kReadUsagePage, kVendorUsage)
                                                    : nullptr;
        if (own == nullptr) return;
        featureLength_ = own->featureReportLength;
        inputLength_ = own->inputReportLength;
    }

    HidIo sendFeatureReport(std::span<const std::uint8_t> report) override {
        if (!feature_) return {HidIoStatus::Failed, 0};
        return mouse_->receiveFeatureReport(report);
    }

    HidIo getFeatureReport(std::span<std::uint8_t> buffer) override {
        if (!feature_) return {HidIoStatus::Failed, 0};
        return mouse_->answerStatusRead(buffer);
    }

    HidIo readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        if (!input_) return {mouse_->connected() ? HidIoStatus::Timeout : HidIoStatus::Disconnected, 0};
        return mouse_->nextInputReport(buffer, timeout);
    }

    std::size_t featureReportLength() const override { return featureLength_; }
    std::size_t inputReportLength() const override { return inputLength_; }

private:
    std::shared_ptr<SimulatedMouse> mouse_;
    bool feature_;
    bool input_;
    std::size_t featureLength_ = 0;
    std::size_t inputLength_ = 0;
};

}  // namespace

SimulatedBackend::SimulatedBackend(std::shared_ptr<SimulatedMouse> mouse) : mouse_(std::move(mouse)) {}

HidEnumeration SimulatedBackend::enumerate(std::string* /*error*/) {
    HidEnumeration out;
    for (HidInterfaceInfo& info : mouse_->interfaces()) out.emplace_back(std::move(info));
    return out;
}

HidOpenResult SimulatedBackend::open(const HidInterfaceInfo& info) {
    const auto listed = mouse_->interfaces();
    const bool known =
        std::any_of(listed.begin(), listed.end(), [&](const HidInterfaceInfo& i) { return i.path == info.path; });
    if (!known) return {HidOpenStatus::NotFound, nullptr, "no such simulated collection"};
    if (!mouse_->accessible()) return {HidOpenStatus::NoAccess, nullptr, "permission denied"};
    const Collection collection = info.path == mouse_->writePath()  ? Collection::Feature
                                  : info.path == mouse_->readPath() ? Collection::Input
                                                                    : Collection::Pointer;
    return {HidOpenStatus::Ok, std::make_unique<SimulatedConnection>(mouse_, collection), {}};
}

}  // namespace kx700::device
