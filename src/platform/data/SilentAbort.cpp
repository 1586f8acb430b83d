#include "platform/data/SilentAbort.h"

namespace orvane {

const char* SilentAbort::what() const noexcept
{
    return "Operation aborted";
}

void abortSilently()
{
    throw SilentAbort();
}

} // namespace orvane
