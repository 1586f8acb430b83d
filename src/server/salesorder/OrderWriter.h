#pragma once
// Writes a delta of orders inside the caller's transaction. Per record an insert, update
// or delete of a head, line or sub-line, nested records under their own record; each
// record runs in its own savepoint, so a refused record undoes exactly its own work and
// the caller decides whether the rest commits. Only stored columns are written, companions
// are ignored; a line's leading key columns always repeat its head's key.
//
// A modified or deleted record whose stored FLAG differs from the FLAG the client read is
// refused, never overwritten; the server then counts FLAG on (1..999, then 0). Deleting a
// record deletes its lines and sub-lines. With numbering on, a new head of an
// automatically numbered order type takes its number from DocumentNumbering, and its lines
// and sub-lines follow it.
//
// Threads: as its connection (one thread at a time).

#include "platform/data/ApplyResult.h"
#include "platform/data/Delta.h"
#include "server/db/Database.h"
#include "server/salesorder/OrderLevels.h"
#include "server/services/DocumentNumbering.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class OrderWriter {
public:
    // Runs before each record is written, with the record's table; tests inject faults by throwing.
    using FaultHook = std::function<void(const std::string& table)>;

    OrderWriter(Database& db, std::string companyDb, bool numbering, FaultHook faultHook = {});
    ~OrderWriter();

    // Writes every record of the delta; refused records are appended to result.errors.
    // Raises PacketError for a delta whose fields are not those of the order levels, and
    // passes on database failures other than constraint violations (the caller's
    // transaction then rolls everything back).
    void apply(const Delta& delta, ApplyResult& result);
    // The numbers given to new heads, in order.
    const std::vector<std::string>& numbers() const { return numbers_; }

private:
    struct Level;
    struct Refusal;

    std::unique_ptr<Level> mapLevel(const OrderLevel& order, const std::vector<FieldDef>& fields) const;
    void applyLevel(const Level& level, const std::vector<DeltaRecord>& records, const std::vector<Variant>& parentKey,
                    ApplyResult& result);
    void applyRecord(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                     ApplyResult& result);
    // Inserts a new record; sets context once its key is known.
    std::vector<Variant> insert(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                                std::string& number, std::string& context);
    std::vector<Variant> update(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key);
    void remove(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key);
    // The stored FLAG of the record with key; refuses a record that is gone.
    double lockStored(const Level& level, const std::vector<Variant>& key);
    void checkFlag(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key, double stored);
    // The refusal of a record another user changed, with the server's values for a refresh.
    Refusal conflict(const Level& level, const std::vector<Variant>& key);
    std::vector<Variant> originalKey(const Level& level, const DeltaRecord& record,
                                     const std::vector<Variant>& parentKey) const;
    std::string assignNumber(const std::vector<Variant>& row);
    std::string whereKey(const OrderLevel& order, std::size_t columns) const;

    Database& db_;
    std::string companyDb_;
    bool numbering_;
    FaultHook faultHook_;
    DocumentNumbering numberer_;
    std::vector<std::string> numbers_;
};

// "COPTC TC001=2201, TC002=2501200001": a record's level and key, for error texts.
std::string recordContext(const OrderLevel& level, const std::vector<Variant>& key);

} // namespace orvane
