#include "device/hidapi_backend.h"

#include <hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>

namespace kx700::device {
namespace {

// hidapi keeps its last error in one global string, so enumerating (the
// reader thread does it on a failed read) and opening take turns.
std::mutex& LibraryMutex() {
    static std::mutex m;
    return m;
}

// hidapi's own state lives as long as the process.
bool LibraryReady(std::string* error) {
    static const int rc = hid_init();
    if (rc != 0 && error) *error = "hidapi could not be initialised";
    return rc == 0;
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    if (text == nullptr) return out;
    for (; *text; ++text) out.push_back(*text > 0 && *text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

int Clamp(std::size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

struct DeviceCloser {
    void operator()(hid_device* d) const { hid_close(d); }
};

class HidapiConnection final : public HidConnection {
public:
    explicit HidapiConnection(hid_device* device) : device_(device) {}

    HidIo sendFeatureReport(std::span<const std::uint8_t> report) override {
        return Result(hid_send_feature_report(device_.get(), report.data(), report.size()));
    }

    HidIo getFeatureReport(std::span<std::uint8_t> buffer) override {
        return Result(hid_get_feature_report(device_.get(), buffer.data(), buffer.size()));
    }

    HidIo readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        const int rc = hid_read_timeout(device_.get(), buffer.data(), buffer.size(), Clamp(static_cast<std::size_t>(timeout.count())));
        if (rc == 0) return {HidIoStatus::Timeout, 0};
        return Result(rc);
    }

    // hidapi 0.13 cannot give the report descriptor; the link then uses the
    // protocol's lengths, and hidraw reads return each report's real length.
    std::size_t featureReportLength() const override { return 0; }
    std::size_t inputReportLength() const override { return 0; }

private:
    static HidIo Result(int rc) {
        if (rc >= 0) return {HidIoStatus::Ok, static_cast<std::size_t>(rc)};
        // hidraw reports an unplugged device as ENODEV (or EIO while it goes).
        return {errno == ENODEV ? HidIoStatus::Disconnected : HidIoStatus::Failed, 0};
    }

    std::unique_ptr<hid_device, DeviceCloser> device_;
};

}  // namespace

HidEnumeration HidapiBackend::enumerate(std::string* error) {
    HidEnumeration out;
    std::lock_guard lock(LibraryMutex());
    if (!LibraryReady(error)) return out;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        if (d->path == nullptr) {
            out.emplace_back(std::nullopt);
            continue;
        }
        out.emplace_back(HidInterfaceInfo{d->path, d->vendor_id, d->product_id, d->usage_page, d->usage});
    }
    hid_free_enumeration(list);
    return out;
}

HidOpenResult HidapiBackend::open(const HidInterfaceInfo& info) {
    std::string error;
    std::lock_guard lock(LibraryMutex());
    if (!LibraryReady(&error)) return {HidOpenStatus::Failed, nullptr, error};
    errno = 0;
    hid_device* device = hid_open_path(info.path.c_str());
    const int openErrno = errno;
    if (device != nullptr) return {HidOpenStatus::Ok, std::make_unique<HidapiConnection>(device), {}};

    error = Narrow(hid_error(nullptr));
    int reason = openErrno;
    if (reason == 0 && ::access(info.path.c_str(), R_OK | W_OK) != 0) reason = errno;  // hidapi may lose errno
    if (error.empty() && reason != 0) error = std::strerror(reason);
    if (reason == EACCES || reason == EPERM) return {HidOpenStatus::NoAccess, nullptr, error};
    if (reason == ENOENT || reason == ENODEV) return {HidOpenStatus::NotFound, nullptr, error};
    return {HidOpenStatus::Failed, nullptr, error};
}

}  // namespace kx700::device
