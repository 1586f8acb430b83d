#pragma once
// The server side of client datasets: hands out data packets and applies deltas. The
// application server implements it over its database; MemoryProvider serves tests;
// DispatchProvider reaches a provider through late-bound dispatch (in-process or across
// the network).

#include "platform/data/ApplyResult.h"
#include "platform/data/DataPacket.h"
#include "platform/data/Delta.h"
#include "platform/variant/Variant.h"

#include <string>

namespace orvane {

class Provider {
public:
    virtual ~Provider() = default;

    // The next `count` rows (all for a negative count, metadata only for 0). With `reset`
    // the provider starts again from the first row chosen by `params` (the callers send
    // [condition, order]); without, `params` is ignored and the rows follow the last
    // packet. The packet says whether rows remain.
    virtual DataPacket getRecords(int count, const Variant& params, bool reset) = 0;

    // Applies a delta. With maxErrors -1 every record that can be applied is; otherwise
    // more than maxErrors failed records roll the whole delta back (applied = false).
    virtual ApplyResult applyUpdates(const Delta& delta, int maxErrors) = 0;

    // The same for a save the client may send again when its answer is lost: a provider that
    // keeps answers answers a repeated requestId with the first answer and writes nothing
    // twice. An empty requestId is a plain apply; this default ignores the identifier.
    virtual ApplyResult applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId)
    {
        (void)requestId;
        return applyUpdates(delta, maxErrors);
    }
};

} // namespace orvane
