#pragma once

// Private-profile (INI) access with the observable behaviour of the Windows
// functions the settings, macro and skin files were designed for:
//  - section and key names match without regard to ASCII case; only the first
//    section of a name is searched and the first key of a name wins; keys
//    before the first section cannot be reached;
//  - lines end at CR, LF or CRLF; lines, keys and values are trimmed of blanks
//    and tabs; one pair of matching quotes around a value is removed; a line
//    without '=' holds no key; a key starting with ';' is a comment;
//  - a read returns at most size - 1 characters (UTF-16 code units) of the
//    value, or of the default when the file, section or key is missing;
//  - a write replaces the key's line in place (keeping the key's spelling),
//    adds a new key after the last key line of its section and a new section at
//    the end of the file; every other line stays byte for byte; new lines end
//    in CRLF; UTF-8 files (with or without byte-order mark) stay UTF-8 and files
//    starting with the UTF-16LE byte-order mark stay UTF-16LE.
// Beyond that: parsed files are cached (revalidated by size, time and inode),
// every write replaces the file atomically, a Batch reaches the disk once, and
// names or values holding CR or LF are refused.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace kx700::profile {

namespace detail {
class IniIndex;
}

// GetPrivateProfileString: the value, or the default, cut to size - 1 UTF-16
// code units (size 0 gives the empty text).
std::string ReadString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                       std::string_view defaultValue, std::size_t size);

// ReadString with an empty default, converted as the C runtime converts decimal
// text (missing, empty or non-numeric text gives 0).
std::int32_t ReadInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                     std::size_t size);

// WritePrivateProfileString: one key, one atomic file replacement. Creates the
// file, the section or the key as needed. Fails without touching the file when
// a name or the value holds CR or LF, or when the file cannot be replaced.
Status WriteString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value);

// Whether a file's bytes are text these functions can take as they are: UTF-8
// (a byte-order mark allowed) or UTF-16LE behind its byte-order mark, with no
// NUL character and no malformed sequence. The reads themselves accept any
// bytes; a file that comes from the user is checked first, so that a binary
// file is not read as keys made of noise.
bool IsProfileText(std::string_view bytes);

// One version of a file, parsed once, for code that reads many keys in a row
// (a whole profile, a whole skin file). Reads behave exactly like ReadString.
class Snapshot {
public:
    explicit Snapshot(const std::filesystem::path& file);
    // A file's bytes already in memory, parsed exactly as a file read parses
    // them (the file layer is only the read around this).
    static Snapshot Parse(std::string_view bytes);
    // Bytes the caller read from a file itself, parsed as a read of that file
    // would parse them; nullopt when they are not profile text. What is
    // checked and read here is what the caller goes on to use, even when the
    // file changes in between.
    static std::optional<Snapshot> OfText(std::string_view bytes);
    bool exists() const { return index_ != nullptr; }
    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue,
                           std::size_t size) const;
    std::int32_t readInt(std::string_view section, std::string_view key, std::size_t size) const;
    // Reads `file` once, past the cache: `use` gets a snapshot valid only
    // during the call. For one pass over many large files (every macro
    // group's names), where keeping each parsed would cost more than reading it.
    static void ReadOnce(const std::filesystem::path& file, const std::function<void(const Snapshot&)>& use);
    // readString without the copy: valid while this snapshot (or a copy) lives.
    std::string_view readView(std::string_view section, std::string_view key, std::string_view defaultValue,
                              std::size_t size) const;

private:
    Snapshot() = default;
    std::shared_ptr<const detail::IniIndex> index_;
};

// Many writes to one file that reach the disk as one replacement. The writes
// are applied in order, at commit time, to the file as it is then; a refused
// write makes the whole batch fail without writing anything.
class Batch {
public:
    explicit Batch(std::filesystem::path file);
    Batch& set(std::string_view section, std::string_view key, std::string_view value);
    Batch& set(std::string_view section, std::string_view key, std::int64_t value);
    [[nodiscard]] Status commit();
    std::size_t size() const { return ops_.size(); }

private:
    struct Op {
        std::string section, key, value;
    };
    std::filesystem::path file_;
    std::vector<Op> ops_;
    std::string refused_;
};

// Forgets every parsed file (the next read parses anew). For benchmarks and
// tests that measure or need a cold start; correctness never depends on it.
void DropCache();

}  // namespace kx700::profile
