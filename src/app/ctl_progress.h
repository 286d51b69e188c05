#pragma once

// The progress line of `kx700ctl apply` on a terminal: one line, rewritten in
// place, gone when the apply ends. A script reading the output sees none of it.

#include <cstddef>
#include <ostream>
#include <string>

#include "programming/apply.h"

namespace kx700::ctl {

// "applying: 120 / 348 transactions (34%)"
std::string ApplyProgressText(std::size_t done, std::size_t total);

class ApplyProgressLine {
public:
    // Writes to `out` only when `terminal`.
    ApplyProgressLine(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
    // Whether both standard outputs are terminals and `out` is standard error.
    static bool OnTerminal(const std::ostream& out);

    programming::ApplyProgress callback();
    // Clears the line, so that the apply's own lines start at its beginning.
    void end();

private:
    std::ostream& out_;
    bool terminal_;
    int shownPercent_ = -1;
    std::size_t width_ = 0;
};

}  // namespace kx700::ctl
