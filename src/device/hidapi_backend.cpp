#include "device/hidapi_backend.h"

#include <hidapi.h>
#ifdef __linux__
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#endif

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "device/report_descriptor.h"
#include "platform/posix.h"

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

using Descriptor = std::vector<std::uint8_t>;

std::optional<Descriptor> ReadSysfsDescriptor(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    Descriptor d;
    // One byte more than a descriptor may hold, so an overlong one is seen as such.
    d.resize(kMaxDescriptorLength + 1);
    in.read(reinterpret_cast<char*>(d.data()), static_cast<std::streamsize>(d.size()));
    if (in.bad()) return std::nullopt;
    d.resize(static_cast<std::size_t>(in.gcount()));
    if (d.empty()) return std::nullopt;
    return d;
}

std::optional<Descriptor> ReadNodeDescriptor(const std::string& devicePath) {
#ifdef __linux__
    const posix::FileDescriptor fd = posix::OpenReadOnly(devicePath);
    if (!fd.valid()) return std::nullopt;
    std::optional<Descriptor> out;
    int size = 0;
    hidraw_report_descriptor rd{};
    if (::ioctl(fd.get(), HIDIOCGRDESCSIZE, &size) == 0 && size > 0 &&
        static_cast<std::size_t>(size) <= sizeof rd.value) {
        rd.size = static_cast<__u32>(size);
        if (::ioctl(fd.get(), HIDIOCGRDESC, &rd) == 0) out = Descriptor(rd.value, rd.value + rd.size);
    }
    return out;
#else
    (void)devicePath;
    return std::nullopt;
#endif
}

struct DeviceCloser {
    void operator()(hid_device* d) const { hid_close(d); }
};

class HidapiConnection final : public HidConnection {
public:
    HidapiConnection(hid_device* device, CollectionLengths lengths) : device_(device), lengths_(lengths) {}

    HidIo sendFeatureReport(std::span<const std::uint8_t> report) override {
        return Result(hid_send_feature_report(device_.get(), report.data(), report.size()));
    }

    HidIo getFeatureReport(std::span<std::uint8_t> buffer) override {
        return Result(hid_get_feature_report(device_.get(), buffer.data(), buffer.size()));
    }

    HidIo readInputReport(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override {
        const int rc = hid_read_timeout(device_.get(), buffer.data(), buffer.size(),
                                        Clamp(static_cast<std::size_t>(timeout.count())));
        if (rc == 0) return {HidIoStatus::Timeout, 0};
        return Result(rc);
    }

    std::size_t featureReportLength() const override { return lengths_.feature; }
    std::size_t inputReportLength() const override { return lengths_.input; }

private:
    static HidIo Result(int rc) {
        if (rc >= 0) return {HidIoStatus::Ok, static_cast<std::size_t>(rc)};
        // hidraw reports an unplugged device as ENODEV (or EIO while it goes).
        return {errno == ENODEV ? HidIoStatus::Disconnected : HidIoStatus::Failed, 0};
    }

    std::unique_ptr<hid_device, DeviceCloser> device_;
    CollectionLengths lengths_;
};

}  // namespace

CollectionLengths ReadCollectionLengths(const std::string& devicePath, std::uint16_t usagePage, std::uint16_t usage,
                                        const std::filesystem::path& sysfsRoot) {
    const std::filesystem::path node(devicePath);
    const std::string name = node.filename().string();
    if (node.parent_path() != "/dev" || name.rfind("hidraw", 0) != 0 || name.size() == 6) return {};
    std::optional<Descriptor> d = ReadSysfsDescriptor(sysfsRoot / name / "device" / "report_descriptor");
    if (!d) d = ReadNodeDescriptor(devicePath);
    if (!d) return {};
    const auto collections = ParseReportDescriptor(*d);
    if (!collections) return {};
    const HidTopLevelCollection* c = FindCollection(*collections, usagePage, usage);
    if (c == nullptr) return {};
    return {c->featureReportLength, c->inputReportLength};
}

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
    if (device != nullptr) {
        const CollectionLengths lengths = ReadCollectionLengths(info.path, info.usagePage, info.usage);
        return {HidOpenStatus::Ok, std::make_unique<HidapiConnection>(device, lengths), {}};
    }

    error = Narrow(hid_error(nullptr));
    int reason = openErrno;
    if (reason == 0) reason = posix::ReadWriteAccessError(info.path);  // hidapi may lose errno
    if (error.empty() && reason != 0) error = std::strerror(reason);
    if (reason == EACCES || reason == EPERM) return {HidOpenStatus::NoAccess, nullptr, error};
    if (reason == ENOENT || reason == ENODEV) return {HidOpenStatus::NotFound, nullptr, error};
    return {HidOpenStatus::Failed, nullptr, error};
}

}  // namespace kx700::device
