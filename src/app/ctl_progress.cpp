#include "app/ctl_progress.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace kx700::ctl {

std::string ApplyProgressText(std::size_t done, std::size_t total) {
    const std::size_t percent = total == 0 ? 100 : done * 100 / total;
    return "applying: " + std::to_string(done) + " / " + std::to_string(total) + " transactions (" +
           std::to_string(percent) + "%)";
}

bool ApplyProgressLine::OnTerminal(const std::ostream& out) {
    return &out == &std::cerr && isatty(STDOUT_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
}

programming::ApplyProgress ApplyProgressLine::callback() {
    if (!terminal_) return {};
    return [this](std::size_t done, std::size_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        // A terminal redrawn for every 6 ms transaction would flicker.
        if (percent == shownPercent_ && done != total) return;
        shownPercent_ = percent;
        const std::string text = ApplyProgressText(done, total);
        width_ = std::max(width_, text.size());
        out_ << '\r' << text << std::flush;
    };
}

void ApplyProgressLine::end() {
    if (!terminal_ || shownPercent_ < 0) return;
    out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    shownPercent_ = -1;
}

}  // namespace kx700::ctl
