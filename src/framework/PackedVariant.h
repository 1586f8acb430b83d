#pragma once
// A variant packed to bytes and back, with the wire's MessagePack encoding, for the files and
// memories of the client that keep values exactly (draft files, the changes of a save whose
// answer was lost). Dispatch objects cannot be packed.

#include "platform/variant/Variant.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// Bytes that do not hold one packed variant; the text names what was read and the fault.
class PackedVariantError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string packVariant(const Variant& value);
// Raises PackedVariantError naming what (a file, a field) for anything but one packed variant.
Variant unpackVariant(std::string_view bytes, std::string_view what);

} // namespace orvane
