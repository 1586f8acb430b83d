#pragma once
// A lookup the catalogue cannot answer: an unknown table and kind, a wrong number of
// keys, a key that is not a usable value. The text names the table, the kind and the key.

#include <stdexcept>

namespace orvane {

class CatalogueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orvane
