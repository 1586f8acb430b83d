#pragma once
// A request the server services refuse: not logged in, another company's database, a
// statement shape "SimpleSql" does not know, an unknown named method. The text names
// what was refused so the user or an operator can act on it.

#include <stdexcept>

namespace orvane {

class ServiceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orvane
