#pragma once
// The silent abort: an exception that ends the current operation without any message.
// Field checks throw it after they have shown their own message; the guard at the edge
// of the user interface swallows it quietly.

#include <exception>

namespace orvane {

class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override;
};

// Throws SilentAbort.
[[noreturn]] void abortSilently();

} // namespace orvane
