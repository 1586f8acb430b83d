#pragma once
// Errors of the dataset layer. Every text names what the user or the programmer needs to
// find the fault: the dataset, the field, the value.

#include <stdexcept>

namespace orvane {

// An operation the dataset cannot carry out in its present state or with the given
// arguments: writing outside edit mode, a read-only field, an unknown field name, a bad
// filter text, a bookmark that no longer exists.
class DataSetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A data packet, delta or apply result that does not have the expected shape.
class PacketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orvane
