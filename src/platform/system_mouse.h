#pragma once

// The desktop's own pointer speed and wheel lines, which the apply sets from
// the record. Only where the desktop keeps such a setting; otherwise the
// values "cannot be read" and are left alone.

#include <memory>
#include <optional>
#include <string>

namespace kx700 {

class SystemMouse {
public:
    virtual ~SystemMouse() = default;
    // The pointer speed step 1-20 of the system, or nothing when it cannot be read.
    virtual std::optional<int> pointerSpeed() = 0;
    virtual bool setPointerSpeed(int step) = 0;
    virtual std::optional<int> wheelLines() = 0;
    virtual bool setWheelLines(int lines) = 0;
};

// The system's settings: GNOME's mouse speed (gsettings) and KDE's wheel
// lines (kwriteconfig5/kreadconfig5) where those tools exist.
std::unique_ptr<SystemMouse> MakeDesktopMouse();

// The system's pointer speed for the record's pointerSpeed step: 0 -> 1,
// 1 -> 2, 2 -> 4 ... 8 -> 16, anything else -> 18.
int SystemPointerSpeedFor(int pointerSpeed);

}  // namespace kx700
