// kx700ctl: the configurator's core without a window.
#include <iostream>
#include <string>
#include <vector>

#include "app/ctl_device.h"
#include "app/ctl_doctor.h"
#include "app/ctl_get_set.h"
#include "app/ctl_macro.h"
#include "app/ctl_options.h"
#include "app/ctl_profile.h"
#include "app/ctl_program.h"
#include "app/ctl_settings.h"
#include "platform/autostart.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "programming/macro_memory.h"
#include "settings/settings_file.h"

namespace {

using namespace kx700::ctl;

int Usage(const std::string& problem) {
    std::cerr << "kx700ctl: " << problem << "\n" << kUsage;
    return kExitUsage;
}

int CmdSettings(const std::optional<std::filesystem::path>& dataDir, bool json) {
    kx700::Folders folders;
    if (const kx700::Status st = kx700::FindFolders(dataDir, folders); !st.ok()) {
        std::cerr << "kx700ctl: " << st.message() << "\n";
        return kExitFailure;
    }
    kx700::StderrMessageSink messages;
    kx700::Session session;
    session.folders = folders;
    kx700::LoadSettingsData(session, messages);
    if (!session.settingsLoaded) return kExitFailure;
    // Without the mouse the lower limit holds, as in the window before its
    // first status read.
    kx700::LoadMacroData(session, messages, kx700::macro::ListRepair::Leave);
    const kx700::programming::MacroMemoryUse memory = kx700::programming::MeasureMacroMemory(session);
    if (json) {
        DescribeSettingsJson(std::cout, session.settings, session.currentProfile, memory);
        return kExitOk;
    }
    DescribeSettings(std::cout, session.settings, session.currentProfile);
    std::cout << kx700::programming::DescribeMacroMemory(memory, true, session.profileNames) << "\n";
    return kExitOk;
}

// The window beside this program is what the desktop starts.
int CmdAutostart(const std::vector<std::string>& args) {
    const std::string verb = args.size() == 1 ? args[0] : std::string();
    if (verb != "on" && verb != "off" && verb != "status") return Usage("autostart takes on, off or status");
    const std::filesystem::path file = kx700::AutostartFile();
    if (verb != "status") {
        if (const kx700::Status st = kx700::SetAutostart(file, verb == "on", kx700::ExecutableFolder() / "kx700");
            !st.ok()) {
            std::cerr << "kx700ctl: " << st.message() << "\n";
            return kExitFailure;
        }
    }
    std::cout << "autostart " << (kx700::AutostartEnabled(file) ? "on" : "off") << " (" << file.string() << ")\n";
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    const Parsed parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (!parsed.error.empty()) return Usage(parsed.error);
    const Options& o = parsed.options;
    if (o.command.empty()) return Usage("no command given");

    if (o.command == "settings") {
        std::vector<std::string> args = o.args;
        const bool json = TakeFlag(args, "--json");
        if (!args.empty()) return Usage("settings takes no arguments but --json");
        return CmdSettings(o.dataDir, json);
    }
    if (o.command == "autostart") return CmdAutostart(o.args);
    if (o.command == "doctor") return RunDoctorCommand(o, std::cout, std::cerr);
    int rc = RunProgramCommand(o, std::cout, std::cerr);
    if (rc == kNotADeviceCommand) rc = RunDeviceCommand(o, std::cout, std::cerr);
    for (auto run : {RunGetSetCommand, RunProfileCommand, RunMacroCommand}) {
        if (rc == kNotADeviceCommand) rc = run(o, std::cout, std::cerr);
    }
    if (rc != kNotADeviceCommand) return rc;
    return Usage("unknown command '" + o.command + "'");
}
