#pragma once

#include <ostream>

#include "app/ctl_options.h"

namespace kx700::ctl {

// Runs get or set; kNotADeviceCommand for other commands.
int RunGetSetCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
