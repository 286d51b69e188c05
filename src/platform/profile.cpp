#include "platform/profile.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/atomic_file.h"
#include "platform/ini_document.h"
#include "platform/text.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kx700::profile {
namespace fs = std::filesystem;
using detail::IniIndex;

namespace {

// What identifies a version of a file on disk.
struct Stamp {
    std::uintmax_t size = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> StatFile(const fs::path& file) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    Stamp s;
    s.size = static_cast<std::uintmax_t>(st.st_size);
    s.mtimeNs = std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.ctimeNs = std::int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    return s;
#else
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    Stamp s;
    s.size = fs::file_size(file, ec);
    s.mtimeNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(fs::last_write_time(file, ec).time_since_epoch()).count();
    return s;
#endif
}

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::shared_ptr<const IniIndex> ParseBytes(std::string_view bytes) {
    return std::make_shared<const IniIndex>(detail::Decode(bytes).body);
}

// File times have a coarse granularity (a few milliseconds on Linux, two
// seconds on FAT), so a file changed again within that time can show the same
// stamp. Entries whose file changed this recently are confirmed by content.
constexpr std::int64_t kRacyWindowNs = 2'000'000'000;
constexpr std::size_t kMaxEntries = 64;
constexpr std::size_t kMaxCachedBytes = 8u << 20;

class ParseCache {
public:
    std::shared_ptr<const IniIndex> get(const fs::path& file) {
        std::lock_guard lock(mutex_);
        const std::string key = file.lexically_normal().string();
        const std::optional<Stamp> stamp = StatFile(file);
        if (!stamp) {
            entries_.erase(key);
            return nullptr;
        }
        auto it = entries_.find(key);
        if (it != entries_.end() && it->second.stamp == *stamp) {
            Entry& e = it->second;
            if (stamp->mtimeNs + kRacyWindowNs <= e.filledNs) {
                e.lastUse = ++tick_;
                return e.index;
            }
            const std::int64_t now = NowNs();
            std::optional<std::string> bytes = fileio::ReadWholeFile(file);
            if (bytes && *bytes == e.fileBytes()) {
                e.filledNs = now;
                e.lastUse = ++tick_;
                return e.index;
            }
        }
        const std::int64_t now = NowNs();
        std::optional<std::string> bytes = fileio::ReadWholeFile(file);
        if (!bytes) return nullptr;  // unreadable reads like a missing file
        // A plain UTF-8 file is its own text: the index takes the bytes, and
        // the entry compares against the index's text instead of a copy.
        const bool plain = detail::IsPlainUtf8(*bytes);
        const std::size_t size = bytes->size();
        std::string kept = plain ? std::string() : *bytes;
        auto index = std::make_shared<const IniIndex>(detail::DecodeBody(std::move(*bytes)));
        store(key, *stamp, now, std::move(kept), index, size, plain);
        return index;
    }

    // Records what a write just put on disk, so the next read needs no parse.
    void put(const fs::path& file, std::string bytes, std::string_view body) {
        std::lock_guard lock(mutex_);
        const std::string key = file.lexically_normal().string();
        const std::optional<Stamp> stamp = StatFile(file);
        if (!stamp) {
            entries_.erase(key);
            return;
        }
        const std::size_t size = bytes.size();
        store(key, *stamp, NowNs(), std::move(bytes), std::make_shared<const IniIndex>(std::string(body)), size, false);
    }

    void clear() {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

private:
    struct Entry {
        Stamp stamp;
        std::int64_t filledNs = 0;
        std::string bytes;  // empty when they are the index's text
        bool bytesAreText = false;
        std::shared_ptr<const IniIndex> index;
        std::uint64_t lastUse = 0;
        std::string_view fileBytes() const { return bytesAreText ? index->body() : std::string_view(bytes); }
    };

    void store(const std::string& key, const Stamp& stamp, std::int64_t filledNs, std::string bytes,
               std::shared_ptr<const IniIndex> index, std::size_t fileSize, bool bytesAreText) {
        if (fileSize > kMaxCachedBytes) {
            entries_.erase(key);
            // Oversized files are parsed per read and not kept; `index` still
            // serves the caller of get().
            return;
        }
        if (entries_.size() >= kMaxEntries && entries_.find(key) == entries_.end()) {
            auto oldest = entries_.begin();
            for (auto i = entries_.begin(); i != entries_.end(); ++i) {
                if (i->second.lastUse < oldest->second.lastUse) oldest = i;
            }
            entries_.erase(oldest);
        }
        Entry& e = entries_[key];
        e.stamp = stamp;
        e.filledNs = filledNs;
        e.bytes = std::move(bytes);
        e.bytesAreText = bytesAreText;
        e.index = std::move(index);
        e.lastUse = ++tick_;
    }

    std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t tick_ = 0;
};

ParseCache& Cache() {
    static ParseCache cache;
    return cache;
}

// Read-modify-write of a file must not interleave with another one.
std::mutex& WriteMutex() {
    static std::mutex m;
    return m;
}

std::string_view LimitToBuffer(std::string_view value, std::size_t size) {
    if (size == 0) return {};
    return text::TruncateUtf16(value, size - 1);
}

}  // namespace

bool IsProfileText(std::string_view bytes) {
    const bool utf16 = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                       static_cast<unsigned char>(bytes[1]) == 0xFE;
    if (utf16) {
        if (bytes.size() % 2 != 0) return false;  // half a code unit at the end
        bool highPending = false;
        for (std::size_t i = 2; i < bytes.size(); i += 2) {
            const auto unit = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) |
                                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
            const bool high = unit >= 0xD800 && unit < 0xDC00;
            const bool low = unit >= 0xDC00 && unit < 0xE000;
            if (unit == 0 || (low && !highPending) || (highPending && !low)) return false;
            highPending = high;
        }
        return !highPending;
    }
    const detail::IniText text = detail::Decode(bytes);
    return text.body.find('\0') == std::string::npos && text::IsWellFormedUtf8(text.body);
}

