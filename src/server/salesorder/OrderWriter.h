#pragma once
// Writes a delta of orders in one transaction of its own, opened at the first statement
// and finished by commit() or rollback() (or rolled back when the writer goes away). Per
// record an insert, update or delete of a head, line or sub-line, nested records under
// their own record. Only stored columns are written, companions are ignored; a line's
// leading key columns always repeat its head's key.
//
// Two ways to write:
// - PerRecord: each record runs in its own savepoint and is written at once, so a refused
//   record undoes exactly its own work, lands in the result, and the caller decides
//   whether the rest commits.
// - AllOrNothing: no savepoints; the first refused record raises Refused and nothing is
//   kept. New rows are checked first and written last, several per statement, with the
//   commit (in one round trip where the backend can), and the numbers of new heads are taken
//   right before, so the numbering counter stays locked only for those statements and the
//   commit. A new row the database refuses is then reported by commit() as Refused.
//
// The server trusts no client for who saves: an order the user may not add, change or delete
// (SaveRights, by the stored order's creator and group; voiding and un-voiding, TC027 "V" and
// back to "N", need the void right too) is refused, and the audit columns are
// stamped from the session's user and the server's date whatever the client sent (a new row:
// COMPANY, CREATOR, USR_GROUP, CREATE_DATE, MODIFIER and MODI_DATE empty; a change: MODIFIER
// and MODI_DATE). A head's number typed by the client, new or changed, must have its type's form.
// A line's delivered quantities (TD009, TD025 and in packages TD033, TD035) are never below 0
// nor, once something is delivered, more than what was ordered (TD008, TD024, TD032, TD034), as
// written or as left by a change.
//
// Confirming belongs to OrderConfirmation: a save changes TC027 only to void or un-void, a new
// order's TC027 is "N" or empty, the approver TC040 is empty on a new order and never written by
// a change, and a new line's TD021 is its head's code. A confirmed, failed or void order is
// closed: only un-voiding and its sign-off and transfer statuses (TC048, TC050) are saved.
//
// A modified or deleted record whose stored FLAG differs from the FLAG the client read is
// refused, never overwritten, and so is one whose FLAG matches only because it went round a
// whole cycle since the session had it (RowVersions); the server then counts FLAG on (1..999,
// then 0) and ROW_VERSION with it. Deleting a
// record deletes its lines and sub-lines. With numbering on, a new head of an
// automatically numbered order type takes its number from DocumentNumbering, and its lines
// and sub-lines follow it.
//
// Threads: as its connection (one thread at a time).

#include "platform/data/ApplyResult.h"
#include "platform/data/Delta.h"
#include "server/db/Database.h"
#include "server/db/Transaction.h"
#include "server/salesorder/InsertBatch.h"
#include "server/salesorder/OrderLevels.h"
#include "server/salesorder/RowVersions.h"
#include "server/services/DocumentNumbering.h"
#include "server/services/SaveRights.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

// Who saves, and what the server checks and stamps for it.
struct SaveSession {
    std::string companyId;
    std::string userId;
    std::string userGroup;
    SaveRights rights;
    RowVersions* versions = nullptr; // the versions the session had; nullptr: FLAG alone
};

enum class WriteMode {
    PerRecord,   // a savepoint per record; refused records are listed in the result
    AllOrNothing // no savepoints; the first refused record raises OrderWriter::Refused
};

class OrderWriter {
public:
    // Runs before each record is written (or, AllOrNothing, checked and kept for the end),
    // with the record's table; tests inject faults by throwing.
    using FaultHook = std::function<void(const std::string& table)>;

    // AllOrNothing met a record it cannot write; the transaction is to be rolled back.
    // Its text is the first refusal's; writing PerRecord tells every refused record.
    class Refused : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    OrderWriter(Database& db, std::string companyDb, const SaveSession& session, WriteMode mode, bool numbering,
                FaultHook faultHook = {});
    ~OrderWriter();

    // Writes every record of the delta. PerRecord appends refused records to result.errors;
    // AllOrNothing raises Refused instead. Raises PacketError for a delta whose fields are
    // not those of the order levels, and passes on database failures other than constraint
    // violations (the transaction then rolls back with the writer).
    void apply(const Delta& delta, ApplyResult& result);
    // Writes the kept rows and makes everything permanent; raises DbError when the database
    // refuses (AllOrNothing: Refused for a refused row).
    void commit();
    // Undoes everything written.
    void rollback();
    // The numbers given to new heads, in order.
    const std::vector<std::string>& numbers() const { return numbers_; }
    // The changed records with the version they have once the transaction commits.
    const std::vector<WrittenVersion>& written() const { return written_; }
    // The records refused as changed by another user, with the version of the current
    // values the refusal hands the client, whether or not anything commits.
    const std::vector<WrittenVersion>& refreshed() const { return refreshed_; }
    // The connection inside this writer's transaction (opened here at the first use).
    Database& db();

private:
    struct Level;
    struct Refusal;
    // What a change reads of the stored record, under its lock.
    struct Stored {
        double flag = 0;
        std::string creator;
        std::string group;
        std::int64_t version = 0;
        std::string date;               // a head's TC039
        std::vector<double> quantities; // a line's TD008, TD009, TD024, TD025, TD032 to TD035
    };
    // The order whose records are being written, for the checks of its lines.
    struct Head {
        std::string context; // "COPTC TC001=..., TC002=..."
        std::string state;   // its TC027 as stored (a new head's as sent)
        std::string signOff; // its TC048 as stored
    };
    // A new head whose number is taken at the end, and the kept rows that carry it.
    struct PendingNumber {
        std::string type;
        std::string date;
        std::vector<std::pair<std::size_t, std::size_t>> rows; // (level depth, row in its batch)
    };

