#pragma once

#include <ostream>

#include "app/ctl_options.h"

namespace kx700::ctl {

// kx700ctl macro groups | list GROUP | show GROUP NAME | export GROUP FILE |
// import FILE | reset: the Macro page's groups, lists and menu rows, in the
// macro folder of the interface language. kNotADeviceCommand for other commands.
int RunMacroCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace kx700::ctl