Snapshot::Snapshot(const fs::path& file) : index_(Cache().get(file)) {}

namespace {

// The file's bytes into `buffer`, whose room is kept from call to call; false
// for a file that reads as missing (absent, not a regular file, unreadable).
bool ReadInto(const fs::path& file, std::string& buffer) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        buffer.resize(static_cast<std::size_t>(size));
        in.read(buffer.data(), size);
        buffer.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        buffer.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return !in.bad();
}

}  // namespace

void Snapshot::ReadOnce(const fs::path& file, const std::function<void(const Snapshot&)>& use) {
    thread_local std::string shared;
    thread_local bool sharedInUse = false;
    // A read inside `use` must not overwrite the text its caller still reads.
    std::string own;
    std::string& buffer = sharedInUse ? own : shared;
    const bool took = !sharedInUse;
    sharedInUse = true;
    struct Release {
        bool took;
        ~Release() {
            if (took) sharedInUse = false;
        }
    } release{took};
    Snapshot s;
    if (ReadInto(file, buffer)) {
        if (detail::IsPlainUtf8(buffer)) {
            s.index_ = std::make_shared<const IniIndex>(IniIndex::Borrow{}, buffer);
        } else {
            s.index_ = std::make_shared<const IniIndex>(detail::DecodeBody(buffer));
        }
    }
    use(s);
}

Snapshot Snapshot::Parse(std::string_view bytes) {
    Snapshot s;
    s.index_ = ParseBytes(bytes);
    return s;
}

std::optional<Snapshot> Snapshot::OfText(std::string_view bytes) {
    if (!IsProfileText(bytes)) return std::nullopt;
    return Parse(bytes);
}

std::string Snapshot::readString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                 std::size_t size) const {
    return std::string(readView(section, key, defaultValue, size));
}

std::string_view Snapshot::readView(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::size_t size) const {
    const std::optional<std::string_view> value = index_ ? index_->find(section, key) : std::nullopt;
    return LimitToBuffer(value.value_or(defaultValue), size);
}

std::int32_t Snapshot::readInt(std::string_view section, std::string_view key, std::size_t size) const {
    return text::ParseDecimal(readString(section, key, "", size));
}

std::string ReadString(const fs::path& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue, std::size_t size) {
    return Snapshot(file).readString(section, key, defaultValue, size);
}

std::int32_t ReadInt(const fs::path& file, std::string_view section, std::string_view key, std::size_t size) {
    return Snapshot(file).readInt(section, key, size);
}

Status WriteString(const fs::path& file, std::string_view section, std::string_view key, std::string_view value) {
    return Batch(file).set(section, key, value).commit();
}

Batch::Batch(fs::path file) : file_(std::move(file)) {}

Batch& Batch::set(std::string_view section, std::string_view key, std::string_view value) {
    if (refused_.empty() && (text::HasLineBreak(section) || text::HasLineBreak(key) || text::HasLineBreak(value))) {
        refused_ = "refused to write a line break into " + file_.string() + " [" +
                   std::string(text::TruncateUtf16(section, 40)) + "]";
    }
    ops_.push_back(Op{std::string(section), std::string(key), std::string(value)});
    return *this;
}

Batch& Batch::set(std::string_view section, std::string_view key, std::int64_t value) {
    return set(section, key, std::to_string(value));
}

Status Batch::commit() {
    if (!refused_.empty()) return Status::Error(refused_);
    if (ops_.empty()) return Status::Ok();
    std::lock_guard lock(WriteMutex());
    std::string readError;
    const std::optional<std::string> before = fileio::ReadWholeFile(file_, &readError);
    if (!before && !readError.empty()) return Status::Error(readError);

    detail::IniText text = detail::Decode(before ? *before : std::string());
    detail::IniEditor editor(text.body);
    for (const Op& op : ops_) editor.set(op.section, op.key, op.value);
    text.body = editor.body();
    std::string after = detail::Encode(text);
    if (before && after == *before) return Status::Ok();

    if (Status s = fileio::ReplaceFile(file_, after); !s.ok()) return s;
    Cache().put(file_, std::move(after), text.body);
    return Status::Ok();
}

void DropCache() { Cache().clear(); }

}  // namespace kx700::profile
