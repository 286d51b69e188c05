#include "device/sim_state_file.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <vector>

#include "platform/atomic_file.h"

namespace kx700::device {
namespace {

// Version 2 added the fault knobs line; version 1 files still load, with no
// fault set.
constexpr std::string_view kMagic = "kx700-simulated-mouse 2";
constexpr std::string_view kMagicVersion1 = "kx700-simulated-mouse 1";
constexpr std::string_view kToMouse = "host->mouse";
constexpr std::string_view kToHost = "mouse->host";
constexpr std::size_t kLineBytes = 16;

void AppendHex(std::string& out, std::span<const std::uint8_t> bytes, std::string_view separator) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) out += separator;
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
    }
}

// Reads the input line by line, splitting each into words.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool next() {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        line_ = text_.substr(pos_, end - pos_);
        if (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
        pos_ = end + 1;
        ++number_;
        words_.clear();
        std::size_t i = 0;
        while (i < line_.size()) {
            while (i < line_.size() && line_[i] == ' ') ++i;
            const std::size_t start = i;
            while (i < line_.size() && line_[i] != ' ') ++i;
            if (i > start) words_.push_back(line_.substr(start, i - start));
        }
        return true;
    }

    std::string_view line() const { return line_; }
    const std::vector<std::string_view>& words() const { return words_; }
    Status error(std::string_view what) const {
        return Status::Error("simulated mouse state, line " + std::to_string(number_) + ": " + std::string(what));
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t number_ = 0;
    std::string_view line_;
    std::vector<std::string_view> words_;
};

template <typename T>
bool Number(std::string_view word, T& out, int base = 10) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), out, base);
    return ec == std::errc() && end == word.data() + word.size();
}

bool Byte(std::string_view word, std::uint8_t& out) { return word.size() == 2 && Number(word, out, 16); }

// Expects "name v1 v2 ..." with exactly `values.size()` decimal numbers.
bool Fields(const Reader& r, std::string_view name, std::initializer_list<std::uint64_t*> values) {
    const auto& w = r.words();
    if (w.size() != values.size() + 1 || w[0] != name) return false;
    std::size_t i = 1;
    for (std::uint64_t* v : values)
        if (!Number(w[i++], *v)) return false;
    return true;
}

}  // namespace

std::string FormatLogEntry(const SimLogEntry& entry) {
    std::string out = std::to_string(entry.micros);
    out += ' ';
    out += entry.direction == SimDirection::HostToMouse ? kToMouse : kToHost;
    out += ' ';
    AppendHex(out, entry.bytes, " ");
    return out;
}

std::string SerializeSimState(const SimulatedMouseState& s) {
    const SimFirmwareState& f = s.firmware;
    const SimViolations& v = s.violations;
    std::ostringstream o;
    o << kMagic << "\n"
      << "status " << unsigned{s.statusByte6} << " " << unsigned{s.statusByte7} << "\n"
      << "elapsed " << s.elapsedMicros << "\n"
      << "firmware " << f.cpiLevel << " " << unsigned{f.cpiEnabledMask} << " " << (f.held ? 1 : 0) << " "
      << f.lastConsumerUsage << " " << f.consumerReports << " " << f.exitNotices << " " << f.finishes << " "
      << f.blocksWritten << "\n"
      << "violations " << v.interleaved << " " << v.incompleteBlocks << " " << v.outOfRange << " " << v.shortPauses
      << " " << v.unknownReports << "\n"
      << "faults " << std::clamp(s.faults.disconnectAfter, 0, SimulatedMouse::kMaxDisconnectCountdown) << " "
      << (s.faults.failReads ? 1 : 0) << " " << (s.faults.denyAccess ? 1 : 0) << "\n";
    std::string text = o.str();
    text += "memory\n";
    for (std::size_t a = 0; a < kDeviceMemorySize; a += kLineBytes) {
        AppendHex(text, std::span(s.memory).subspan(a, kLineBytes), "");
        text += '\n';
    }
    text += "log " + std::to_string(s.log.size()) + "\n";
    for (const SimLogEntry& e : s.log) text += FormatLogEntry(e) + "\n";
    return text;
}

