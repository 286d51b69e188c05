#include "platform/system_mouse.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kx700 {

int SystemPointerSpeedFor(int pointerSpeed) {
    if (pointerSpeed == 0) return 1;
    if (pointerSpeed >= 1 && pointerSpeed <= 8) return 2 * pointerSpeed;
    return 18;
}

namespace {

#ifndef _WIN32

bool OnPath(const char* tool) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string p(path);
    std::size_t start = 0;
    while (start <= p.size()) {
        const std::size_t end = p.find(':', start);
        const std::string dir = p.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::error_code ec;
        if (!dir.empty() && std::filesystem::exists(std::filesystem::path(dir) / tool, ec)) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

// Runs a fixed command line (no user text in it) and returns its output.
std::optional<std::string> Run(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    std::array<char, 256> buf{};
    while (std::fgets(buf.data(), static_cast<int>(buf.size()), pipe) != nullptr) out += buf.data();
    return ::pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

// GNOME keeps the speed as -1.0 .. 1.0; the system's steps are 1 .. 20.
class DesktopMouse final : public SystemMouse {
public:
    std::optional<int> pointerSpeed() override {
        if (!OnPath("gsettings") || std::getenv("DISPLAY") == nullptr) return std::nullopt;
        const auto out = Run("gsettings get org.gnome.desktop.peripherals.mouse speed");
        if (!out) return std::nullopt;
        const double v = std::strtod(out->c_str(), nullptr);
        return static_cast<int>((v + 1.0) * 9.5 + 1.0 + 0.5);
    }
    bool setPointerSpeed(int step) override {
        const double v = (step - 1) / 9.5 - 1.0;
        char cmd[160];
        std::snprintf(cmd, sizeof cmd, "gsettings set org.gnome.desktop.peripherals.mouse speed %.3f", v);
        return Run(cmd).has_value();
    }
    std::optional<int> wheelLines() override {
        if (!OnPath("kreadconfig5")) return std::nullopt;
        const auto out = Run("kreadconfig5 --group KDE --key WheelScrollLines --default 3");
        if (!out) return std::nullopt;
        return std::atoi(out->c_str());
    }
    bool setWheelLines(int lines) override {
        if (!OnPath("kwriteconfig5")) return false;
        return Run("kwriteconfig5 --group KDE --key WheelScrollLines " + std::to_string(lines)).has_value();
    }
};

#else

class DesktopMouse final : public SystemMouse {
public:
    std::optional<int> pointerSpeed() override { return std::nullopt; }
    bool setPointerSpeed(int) override { return false; }
    std::optional<int> wheelLines() override { return std::nullopt; }
    bool setWheelLines(int) override { return false; }
};

#endif

}  // namespace

std::unique_ptr<SystemMouse> MakeDesktopMouse() { return std::make_unique<DesktopMouse>(); }

}  // namespace kx700
