#include "app/ctl_device.h"

#include <cstdio>
#include <iomanip>
#include <memory>
#include <sstream>
#include <thread>

#include "device/make_backend.h"
#include "device/memory_description.h"
#include "device/protocol.h"
#include "device/sim_state_file.h"
#include "device/simulated_backend.h"
#include "platform/json_writer.h"

namespace kx700::ctl {
namespace {

using namespace kx700::device;

constexpr const char* kUdevHint =
    "  The mouse's hidraw nodes are not accessible to you. The package installs the rule\n"
    "  70-kx700.rules into /usr/lib/udev/rules.d/; from a build, copy data/udev/70-kx700.rules\n"
    "  into /etc/udev/rules.d/. Then run 'sudo udevadm control --reload' and plug the mouse in again.\n"
    "  'kx700ctl doctor' checks everything else that stands in the way.\n";

int Fail(std::ostream& err, const std::string& message) {
    err << "kx700ctl: " << message << "\n";
    return kExitFailure;
}

int UsageError(std::ostream& err, const std::string& message) {
    err << "kx700ctl: " << message << "\n" << kUsage;
    return kExitUsage;
}

std::string Hex(unsigned v, int width) {
    std::ostringstream s;
    s << std::uppercase << std::hex << std::setw(width) << std::setfill('0') << v;
    return s.str();
}

}  // namespace

Status ClaimMouse(const Options& o, Mouse& mouse, const std::string& key) {
    using namespace std::chrono_literals;
    const std::string program = "kx700ctl " + o.command;
    mouse.heldBy.reset();
    MouseLock::Result r = mouse.lock.acquire(key, program, 0ms);
    // Another kx700ctl is usually done within moments; the window is not.
    if (r == MouseLock::Result::Held && mouse.lock.holder().program != kWindowProgram) {
        r = mouse.lock.acquire(key, program, 3s);
    }
    if (r != MouseLock::Result::Held) return Status::Ok();  // owned, or no way to keep a lock at all
    mouse.heldBy = mouse.lock.holder();
    return Status::Error(mouse.heldBy->describe() + " is using the mouse; try again when it has finished" +
                         (mouse.heldBy->program == kWindowProgram ? " (or use the window)" : ""));
}

bool HeldByWindow(const Mouse& mouse) { return mouse.heldBy && mouse.heldBy->program == kWindowProgram; }

std::optional<LockHolder> WindowHoldingMouse(const Options& o) {
    auto window = [](std::string_view key) -> std::optional<LockHolder> {
        std::optional<LockHolder> h = MouseLock::Holder(key);
        return h && h->program == kWindowProgram ? h : std::nullopt;
    };
    if (o.simState) return window(MouseKeyForFile(*o.simState));
    if (o.simulate) return std::nullopt;  // a mouse of this process only
    Backend made;
    if (!MakeBackend(BackendChoice{o.simulate, o.simState}, made)) return std::nullopt;
    for (const auto& slot : made.backend->enumerate(nullptr)) {
        if (!slot || !IsMouseIdentifier(slot->vendorId, slot->productId)) continue;
        if (auto h = window(slot->path)) return h;
    }
    return std::nullopt;
}

Status OpenMouse(const Options& o, Mouse& mouse) {
    // Read the state only as its owner: a window holding it would write its
    // own over whatever this command saves.
    if (o.simState && o.command != "list") {
        if (Status claimed = ClaimMouse(o, mouse, MouseKeyForFile(*o.simState)); !claimed) return claimed;
    }
    Backend made;
    if (Status s = MakeBackend(BackendChoice{o.simulate, o.simState}, made); !s) return s;
    mouse.sim = std::move(made.sim);
    mouse.backend = std::move(made.backend);
    return Status::Ok();
}

Status SaveMouse(const Options& o, const Mouse& mouse) {
    if (!mouse.sim || !o.simState) return Status::Ok();
    return SaveSimState(*o.simState, mouse.sim->snapshot());
}

namespace {

int CmdList(Mouse& mouse, bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    int found = 0;
    JsonWriter w(out);
    if (json) w.beginArray();
    for (const auto& slot : mouse.backend->enumerate(&error)) {
        if (!slot || !IsMouseIdentifier(slot->vendorId, slot->productId)) continue;
        ++found;
        const HidOpenResult opened = mouse.backend->open(*slot);
        const char* access = opened.status == HidOpenStatus::Ok         ? "yes"
                             : opened.status == HidOpenStatus::NoAccess ? "no access"
                             : opened.status == HidOpenStatus::NotFound ? "gone"
                                                                        : "failed";
        if (json) {
            w.beginObject()
                .key("path")
                .value(slot->path)
                .key("vendorId")
                .value(int{slot->vendorId})
                .key("productId")
                .value(int{slot->productId})
                .key("usagePage")
                .value(int{slot->usagePage})
                .key("usage")
                .value(int{slot->usage})
                .key("open")
                .value(access)
                .endObject();
            continue;
        }
        out << slot->path << "  " << Hex(slot->vendorId, 4) << ":" << Hex(slot->productId, 4) << "  usage page 0x"
            << Hex(slot->usagePage, 4) << " usage 0x" << Hex(slot->usage, 4) << "  open: " << access << "\n";
    }
    if (found == 0) {
        // The document stays whole for a script that reads it; the exit code says why.
        if (json) w.endArray();
        return Fail(err, error.empty() ? "no KX700 mouse found" : error);
    }
    if (json) w.endArray();
    return kExitOk;
}

int CmdStatus(const Options& o, Mouse& mouse, bool json, std::ostream& out, std::ostream& err) {
    DeviceLink link;
    const Discovery found = DiscoverDevice(link, *mouse.backend);
    if (found.result != DiscoveryResult::Ready) {
        err << "kx700ctl: " << DescribeDiscovery(found.result)
            << (found.detail.empty() ? "" : " (" + found.detail + ")") << "\n";
        if (found.result == DiscoveryResult::NoAccess) err << kUdevHint;
        return kExitFailure;
    }
    // A status read in the middle of another program's memory write would
    // break that write.
    if (!mouse.sim) {
        if (Status claimed = ClaimMouse(o, mouse, link.devicePath); !claimed) return Fail(err, claimed.message());
    }
    std::this_thread::sleep_for(kPauseBeforeFirstStatus);
    const auto status = ReadDeviceStatus(link);
    if (!status) return Fail(err, "the mouse did not answer the status read");
    if (json) {
        JsonWriter(out)
            .beginObject()
            .key("profile")
            .value(int{status->currentProfile()})
            .key("memoryBankBit")
            .value(int{status->memoryBankBit()})
            .key("deviceNibble")
            .value(int{status->deviceNibble()})
            .endObject();
        return kExitOk;
    }
    out << "profile " << status->currentProfile() << "\n"
        << "memory bank bit " << status->memoryBankBit() << "\n"
        << "device nibble " << status->deviceNibble() << "\n";
    return kExitOk;
}

int CmdMemory(Mouse& mouse, bool raw, std::ostream& out) {
    const auto memory = mouse.sim->memory();
    if (raw) {
        out.write(reinterpret_cast<const char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
        return kExitOk;
    }
    for (std::size_t a = 0; a < memory.size(); a += 16) {
        out << Hex(static_cast<unsigned>(a), 4) << ":";
        for (std::size_t i = a; i < a + 16 && i < memory.size(); ++i) out << " " << Hex(memory[i], 2);
        out << "\n";
    }
    return kExitOk;
}

int CmdLog(Mouse& mouse, std::ostream& out) {
    for (const SimLogEntry& e : mouse.sim->log()) out << FormatLogEntry(e) << "\n";
    return kExitOk;
}

void DescribeKnobs(std::ostream& out, const SimFaultKnobs& k) {
    out << "disconnect after: "
        << (k.disconnectAfter > 0 ? std::to_string(k.disconnectAfter) + " feature reports" : std::string("off")) << "\n"
        << "fail reads: " << (k.failReads ? "on" : "off") << "\n"
        << "deny access: " << (k.denyAccess ? "on" : "off") << "\n";
}

void DescribeJson(Mouse& mouse, std::ostream& out) {
    const MemorySummary s = SummariseMemory(mouse.sim->memory());
    const SimFirmwareState f = mouse.sim->firmware();
    const SimViolations v = mouse.sim->violations();
    const SimFaultKnobs k = mouse.sim->faults();
    JsonWriter w(out);
    w.beginObject().key("blank").value(s.blank).key("activeProfileSlot").value(s.activeProfile);
    w.key("profileSlots").beginArray();
    for (const auto& profile : s.profiles) {
        w.beginArray();
        for (const MemorySummary::Button& b : profile) {
            w.beginObject()
                .key("button")
                .value(b.button)
                .key("code")
                .value(b.code)
                .key("functionCode")
                .value(b.functionCode)
                .key("function")
                .value(b.function)
                .key("reaction")
                .value(b.reaction)
                .key("reactionType")
                .value(b.reactionType);
            if (b.consumerUsage) w.key("consumerUsage").value(*b.consumerUsage);
            if (b.block) {
                w.key("block")
                    .beginObject()
                    .key("address")
                    .value(b.block->address)
                    .key("events")
                    .value(b.block->events)
                    .key("runMode")
                    .value(b.block->runMode)
                    .endObject();
            }
            w.endObject();
        }
        w.endArray();
    }
    w.endArray().key("cpiLevels").beginArray();
    for (const MemorySummary::Level& l : s.levels) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", l.colour[0] & 0xFFu, l.colour[1] & 0xFFu,
                      l.colour[2] & 0xFFu);
        w.beginObject()
            .key("cpi")
            .value(l.cpi)
            .key("enabled")
            .value(l.enabled)
            .key("current")
            .value(l.current)
            .key("colour")
            .value(colour)
            .key("cycle")
            .value(l.cycle)
            .endObject();
    }
    w.endArray()
        .key("rapidFireMs")
        .value(s.rapidFireMs)
        .key("reportIntervalCode")
        .value(s.reportIntervalCode)
        .key("lighting")
        .beginObject()
        .key("mode")
        .value(s.lightingMode)
        .key("buttonResponse")
        .value(s.buttonResponse)
        .key("speed")
        .value(s.lightingSpeed)
        .key("brightness")
        .value(s.brightness)
        .key("direction")
        .value(s.direction)
        .key("symmetric")
        .value(s.symmetric)
        .key("userColours")
        .value(s.userColours)
        .endObject()
        .key("deviceNibble")
        .value(s.deviceNibble)
        .key("macroBlocks")
        .beginArray();
    for (const auto& [address, events] : s.blocks)
        w.beginObject().key("address").value(address).key("events").value(events).endObject();
    w.endArray()
        .key("blocksWritten")
        .value(f.blocksWritten)
        .key("finishes")
        .value(f.finishes)
        .key("exitNotices")
        .value(f.exitNotices)
        .key("protocolFaults")
        .beginObject()
        .key("total")
        .value(v.total())
        .key("interleaved")
        .value(v.interleaved)
        .key("incompleteBlocks")
        .value(v.incompleteBlocks)
        .key("outOfRange")
        .value(v.outOfRange)
        .key("shortPauses")
        .value(v.shortPauses)
        .key("unknownReports")
        .value(v.unknownReports)
        .endObject()
        .key("disconnectAfter")
        .value(k.disconnectAfter)
        .key("failReads")
        .value(k.failReads)
        .key("denyAccess")
        .value(k.denyAccess)
        .endObject();
}

int CmdDescribe(Mouse& mouse, bool json, std::ostream& out) {
    if (json) {
        DescribeJson(mouse, out);
        return kExitOk;
    }
    DescribeMemory(out, mouse.sim->memory());
    const SimFirmwareState f = mouse.sim->firmware();
    const SimViolations v = mouse.sim->violations();
    out << "blocks written: " << f.blocksWritten << ", programming finished " << f.finishes << " times, exit notices "
        << f.exitNotices << "\n";
    out << "protocol faults: " << v.total() << " (interleaved " << v.interleaved << ", incomplete blocks "
        << v.incompleteBlocks << ", out of range " << v.outOfRange << ", short pauses " << v.shortPauses
        << ", unknown reports " << v.unknownReports << ")\n";
    DescribeKnobs(out, mouse.sim->faults());
    return kExitOk;
}

// Parses an option value as a whole number within [0, max].
bool Bounded(const std::optional<std::string>& text, int max, int& value) {
    if (!text) return true;
    try {
        std::size_t used = 0;
        const int v = std::stoi(*text, &used);
        if (used != text->size() || v < 0 || v > max) return false;
        value = v;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// "on" or "off" into `value`; nothing given keeps it.
bool Switch(const std::optional<std::string>& text, bool& value) {
    if (!text) return true;
    if (*text != "on" && *text != "off") return false;
    value = *text == "on";
    return true;
}

int CmdSimStatus(Mouse& mouse, std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> bankText, profileText, nibbleText, disconnectText, failReadsText, denyText;
    std::string error;
    if (!TakeValue(args, "--bank", bankText, error) || !TakeValue(args, "--profile", profileText, error) ||
        !TakeValue(args, "--nibble", nibbleText, error) ||
        !TakeValue(args, "--disconnect-after", disconnectText, error) ||
        !TakeValue(args, "--fail-reads", failReadsText, error) || !TakeValue(args, "--deny-access", denyText, error))
        return UsageError(err, error);
    if (!args.empty()) return UsageError(err, "sim-status: unexpected '" + args.front() + "'");
    if (!bankText && !profileText && !nibbleText && !disconnectText && !failReadsText && !denyText)
        return UsageError(err,
                          "sim-status: give --bank, --profile, --nibble, --disconnect-after, --fail-reads "
                          "or --deny-access");
    // Unnamed values keep what the mouse says now.
    const auto now = mouse.sim->snapshot();
    int bank = (now.statusByte6 >> 1) & 1, profile = (now.statusByte6 >> 2) & 3, nibble = now.statusByte7 & 0x0F;
    SimFaultKnobs knobs = now.faults;
    if (!Bounded(bankText, 1, bank)) return UsageError(err, "--bank is 0 or 1");
    if (!Bounded(profileText, 3, profile)) return UsageError(err, "--profile is 0 to 3");
    if (!Bounded(nibbleText, 15, nibble)) return UsageError(err, "--nibble is 0 to 15");
    if (disconnectText && *disconnectText == "off") {
        knobs.disconnectAfter = 0;
    } else if (!Bounded(disconnectText, SimulatedMouse::kMaxDisconnectCountdown, knobs.disconnectAfter) ||
               (disconnectText && knobs.disconnectAfter == 0)) {
        return UsageError(err, "--disconnect-after is a number of feature reports from 1 to " +
                                   std::to_string(SimulatedMouse::kMaxDisconnectCountdown) + ", or off");
    }
    if (!Switch(failReadsText, knobs.failReads)) return UsageError(err, "--fail-reads is on or off");
    if (!Switch(denyText, knobs.denyAccess)) return UsageError(err, "--deny-access is on or off");

    mouse.sim->setStatus(bank, profile, nibble);
    if (disconnectText) {
        if (knobs.disconnectAfter > 0) {
            mouse.sim->disconnectAfter(knobs.disconnectAfter);
        } else {
            mouse.sim->reconnect();  // ends a countdown that has not run out
        }
    }
    mouse.sim->failEveryRead(knobs.failReads);
    mouse.sim->denyAccess(knobs.denyAccess);
    out << "profile " << profile << "\nmemory bank bit " << bank << "\ndevice nibble " << nibble << "\n";
    DescribeKnobs(out, mouse.sim->faults());
    return kExitOk;
}

}  // namespace

int RunDeviceCommand(const Options& o, std::ostream& out, std::ostream& err) {
    const std::string& c = o.command;
    const bool simOnly = c == "memory" || c == "log" || c == "describe" || c == "sim-status";
    if (!simOnly && c != "list" && c != "status") return kNotADeviceCommand;
    std::vector<std::string> args = o.args;
    const bool raw = c == "memory" && TakeFlag(args, "--raw");
    const bool json = (c == "list" || c == "status" || c == "describe") && TakeFlag(args, "--json");
    if (c != "sim-status" && !args.empty()) return UsageError(err, c + ": unexpected '" + args.front() + "'");
    if (simOnly && !o.simulate) return UsageError(err, c + " needs --simulate or --sim-state FILE");

    Mouse mouse;
    if (Status opened = OpenMouse(o, mouse); !opened) return Fail(err, opened.message());
    int rc = kExitOk;
    if (c == "list") rc = CmdList(mouse, json, out, err);
    if (c == "status") rc = CmdStatus(o, mouse, json, out, err);
    if (c == "memory") rc = CmdMemory(mouse, raw, out);
    if (c == "log") rc = CmdLog(mouse, out);
    if (c == "describe") rc = CmdDescribe(mouse, json, out);
    if (c == "sim-status") rc = CmdSimStatus(mouse, args, out, err);

    // Only commands that talked to the mouse or changed it write the file.
    if (rc == kExitOk && (c == "status" || c == "sim-status")) {
        if (Status saved = SaveMouse(o, mouse); !saved) return Fail(err, saved.message());
    }
    return rc;
}

}  // namespace kx700::ctl
