#pragma once
// Answers of reads of the reference tables (items, units, currencies, rates, prices, customers,
// system parameters), kept between calls and shared by the connections of one database. The
// checks of an order line read the same few rows over and over, and those tables change seldom.
//
// Each company database counts the writes to its reference tables in its READ_VERSION row, raised
// by triggers in the same transaction as the write. An answer is kept with the count it was read
// at and given only to a reader that found the same count: a kept answer is what the database
// would answer then, whichever connection or process wrote before. Read the count and keep
// answers only outside a transaction: one that is still open may yet roll back what it wrote.
//
// Where the backend tells its connections of writes (Database::hearsWrites), the count read last
// is trusted without reading it again until a write is heard of or trustFor has passed: a write
// by this server is heard before its commit is answered, one by another process the moment its
// notice arrives; trustFor bounds the wait for a notice that never comes.
//
// Threads: any; one per database, held by its connections (Database::referenceReads).

#include "server/db/QueryResult.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvane {

class ReferenceReads {
public:
    // Most answers kept per company; when one more comes, the company's answers are dropped and
    // kept anew, so the store stays bounded without counting uses.
    static constexpr std::size_t answersPerCompany = 20000;
    // The same for the bytes the kept answers and their keys hold: what a client asks with is
    // bounded by the frame only, so a store bounded in count alone could fill the memory.
    static constexpr std::size_t bytesPerCompany = std::size_t{64} << 20;
    // An answer that holds more, with its key, is not kept: no reference read is that large,
    // and a key that long (a value no row has) would crowd out the answers that are asked again.
    static constexpr std::size_t bytesPerAnswer = std::size_t{64} << 10;

    // The answer kept for the statement and values, read at the company's write count; null when
    // there is none.
    SharedResult find(std::string_view companyDb, std::int64_t writes, std::string_view sql,
                std::span<const Variant> params) const;
    // Keeps an answer read at the company's write count. A count higher than the kept answers'
    // drops them; an answer read at a lower count than the latest seen is not kept.
    void keep(std::string_view companyDb, std::int64_t writes, std::string_view sql, std::span<const Variant> params,
              SharedResult answer);
    // The write count the company's kept answers were read at; -1 when none are kept.
    std::int64_t keptAt(std::string_view companyDb) const;

    static constexpr std::chrono::milliseconds trustFor{1000};
    // The company's count as last trusted, while no write was heard of since and trustFor has not
    // passed; nullopt otherwise.
    std::optional<std::int64_t> trusted(std::string_view companyDb) const;
    // Trusts a count read by a reader that took heardSoFar() before it read, unless a write was
    // heard of meanwhile: the count read may predate it.
    void trust(std::string_view companyDb, std::int64_t writes, std::uint64_t heardBefore);
    // A write to the kept tables of some company was heard of: no count is trusted any more.
    void heard();
    std::uint64_t heardSoFar() const { return heard_.load(); }

private:
    struct Company {
        std::int64_t writes = -1;
        std::unordered_map<std::string, SharedResult> answers;
        std::size_t bytes = 0; // held by the answers and their keys
        std::optional<std::int64_t> trusted;
        std::chrono::steady_clock::time_point trustedAt;
    };
    Company& company(std::string_view companyDb); // made when missing; under the unique lock
    static std::string keyOf(std::string_view sql, std::span<const Variant> params);

    std::atomic<std::uint64_t> heard_{0};
    mutable std::shared_mutex mutex_;
    std::map<std::string, Company, std::less<>> companies_;
};

} // namespace orvane
