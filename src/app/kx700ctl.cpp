// kx700ctl: the configurator's core without a window.
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/ctl_settings.h"
#include "platform/message_sink.h"
#include "platform/paths.h"
#include "settings/settings_file.h"

namespace {

constexpr const char* kUsage =
    "usage: kx700ctl [--data-dir DIR] COMMAND\n"
    "\n"
    "commands:\n"
    "  settings   describe the settings stored in config.ini\n"
    "\n"
    "options:\n"
    "  --data-dir DIR   use DIR instead of the program's folder (also KX700_HOME)\n"
    "  -h, --help       show this help\n";

int Usage(const std::string& problem) {
    std::cerr << "kx700ctl: " << problem << "\n" << kUsage;
    return 2;
}

int CmdSettings(const kx700::Folders& folders) {
    kx700::StderrMessageSink messages;
    kx700::MouseSettings s;
    bool any = false;
    for (int slot = 0; slot < kx700::kProfileSlots; ++slot) {
        any = kx700::LoadProfile(s, folders.settingsFolder(), slot, false, messages) || any;
    }
    if (!any) return 1;
    kx700::ctl::DescribeSettings(std::cout, s, kx700::ReadCurrentProfile(folders.settingsFile()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::filesystem::path> dataDir;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--data-dir") {
            if (++i >= argc) return Usage("--data-dir needs a folder");
            dataDir = argv[i];
        } else if (a.rfind("--data-dir=", 0) == 0) {
            dataDir = a.substr(std::strlen("--data-dir="));
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) return Usage("no command given");
    const kx700::Folders folders = kx700::ResolveFolders(dataDir);
    if (args[0] == "settings" && args.size() == 1) return CmdSettings(folders);
    return Usage("unknown command '" + args[0] + "'");
}
