#pragma once

#include <stdexcept>

namespace orvane {

// A configuration file could not be read or written, a file it names cannot be opened, or a write
// was refused because the name or value cannot be stored in INI form. The text names the file,
// section, key or value at fault.
class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orvane
