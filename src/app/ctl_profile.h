#pragma once

#include <ostream>

#include "app/ctl_options.h"

namespace kx700::ctl {

// kx700ctl profile export FILE | import FILE | reset: the Main page's Export,
// Import and Reset. kNotADeviceCommand for other commands.
int RunProfileCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
