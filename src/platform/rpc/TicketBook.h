#pragma once
// The tickets a logged-in session hands to a second connection of the same client, so
// that the second connection proves itself without the password (and its slow check).
// A ticket is random (from the kernel's CSPRNG), valid for a few seconds, good for one
// login, and carries the issuing session's identity; it is forgotten when used, when it
// expires and when the issuing session ends. Tickets live only in this memory.
// Thread-safe.

#include "platform/variant/Variant.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvane {

struct TicketPolicy {
    std::chrono::milliseconds lifetime{10000};
    // Unused tickets one session may hold; issuing another forgets its oldest.
    std::size_t perSession = 8;
};

class TicketBook {
public:
    using Clock = std::chrono::steady_clock;

    explicit TicketBook(TicketPolicy policy = {}) : policy_(policy) {}

    // A new ticket of session `session`, whose login proved `account` and gave `identity`.
    std::string issue(std::uint64_t session, std::string account, Variant identity,
                      Clock::time_point now = Clock::now());
    // The identity of `ticket` when it is known, unexpired and was issued for `account`;
    // the ticket is used up whenever its secret matched, also when the account did not.
    std::optional<Variant> redeem(std::string_view account, std::string_view ticket,
                                  Clock::time_point now = Clock::now());
    // Forgets every ticket of `session`.
    void endSession(std::uint64_t session);

private:
    struct Ticket {
        std::uint64_t session = 0;
        std::string secret;
        std::string account;
        Variant identity;
        Clock::time_point expires;
    };

    void forgetExpired(Clock::time_point now);
    void keepRoomFor(std::uint64_t session);

    TicketPolicy policy_;
    std::mutex mutex_;
    std::uint64_t nextId_ = 1; // the public half of a ticket, never reused
    std::unordered_map<std::uint64_t, Ticket> tickets_;
};

} // namespace orvane
