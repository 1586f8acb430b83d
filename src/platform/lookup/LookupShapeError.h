#pragma once
// A lookup request or answer whose variant array has the wrong shape: not an array, the wrong
// number of elements, or an element of the wrong type. The text names the element.

#include "platform/variant/Dispatch.h"

namespace orvane {

class LookupShapeError : public DispatchError {
public:
    using DispatchError::DispatchError;
};

} // namespace orvane
