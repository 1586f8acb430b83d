#pragma once
// Document numbers: a number is the prefix the document type's numbering mode builds
// from the document date, followed by a zero-padded serial. The mode and the serial's
// digits come from the document type (CMSMQ: MQ004 1 by day YYMMDD, 2 by month YYMM,
// 3 serial only, 4 typed by hand; MQ005 digits). The last serial given per table, type
// and prefix is kept in DOC_NUMBER; a number is never given twice, also when documents
// were typed by hand ahead of the counter.
//
// Reserving a number creates or counts on the counter row in one statement, which locks
// it until the caller's transaction ends (SQLite: the writing transaction; PostgreSQL: the
// row lock of INSERT ... ON CONFLICT DO UPDATE), so concurrent savers on any number of
// connections or server processes get distinct numbers. Call it inside the transaction
// that saves the document, so that a rolled-back save gives its number back; there it
// adds no savepoint of its own. The counter stays locked from the reservation to the end
// of that transaction, so reserve as late as the save allows. The highest stored number
// is read just before the lock; a number typed by hand and saved in that instant is
// caught by the document's key.
//
// Threads: stateless; the connection is used by one thread at a time as always.

#include "server/db/Database.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// A number that cannot be given: unknown type, typed by hand, bad date, serial overflow.
class NumberingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A document type's numbering rule.
struct NumberingRule {
    std::string mode; // MQ004
    int digits = 4;   // MQ005; 4 when not set
    bool automatic() const { return mode != "4"; }
};

class DocumentNumbering {
public:
    // A numbered document table ("COPTC", "COPTA"); raises NumberingError for another.
    explicit DocumentNumbering(std::string_view table);

    // The rule of a document type; nullopt when the type does not exist.
    std::optional<NumberingRule> rule(Database& db, const std::string& companyDb, std::string_view type) const;
    // The next number of a type for a document date YYYYMMDD, counted as given (see peek()
    // for a preview that writes nothing). Raises NumberingError when the type is unknown or
    // typed by hand, the date is not a date, or the serials of the prefix are used up.
    std::string nextNumber(Database& db, const std::string& companyDb, std::string_view type,
                           std::string_view date) const;
    // Refuses (NumberingError) a number typed for a new document of a type that numbers by
    // day, month or serial when it does not have the type's form: the prefix the document
    // date gives, then the type's digits. Numbers of a type typed by hand are not checked.
    static void checkTypedNumber(const NumberingRule& rule, std::string_view type, std::string_view date,
                                 std::string_view number);
    // The highest number in use for the type and date's prefix ("" when none) and the next one,
    // nothing written, for a type whose rule the caller has read (as rule() answered it). Raises
    // NumberingError as nextNumber does.
    struct Peeked {
        std::string highest;
        std::string next;
    };
    Peeked peek(Database& db, const std::string& companyDb, const std::optional<NumberingRule>& rule,
                std::string_view type, std::string_view date) const;

    // The prefix a mode builds from a date: YYMMDD, YYMM or empty.
    static std::string prefix(const NumberingRule& rule, std::string_view date);

    const std::string& table() const { return table_; }
    const std::string& typeField() const { return typeField_; }
    const std::string& numberField() const { return numberField_; }

private:
    struct Serials {
        std::string mode; // MQ004
        std::string date; // the document date the prefix was built from
        std::string prefix;
        int digits;
        long long counter; // DOC_NUMBER.NUM_LAST (0 when missing or not read)
        long long inUse;   // highest serial among the stored documents of the prefix
    };
    // The rule of a type that numbers automatically; raises NumberingError for a type unknown
    // (no rule) or typed by hand.
    static const NumberingRule& automaticRule(const std::optional<NumberingRule>& rule, std::string_view type);
    // The rule's prefix and digits and the highest serial in use; the counter (unlocked) when
    // readCounter, read together with the highest serial.
    Serials serials(Database& db, const std::string& companyDb, const NumberingRule& rule, std::string_view type,
                    std::string_view date, bool readCounter) const;
    // Counts the counter on past the serials in use and answers the new serial, locking it.
    long long reserveSerial(Database& db, const std::string& companyDb, std::string_view type, const Serials& s) const;
    std::string format(const Serials& s, long long serial, std::string_view type) const;

    std::string table_;
    std::string typeField_;   // TC001
    std::string numberField_; // TC002
    int numberSize_ = 0;      // characters of the number field
};

} // namespace orvane
