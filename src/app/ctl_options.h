#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kx700::ctl {

// The command line, split into global options and the command with its own
// arguments. Global options may stand anywhere.
struct Options {
    bool help = false;
    bool simulate = false;  // also set by --sim-state
    std::optional<std::filesystem::path> simState;
    std::optional<std::filesystem::path> dataDir;
    std::string command;
    std::vector<std::string> args;  // after the command, global options removed
};

struct Parsed {
    Options options;
    std::string error;  // a usage error; empty when the line is well-formed
};

Parsed ParseOptions(const std::vector<std::string>& argv);

// Finds "--name VALUE" or "--name=VALUE" in a command's arguments and removes
// it. False (with `error` set) when the option is there without a value.
bool TakeValue(std::vector<std::string>& args, const std::string& name, std::optional<std::string>& value,
               std::string& error);

// Removes a flag; true when it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);

extern const char* const kUsage;

}  // namespace kx700::ctl
