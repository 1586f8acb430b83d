#pragma once
// HeadProvider: the provider of a data module's head dataset (a provider on the module's server
// object, as DispatchProvider) that keeps the answer which last opened the dataset. A renewal
// sends the opening request in one batch with the login (openingCall) and hands the answer back
// (takeOpening): the very answer the dataset was opened with, and no packet read since, means the
// dataset already shows what opening it now would show. Any other answer is kept and serves the
// next opening with the same packet size and parameters, without another round trip. The opening
// answer is kept packed, and only up to keptOpeningBytes: a larger one is always read again.
//
// Thread-safe: a packet read ahead is read on a worker thread.

#include "platform/data/DispatchProvider.h"

#include <mutex>
#include <optional>

namespace orvane {

class HeadProvider : public DispatchProvider {
public:
    static constexpr std::size_t keptOpeningBytes = 256 * 1024;

    HeadProvider(DispatchPtr server, std::string providerName);

    DataPacket getRecords(int count, const Variant& params, bool reset) override;

    // The call that opens the dataset again: its first `count` rows chosen by params.
    Invocation openingCall(int count, const Variant& params) const;
    // The answer of openingCall(count, params). True when it is the answer the dataset was last
    // opened with, with the same count and params, and no packet was read after it; otherwise
    // the answer opens the dataset next time.
    bool takeOpening(int count, const Variant& params, Variant answer);

private:
    // An answer to an opening request, with the request.
    struct Opening {
        int count = 0;
        Variant params;
        Variant answer;
    };
    // The answer the dataset was opened with, packed; empty when it was too large to keep.
    struct Opened {
        int count = 0;
        Variant params;
        std::string packed;
    };

    // The answer read in a batch for this opening, else the server's answer now.
    Variant openingAnswer(int count, const Variant& params);

    std::mutex mutex_;              // guards the members below
    std::optional<Opened> opened_;  // what the dataset was last opened with
    bool readOn_ = false;           // a packet was read after that opening
    std::optional<Opening> ahead_;  // an answer read in a batch, for the next opening
};

} // namespace orvane
