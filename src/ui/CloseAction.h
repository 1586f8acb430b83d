#pragma once

#include <cstdint>

namespace orvane {

// What happens to a window when it is closed; its close handler may change it.
enum class CloseAction : std::uint8_t {
    None = 0,     // the window stays open
    Hide = 1,     // the window is hidden (the default of a program form)
    Free = 2,     // the window is hidden and freed
    Minimize = 3, // the window is minimised
};

} // namespace orvane
