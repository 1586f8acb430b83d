#pragma once
// What one server lets its clients hold, so that a client that never logs in, never
// reads its answers or floods logins cannot exhaust the server's memory, sockets or
// threads. The frame limits of RpcLimits apply on top of these.

#include "platform/rpc/TicketBook.h"

#include <chrono>
#include <cstddef>

namespace orvane {

// Slows down guessing: after `freeFailures` failed logins in a row for one account or
// from one address, each further attempt waits `firstDelay`, doubled per failure up to
// `longestDelay`, after the last failure; attempts made sooner are refused unchecked.
struct LoginThrottlePolicy {
    std::size_t freeFailures = 5;
    std::chrono::milliseconds firstDelay{1000};
    std::chrono::milliseconds longestDelay{60000};
};

struct ServerLimits {
    // Before login (on a server that takes logins): the largest request and the most objects.
    std::size_t guestFrameBytes = std::size_t{64} << 10;
    std::size_t guestObjects = 16;
    // After login: the most objects one session holds.
    std::size_t sessionObjects = 10000;
    // Unfinished requests of all connections together.
    std::size_t bufferedBytes = std::size_t{256} << 20;
    // A connection whose unsent answers exceed this is not read until they are sent.
    std::size_t pendingAnswerBytes = std::size_t{4} << 20;
    std::size_t connections = 256;
    std::size_t connectionsPerAddress = 32;
    // A connection that has not logged in within loginTimeout, or sent nothing for
    // idleTimeout after its login, is closed.
    std::chrono::milliseconds loginTimeout{30000};
    std::chrono::milliseconds idleTimeout{std::chrono::hours(8)};
    // Logins are checked on threads of their own; more waiting than loginQueue are refused.
    std::size_t loginThreads = 2;
    std::size_t loginQueue = 32;
    LoginThrottlePolicy throttle;
    // How long a ticket for a second connection stays good, and how many a session may hold.
    TicketPolicy tickets;
};

} // namespace orvane
