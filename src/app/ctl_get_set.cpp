// kx700ctl get and set: every setting of the window by name.
#include "app/ctl_get_set.h"

#include "app/ctl_device.h"
#include "app/ctl_messages.h"
#include "app/ctl_names.h"
#include "app/ctl_program.h"
#include "platform/json_writer.h"

namespace kx700::ctl {
namespace {

int UsageError(std::ostream& err, const std::string& problem) {
    err << "kx700ctl: " << problem << "\n";
    return kExitUsage;
}

int UnknownName(std::ostream& err, const std::string& name) {
    err << "kx700ctl: unknown setting '" << name << "'; the settings are\n" << kSettingPatterns << "\n";
    return kExitUsage;
}

// The session as the window starts it; -1 when ready, else the exit code.
int Load(const Options& o, Session& s, NamedSettings& n, MessageSink& messages, std::ostream& err) {
    if (const Status st = FindFolders(o.dataDir, s.folders); !st.ok()) {
        err << "kx700ctl: " << st.message() << "\n";
        return kExitFailure;
    }
    s.messages = &messages;
    if (!LoadNamedSettings(s, n, messages)) return kExitFailure;
    return -1;
}

void WriteJsonValue(JsonWriter& json, const NamedValue& v) {
    switch (v.kind) {
        case NamedValue::Kind::Number: json.value(static_cast<std::int64_t>(std::stoll(v.text))); break;
        case NamedValue::Kind::Switch: json.value(v.text == "on"); break;
        case NamedValue::Kind::List: {
            json.beginArray();
            for (char c : v.text) {
                if (c != ',') json.value(c - '0');
            }
            json.endArray();
            break;
        }
        case NamedValue::Kind::Text: json.value(v.text); break;
    }
}

int Get(const Options& o, std::ostream& out, std::ostream& err) {
    std::vector<std::string> names = o.args;
    const bool json = TakeFlag(names, "--json");
    for (const std::string& name : names) {
        if (name.rfind("--", 0) == 0) return UsageError(err, "get: unknown option '" + name + "'");
    }
    if (names.empty()) names = SettingNames();
    StreamMessages messages(err);
    Session s;
    NamedSettings n;
    if (int rc = Load(o, s, n, messages, err); rc >= 0) return rc;
    std::vector<std::pair<std::string, NamedValue>> values;
    for (const std::string& name : names) {
        const std::optional<NamedValue> v = GetSetting(s, n, name);
        if (!v) return UnknownName(err, name);
        values.emplace_back(name, *v);
    }
    if (json) {
        JsonWriter w(out);
        w.beginObject();
        for (const auto& [name, v] : values) {
            w.key(name);
            WriteJsonValue(w, v);
        }
        w.endObject();
    } else {
        for (const auto& [name, v] : values) out << name << "=" << v.text << "\n";
    }
    return kExitOk;
}

int Set(const Options& o, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = o.args;
    const bool apply = TakeFlag(args, "--apply");
    if (args.empty()) return UsageError(err, "set needs NAME=VALUE");
    for (const std::string& a : args) {
        if (a.find('=') == std::string::npos || a.front() == '=')
            return UsageError(err, "set: '" + a + "' is not NAME=VALUE");
    }
    // The window would apply its own copy of the settings and save it over
    // what this writes: the change would be lost while reported as applied.
    if (apply) {
        if (const std::optional<LockHolder> window = WindowHoldingMouse(o)) {
            err << "kx700ctl: " << window->describe()
                << " holds the mouse and applies its own copy of the settings, which would replace these; change "
                   "them in its window, or quit it first; nothing was changed\n";
            return kExitFailure;
        }
    }
    StreamMessages messages(err);
    Session s;
    NamedSettings n;
    if (int rc = Load(o, s, n, messages, err); rc >= 0) return rc;
    std::vector<std::string> notes;
    for (const std::string& a : args) {
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(0, eq), value = a.substr(eq + 1);
        const SetOutcome r = SetSetting(s, n, name, value);
        if (r.unknownName) return UnknownName(err, name);
        if (!r.ok()) {
            err << "kx700ctl: " << name << "=" << value << ": " << r.problem << "; nothing was changed\n"
                << "  " << name << " takes: " << r.allowed << "\n";
            return kExitUsage;
        }
        notes.insert(notes.end(), r.notes.begin(), r.notes.end());
    }
    if (const Status st = SaveNamedSettings(s, n); !st.ok()) {
        err << "kx700ctl: " << st.message() << "\n";
        return kExitFailure;
    }
    for (const std::string& note : notes) err << "kx700ctl: " << note << "\n";
    if (!apply) return kExitOk;
    Options applyOptions = o;
    applyOptions.command = "apply";
    applyOptions.args.clear();
    return RunProgramCommand(applyOptions, out, err);
}

}  // namespace

int RunGetSetCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.command == "get") return Get(o, out, err);
    if (o.command == "set") return Set(o, out, err);
    return kNotADeviceCommand;
}

}  // namespace kx700::ctl
