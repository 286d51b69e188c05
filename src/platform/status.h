#pragma once

#include <string>
#include <utility>

namespace kx700 {

// The outcome of an operation that can fail for reasons the caller must be
// told about (a file that could not be replaced, a value that was refused).
// Only Error() makes a failure, whatever its message: Error("") failed too,
// and ok() is the one test of success.
class [[nodiscard]] Status {
public:
    Status() = default;
    static Status Ok() { return {}; }
    static Status Error(std::string message) { return Status(std::move(message), true); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

private:
    Status(std::string message, bool failed) : message_(std::move(message)), failed_(failed) {}
    std::string message_;
    bool failed_ = false;
};

}  // namespace kx700
