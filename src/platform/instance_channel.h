#pragma once

// The channel of the running window: a local socket in the user's runtime
// folder on which the window takes one-line requests. A second start of the
// window sends "show"; kx700ctl sends "apply" when the window owns the mouse
// and reads the window's answer. The window's side is Qt's; this is the
// plain client, so kx700ctl needs no Qt.
//
// Answer lines to "apply": "message TEXT" for every message the apply showed,
// then "result CODE SUMMARY" (CODE 0 success, 1 failure) as the last line.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kx700 {

// `name`: the single-instance name with the user's name added.
std::filesystem::path InstanceSocketPath(std::string_view name);

// The user's name for instance and lock names: $USER, else the user id.
std::string InstanceUserName();

// Sends one request line and returns everything the window answered until it
// closed the connection; nullopt when no window listens or it did not answer
// within `timeout`.
std::optional<std::string> SendInstanceRequest(const std::filesystem::path& socket, std::string_view request,
                                               std::chrono::milliseconds timeout);

}  // namespace kx700