    std::unique_ptr<Level> mapLevel(const OrderLevel& order, const std::vector<FieldDef>& fields,
                                    std::size_t depth) const;
    void makeBatches(const Level& level);
    void applyLevel(const Level& level, const std::vector<DeltaRecord>& records, const std::vector<Variant>& parentKey,
                    ApplyResult& result);
    void applyRecord(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                     ApplyResult& result);
    // One record with its nested records; sets context once its key is known and number
    // when it took one.
    void writeRecord(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                     std::string& context, std::string& number, ApplyResult& result);
    // Inserts (or keeps for the end) a new record; sets context once its key is known.
    std::vector<Variant> insert(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                                std::string& number, std::string& context);
    // Gives a new head its number now (PerRecord) or at the end (AllOrNothing), or checks
    // the number the client typed.
    void numberHead(std::vector<Variant>& row, std::string& number);
    // The server's audit values of a new row.
    void stampNew(const OrderLevel& order, std::vector<Variant>& row) const;
    void keep(const Level& level, std::vector<Variant> values);
    // AllOrNothing: takes the pending numbers, then lines up the kept rows for the commit,
    // level by level.
    void numberKept();
    std::vector<Variant> update(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key);
    void remove(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key);
    // The stored record with key, locked; refuses a record that is gone and, for a head, a
    // change the user has no right to. A head becomes head_.
    Stored lockStored(const Level& level, const std::vector<Variant>& key, OrderChange change);
    // Refuses what (a change, "deleting it") when head_ is confirmed, failed, void or in sign-off.
    void checkOpen(const std::string& what) const;
    // Refuses what while head_ is in sign-off, status changes included.
    void checkNotInSignOff(const std::string& what) const;
    // Refuses a line whose delivered quantities (TD009, TD025) are below 0 or past what was
    // ordered (TD008, TD024); quantities in that order, as Stored keeps them.
    static void checkDelivered(const std::string& context, const std::vector<double>& quantities);
    // Refuses a TC048 a save may not write.
    void checkSignOffValue(const std::string& status) const;
    // Refuses a change of head_'s TC027 to state but voiding and un-voiding with the void right
    // (the stored head's creator and group decide it).
    void checkStateChange(const Stored& stored, const std::string& state) const;
    // Sets TD021 of the lines of the head with key (voided or un-voided) to its new state.
    void copyStateToLines(const OrderLevel& heads, const std::vector<Variant>& key, const std::string& state);
    // Refuses a head's new key whose number does not have its type's form for the document date.
    void checkNewNumber(const std::vector<Variant>& key, const std::string& date);
    // TC039 as the numbering reads it: today when empty.
    std::string documentDate(const std::string& date) const;
    void checkFlag(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key,
                   const Stored& stored);
    // The refusal of a record another user changed, with the server's values for a refresh.
    Refusal conflict(const Level& level, const std::vector<Variant>& key);
    std::vector<Variant> originalKey(const Level& level, const DeltaRecord& record,
                                     const std::vector<Variant>& parentKey) const;
    std::string whereKey(const OrderLevel& order, std::size_t columns) const;
    std::string tableOf(const OrderLevel& order) const;

    Database& db_;
    std::string companyDb_;
    const SaveSession& session_;
    std::string today_; // the server's date for the audit columns
    WriteMode mode_;
    bool numbering_;
    FaultHook faultHook_;
    DocumentNumbering numberer_;
    std::optional<Transaction> transaction_;
    std::vector<std::string> numbers_;
    std::vector<WrittenVersion> written_;
    std::vector<WrittenVersion> refreshed_;
    std::vector<const Level*> levels_;          // by depth: heads, lines, sub-lines present in the delta
    std::vector<InsertBatch> batches_;          // new rows per level, by depth
    std::vector<PendingNumber> pendingNumbers_; // AllOrNothing: new heads waiting for their number
    std::optional<std::size_t> pending_;        // the pending number of the head being written
    Head head_;                                 // the head being written
    std::vector<ReusedRun> keptRuns_;           // AllOrNothing: the inserts that run with the commit
};

// "COPTC TC001=2201, TC002=2501200001": a record's level and key, for error texts.
std::string recordContext(const OrderLevel& level, const std::vector<Variant>& key);
// The refusals of a record another user changed or deleted since the client read it.
std::string changedByAnotherUser(const OrderLevel& level, const std::vector<Variant>& key);
std::string deletedByAnotherUser(const OrderLevel& level, const std::vector<Variant>& key);
// The FLAG after one more change: 1..999, then 0.
double nextFlag(double stored);
// Whether the FLAG a client read (a number) is the stored one.
bool sameFlag(const Variant& read, double stored);

} // namespace orvane
