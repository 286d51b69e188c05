#include "platform/autostart.h"

#include <cstdlib>
#include <system_error>

#include "platform/atomic_file.h"

namespace kx700 {
namespace fs = std::filesystem;

namespace {

bool Absolute(const char* v) { return v != nullptr && *v != '\0' && fs::path(v).is_absolute(); }

}  // namespace

fs::path AutostartFile(const char* xdgConfigHome, const char* home) {
    fs::path config;
    if (Absolute(xdgConfigHome)) {
        config = xdgConfigHome;
    } else if (Absolute(home)) {
        config = fs::path(home) / ".config";
    } else {
        return {};
    }
    return config / "autostart" / (std::string(kApplicationId) + ".desktop");
}

fs::path AutostartFile() { return AutostartFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

std::string DesktopExecArgument(const std::string& path) {
    // Inside double quotes the desktop entry format reserves ", `, $ and \;
    // a % is a field code everywhere. The value is then unescaped once more
    // as a string, which doubles every backslash written here.
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
        if (c == '\\') quoted += "\\\\\\";  // the escaped backslash, and the escape of its escape
        if (c == '%') quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

bool AutostartEnabled(const fs::path& file) {
    const auto text = fileio::ReadWholeFile(file);
    if (!text) return false;
    return text->find("\nHidden=true") == std::string::npos && text->find("\nExec=") != std::string::npos;
}

Status SetAutostart(const fs::path& file, bool on, const fs::path& program) {
    if (file.empty())
        return Status::Error("no folder for the autostart entry: neither XDG_CONFIG_HOME nor HOME is set");
    std::error_code ec;
    if (!on) {
        fs::remove(file, ec);
        if (ec) return Status::Error("cannot remove " + file.string() + ": " + ec.message());
        return Status::Ok();
    }
    const std::string path = program.string();
    for (const char c : path) {
        // A line break would end the Exec line and start one of its own.
        if (static_cast<unsigned char>(c) < 0x20)
            return Status::Error("the program's path cannot start from a desktop entry: " + path);
    }
    fs::create_directories(file.parent_path(), ec);
    if (ec) return Status::Error("cannot create " + file.parent_path().string() + ": " + ec.message());
    const std::string entry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=KX700 Gaming Mouse\n"
        "Comment=Keeps the mouse's profile and CPI switches answered\n"
        "Exec=" +
        DesktopExecArgument(path) +
        " -HIDE\n"
        "Icon=" +
        std::string(kApplicationId) +
        "\n"
        "Terminal=false\n"
        "X-GNOME-Autostart-enabled=true\n";
    return fileio::ReplaceFile(file, entry);
}

}  // namespace kx700
