// kx700ctl profile: config.ini exported, imported and reset as the window does
// it, with the same messages and the same backups.
#include "app/ctl_profile.h"

#include "app/ctl_device.h"
#include "app/ctl_messages.h"
#include "programming/settings_actions.h"
#include "settings/settings_file.h"

namespace kx700::ctl {

int RunProfileCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.command != "profile") return kNotADeviceCommand;
    const std::vector<std::string>& a = o.args;
    const std::string verb = a.empty() ? std::string() : a[0];
    const bool withFile = verb == "export" || verb == "import";
    if (!(withFile && a.size() == 2) && !(verb == "reset" && a.size() == 1)) {
        err << "kx700ctl: profile takes export FILE, import FILE or reset\n";
        return kExitUsage;
    }
    Session s;
    if (const Status st = FindFolders(o.dataDir, s.folders); !st.ok()) {
        err << "kx700ctl: " << st.message() << "\n";
        return kExitFailure;
    }
    StreamMessages messages(err);
    s.messages = &messages;
    // The names an import checks are those of the interface language.
    s.englishInterface = ReadEnglishInterface(s.folders.settingsFile());
    const std::filesystem::path settingsFile = s.folders.settingsFile();
    if (verb == "export") {
        if (!programming::ExportSettings(s, a[1], messages)) return kExitFailure;
        out << "exported " << settingsFile.string() << " to " << a[1] << "\n";
        return kExitOk;
    }
    if (verb == "import") {
        if (!programming::ImportSettings(s, a[1], messages)) return kExitFailure;
        out << "imported " << a[1] << " into " << settingsFile.string()
            << " (the file it replaced is kept as a backup beside it); kx700ctl apply programs the mouse\n";
        return kExitOk;
    }
    programming::ResetSettings(s, messages);
    if (messages.shown() > 0) return kExitFailure;
    out << "every profile reset to the factory settings (the file it replaced is kept as a backup beside it); "
           "kx700ctl apply programs the mouse\n";
    return kExitOk;
}

}  // namespace kx700::ctl
