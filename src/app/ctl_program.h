#pragma once

#include <ostream>

#include "app/ctl_options.h"

namespace kx700::ctl {

// Runs apply or monitor; kNotADeviceCommand for other commands.
int RunProgramCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
