#pragma once
// What the sales methods read over and over: items with their units, unit factors,
// currencies with their decimals, dated exchange rates and system parameters of the
// session's company. Reads that take a caller's element refuse an unknown value with the
// element's ServiceError (see SalesArgs).
//
// Threads: as the connection (one call of a method).

#include "server/db/Database.h"
#include "server/db/KeptReads.h"
#include "server/services/CallReads.h"
#include "server/services/NamedMethods.h"
#include "server/services/SalesArgs.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A stored number; NULL (never written by the server, possible from outside) counts as 0.
inline double storedNumber(const Variant& value)
{
    return value.isNumeric() || value.isString() ? value.toFloat() : 0.0;
}

// A price moved between tax included and tax excluded at the rate (a fraction).
inline double priceWithTax(double price, bool fromIncluded, bool toIncluded, double rate)
{
    if (fromIncluded == toIncluded)
        return price;
    return toIncluded ? price * (1 + rate) : price / (1 + rate);
}

struct SalesItem {
    std::string code;
    std::string stockUnit;
    std::string smallUnit;    // the second unit of the two-unit notation (may be empty)
    std::string packageUnit;  // may be empty
    double standardPrice = 0; // per stock unit, local currency, without tax
    double retailPrice = 0;
    bool retailIncludesTax = false;
    double levelPrices[6] = {};
    bool levelIncludesTax[6] = {};
};

struct SalesCurrency {
    std::string code;
    int priceDecimals = 0;  // unit prices
    int amountDecimals = 0; // amounts
};

// The call, its reads kept in own when the caller keeps none: for a method that reads ahead.
inline MethodCall keepingReads(const MethodCall& call, KeptReads& own)
{
    return {call.db, call.login, call.args, call.reads != nullptr ? call.reads : &own};
}

class SalesData {
public:
    // The call's connection and company; its statements are answered from call.reads when set.
    explicit SalesData(const MethodCall& call);

    // Runs a statement whose company tables are written {TABLE}; values are bound.
    QueryResult rows(std::string_view sql, std::vector<Variant> params);
    // The same not copied: valid while the call keeps it, or until this object reads again
    // when the call keeps no reads.
    const QueryResult& read(ReusedRun read);
    // Reads the statements (written as for rows()) the call is about to run, all in one round
    // trip, and keeps their answers for rows(); a read that fails here is left to rows(), which
    // meets the failure in its place. Only when readsAhead().
    void readAhead(std::vector<ReusedRun> reads);
    // Whether reading ahead pays: the backend sends reads together, the call keeps its reads,
    // and no transaction is open that a failed read would spoil. Callers ask it before they
    // gather what to read.
    bool readsAhead() const { return reads_ != nullptr && db_.readsTogether() && db_.transactionDepth() == 0; }
    // The backend's SQL differences (a row lock's FOR UPDATE).
    const SqlDialect& dialect() const { return db_.dialect(); }
    // The statements of systemParameter, findItem and findCurrency, for readAhead.
    static ReusedRun systemParameterRead(std::string_view name);
    static ReusedRun itemRead(const std::string& code);
    static ReusedRun currencyRead(const std::string& code);

    // The company's system parameter (name compared without case); empty when not set.
    std::string systemParameter(std::string_view name);
    // The local currency, SYS003.
    std::string localCurrency();

    // The item of element index; unknown or empty items are refused.
    SalesItem item(const SalesArgs& args, std::size_t index);
    // The item of that code, nullopt when there is none.
    std::optional<SalesItem> findItem(const std::string& code);
    // Stock units in one unit of the item: 1 for the stock unit, otherwise INVMD; nullopt
    // when the unit is not defined for the item.
    std::optional<double> unitFactor(const SalesItem& item, const std::string& unit);
    // The factor of the unit in element index (empty: the stock unit); refuses a unit not
    // defined for the item.
    double unitFactor(const SalesArgs& args, std::size_t index, const SalesItem& item);
    // The unit of element index, empty meaning the stock unit.
    std::string unit(const SalesArgs& args, std::size_t index, const SalesItem& item);

    // The currency of element index (empty: the local currency); refuses an unknown one.
    SalesCurrency currency(const SalesArgs& args, std::size_t index);
    // The currency of that code, nullopt when there is none.
    std::optional<SalesCurrency> findCurrency(const std::string& code);
    // The rate of the currency in force on the date (the latest dated on or before it),
    // kind "I" bank buying or "O" bank selling; nullopt when none is in force. The local
    // currency is 1 when it has no rate of its own.
    std::optional<double> exchangeRate(const std::string& currency, char kind, const std::string& date);

private:
    // What rows() answers, not copied: the reads of this class take what they need from it at
    // once, as it stays valid only until the next read.
    const QueryResult& answer(std::string_view sql, std::vector<Variant> params);

    Database& db_;
    KeptReads* reads_ = nullptr;
    CallReads source_;
    SharedResult unkept_; // the last answer read when the call keeps no reads
};

} // namespace orvane