Status ParseSimState(std::string_view text, SimulatedMouseState& out) {
    out = SimulatedMouseState{};
    Reader r(text);
    if (!r.next() || (r.line() != kMagic && r.line() != kMagicVersion1))
        return r.error("not a simulated mouse state file");
    const bool hasFaults = r.line() == kMagic;

    std::uint64_t b6 = 0, b7 = 0, held = 0, level = 0, mask = 0, usage = 0;
    SimFirmwareState& f = out.firmware;
    SimViolations& v = out.violations;
    std::uint64_t elapsed = 0;
    if (!r.next() || !Fields(r, "status", {&b6, &b7}) || b6 > 0xFF || b7 > 0xFF) return r.error("bad status");
    if (!r.next() || !Fields(r, "elapsed", {&elapsed}) || elapsed > INT64_MAX / 2) return r.error("bad elapsed time");
    if (!r.next() ||
        !Fields(r, "firmware",
                {&level, &mask, &held, &usage, &f.consumerReports, &f.exitNotices, &f.finishes, &f.blocksWritten}) ||
        level > 0xFF || mask > 0xFF || held > 1 || usage > 0xFFFF)
        return r.error("bad firmware state");
    if (!r.next() || !Fields(r, "violations",
                             {&v.interleaved, &v.incompleteBlocks, &v.outOfRange, &v.shortPauses, &v.unknownReports}))
        return r.error("bad violation counters");
    if (hasFaults) {
        std::uint64_t disconnect = 0, failReads = 0, deny = 0;
        if (!r.next() || !Fields(r, "faults", {&disconnect, &failReads, &deny}) ||
            disconnect > SimulatedMouse::kMaxDisconnectCountdown || failReads > 1 || deny > 1)
            return r.error("bad fault knobs");
        out.faults = {static_cast<int>(disconnect), failReads == 1, deny == 1};
    }
    out.statusByte6 = static_cast<std::uint8_t>(b6);
    out.statusByte7 = static_cast<std::uint8_t>(b7);
    out.elapsedMicros = static_cast<std::int64_t>(elapsed);
    f.cpiLevel = static_cast<int>(level);
    f.cpiEnabledMask = static_cast<std::uint8_t>(mask);
    f.held = held == 1;
    f.lastConsumerUsage = static_cast<std::uint16_t>(usage);

    if (!r.next() || r.line() != "memory") return r.error("memory expected");
    for (std::size_t a = 0; a < kDeviceMemorySize; a += kLineBytes) {
        if (!r.next() || r.line().size() != 2 * kLineBytes) return r.error("bad memory line");
        for (std::size_t i = 0; i < kLineBytes; ++i)
            if (!Byte(r.line().substr(2 * i, 2), out.memory[a + i])) return r.error("bad memory byte");
    }

    std::size_t count = 0;
    if (!r.next() || r.words().size() != 2 || r.words()[0] != "log" || !Number(r.words()[1], count) ||
        count > SimulatedMouse::kMaxLogEntries)
        return r.error("bad log header");
    out.log.reserve(count);
    for (std::size_t n = 0; n < count; ++n) {
        if (!r.next() || r.words().size() < 3 || r.words().size() > 2 + kReportBufferSize)
            return r.error("bad log line");
        SimLogEntry e;
        const auto& w = r.words();
        if (!Number(w[0], e.micros) || e.micros < 0) return r.error("bad log time");
        if (w[1] != kToMouse && w[1] != kToHost) return r.error("bad log direction");
        e.direction = w[1] == kToMouse ? SimDirection::HostToMouse : SimDirection::MouseToHost;
        for (std::size_t i = 2; i < w.size(); ++i) {
            std::uint8_t b = 0;
            if (!Byte(w[i], b)) return r.error("bad log byte");
            e.bytes.push_back(b);
        }
        out.log.push_back(std::move(e));
    }
    if (r.next() && !r.line().empty()) return r.error("unexpected text after the log");
    return Status::Ok();
}

Status LoadSimState(const std::filesystem::path& file, SimulatedMouseState& out, bool& existed) {
    std::string error;
    const auto text = fileio::ReadWholeFile(file, &error);
    existed = text.has_value();
    if (!text) {
        out = SimulatedMouseState{};
        if (!error.empty()) return Status::Error(file.string() + ": " + error);
        return Status::Ok();
    }
    Status parsed = ParseSimState(*text, out);
    if (!parsed) return Status::Error(file.string() + ": " + parsed.message());
    return parsed;
}

Status SaveSimState(const std::filesystem::path& file, const SimulatedMouseState& state) {
    return fileio::ReplaceFile(file, SerializeSimState(state));
}

}  // namespace kx700::device
