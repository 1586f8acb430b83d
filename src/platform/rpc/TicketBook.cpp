#include "platform/rpc/TicketBook.h"

#include "platform/rpc/RpcError.h"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace orvane {

namespace {

constexpr std::size_t secretBytes = 32;

std::string hex(const unsigned char* bytes, std::size_t size)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0f];
    }
    return text;
}

std::string randomSecret()
{
    std::array<unsigned char, secretBytes> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno != EINTR)
            throw RpcError(RpcErrorCode::CallFailed, std::string("cannot draw a random ticket: ") + strerror(errno));
        filled += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    return hex(bytes.data(), bytes.size());
}

// Equal texts, in a time that depends only on their lengths, so that a guess learns
// nothing from how long its refusal took.
bool sameSecret(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

std::string TicketBook::issue(std::uint64_t session, std::string account, Variant identity, Clock::time_point now)
{
    std::string secret = randomSecret();
    const std::lock_guard lock(mutex_);
    forgetExpired(now);
    keepRoomFor(session);
    const std::uint64_t id = nextId_++;
    std::string ticket = std::to_string(id) + "." + secret;
    tickets_.emplace(
        id, Ticket{session, std::move(secret), std::move(account), std::move(identity), now + policy_.lifetime});
    return ticket;
}

std::optional<Variant> TicketBook::redeem(std::string_view account, std::string_view ticket, Clock::time_point now)
{
    const auto dot = ticket.find('.');
    std::uint64_t id = 0;
    if (dot == std::string_view::npos ||
        std::from_chars(ticket.data(), ticket.data() + dot, id).ptr != ticket.data() + dot)
        return std::nullopt;
    const std::lock_guard lock(mutex_);
    const auto found = tickets_.find(id);
    if (found == tickets_.end() || !sameSecret(found->second.secret, ticket.substr(dot + 1)))
        return std::nullopt;
    Ticket used = std::move(found->second);
    tickets_.erase(found);
    if (now >= used.expires || used.account != account)
        return std::nullopt;
    return std::move(used.identity);
}

void TicketBook::endSession(std::uint64_t session)
{
    const std::lock_guard lock(mutex_);
    std::erase_if(tickets_, [session](const auto& entry) { return entry.second.session == session; });
}

void TicketBook::forgetExpired(Clock::time_point now)
{
    std::erase_if(tickets_, [now](const auto& entry) { return now >= entry.second.expires; });
}

void TicketBook::keepRoomFor(std::uint64_t session)
{
    auto oldest = tickets_.end();
    std::size_t held = 0;
    for (auto entry = tickets_.begin(); entry != tickets_.end(); ++entry) {
        if (entry->second.session != session)
            continue;
        ++held;
        if (oldest == tickets_.end() || entry->first < oldest->first)
            oldest = entry;
    }
    if (held >= policy_.perSession && oldest != tickets_.end())
        tickets_.erase(oldest);
}

} // namespace orvane
