#include "server/services/DocumentNumbering.h"

#include "platform/text/DateText.h"
#include "server/db/Transaction.h"
#include "server/schema/Tables.h"
#include "server/services/CallReads.h"

#include <algorithm>

namespace orvane {

namespace {

struct NumberedTable {
    const char* table;
    const char* typeField;
    const char* numberField;
};

constexpr NumberedTable numberedTables[] = {{"COPTC", "TC001", "TC002"}, {"COPTA", "TA001", "TA002"}};

bool digitsOnly(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkDate(std::string_view date)
{
    const auto part = [&](std::size_t at, std::size_t size) { return std::stoi(std::string(date.substr(at, size))); };
    if (date.size() != 8 || !digitsOnly(date) || !text::isValidDate(part(0, 4), part(4, 2), part(6, 2)))
        throw NumberingError("Document date '" + std::string(date) + "' is not a date YYYYMMDD");
}

long long power10(int digits)
{
    long long value = 1;
    for (int i = 0; i < digits; ++i)
        value *= 10;
    return value;
}

} // namespace

DocumentNumbering::DocumentNumbering(std::string_view table)
{
    const auto known = std::find_if(std::begin(numberedTables), std::end(numberedTables),
                                    [&](const NumberedTable& t) { return table == t.table; });
    if (known == std::end(numberedTables))
        throw NumberingError("Table '" + std::string(table) + "' has no document numbering");
    table_ = known->table;
    typeField_ = known->typeField;
    numberField_ = known->numberField;
    for (const auto& column : findTable(table_)->columns)
        if (column.name == numberField_)
            numberSize_ = column.size;
}

std::optional<NumberingRule> DocumentNumbering::rule(Database& db, const std::string& companyDb,
                                                     std::string_view type) const
{
    const std::vector<Variant> params{type};
    // Reference data: from the kept answers outside a transaction (a number's peek), read within one.
    const SharedResult found =
        CallReads(db, companyDb, nullptr).read("SELECT MQ004, MQ005 FROM {CMSMQ} WHERE MQ001 = ?", params);
    if (found->rows.empty())
        return std::nullopt;
    const int digits = static_cast<int>(found->rows[0][1].toIntegerOrZero());
    return NumberingRule{found->rows[0][0].toString(), digits > 0 ? digits : 4};
}

std::string DocumentNumbering::prefix(const NumberingRule& rule, std::string_view date)
{
    if (rule.mode == "3")
        return {};
    if (rule.mode != "1" && rule.mode != "2")
        throw NumberingError("Numbering mode '" + rule.mode + "' gives no automatic numbers");
    checkDate(date);
    return std::string(date.substr(2, rule.mode == "1" ? 6 : 4));
}

const NumberingRule& DocumentNumbering::automaticRule(const std::optional<NumberingRule>& rule, std::string_view type)
{
    if (!rule)
        throw NumberingError("Unknown document type '" + std::string(type) + "'");
    if (!rule->automatic())
        throw NumberingError("Document type '" + std::string(type) + "' is numbered by hand");
    return *rule;
}

DocumentNumbering::Serials DocumentNumbering::serials(Database& db, const std::string& companyDb,
                                                      const NumberingRule& rule, std::string_view type,
                                                      std::string_view date, bool readCounter) const
{
    Serials s{rule.mode, std::string(date), prefix(rule, date), rule.digits, 0, 0};
    if (static_cast<int>(s.prefix.size()) + s.digits > numberSize_)
        throw NumberingError("Document type '" + std::string(type) + "' builds numbers longer than " +
                             std::to_string(numberSize_) + " characters");

    // The range lets the key index find the highest number at once (neither backend uses an
    // index for LIKE here); every number of the prefix with a serial of digits lies in it.
    const SqlDialect& d = db.dialect();
    const std::size_t digits = static_cast<std::size_t>(s.digits);
    std::vector<ReusedRun> reads{
        {"SELECT " + numberField_ + " FROM " + d.companyTable(companyDb, table_) + " WHERE " + typeField_ +
             " = ? AND " + numberField_ + " BETWEEN ? AND ? AND " + numberField_ + " LIKE ? AND LENGTH(" +
             numberField_ + ") = ? ORDER BY " + numberField_ + " DESC LIMIT 1",
         {std::string(type), s.prefix + std::string(digits, '0'), s.prefix + std::string(digits, '9'), s.prefix + "%",
          static_cast<int>(s.prefix.size() + digits)}}};
    if (readCounter)
        reads.push_back({"SELECT NUM_LAST FROM " + d.companyTable(companyDb, "DOC_NUMBER") +
                             " WHERE NUM_TABLE = ? AND NUM_TYPE = ? AND NUM_PREFIX = ?",
                         {table_, std::string(type), s.prefix}});
    const std::vector<QueryResult> found = db.queryAll(reads);
    const std::string number = found[0].rows.empty() ? "" : found[0].rows[0][0].toString();
    if (digitsOnly(std::string_view(number).substr(std::min(number.size(), s.prefix.size()))))
        s.inUse = std::stoll(number.substr(s.prefix.size()));
    if (readCounter && !found[1].rows.empty())
        s.counter = found[1].rows[0][0].toIntegerOrZero();
    return s;
}

std::string DocumentNumbering::format(const Serials& s, long long serial, std::string_view type) const
{
    if (serial >= power10(s.digits)) {
        const std::string period = s.mode == "1"   ? " for day " + s.date
                                   : s.mode == "2" ? " for month " + s.date.substr(0, 6)
                                                   : std::string();
        throw NumberingError("Document type '" + std::string(type) + "' has no number left" + period + ": its " +
                             std::to_string(s.digits) + "-digit serials" +
                             (s.prefix.empty() ? std::string() : " after " + s.prefix) + " are all used");
    }
    const std::string digits = std::to_string(serial);
    return s.prefix +
           std::string(static_cast<std::size_t>(s.digits) - std::min<std::size_t>(digits.size(), s.digits), '0') +
           digits;
}

long long DocumentNumbering::reserveSerial(Database& db, const std::string& companyDb, std::string_view type,
                                           const Serials& s) const
{
    // One statement creates the counter or counts it on past the numbers in use, and keeps it
    // locked until the transaction ends: the lock is taken and the serial given at once.
    const std::vector<Variant> values{table_, type, s.prefix, s.inUse + 1, s.inUse, s.inUse + 1};
    const QueryResult taken = db.query(
        "INSERT INTO " + db.dialect().companyTable(companyDb, "DOC_NUMBER") +
            " AS D (NUM_TABLE, NUM_TYPE, NUM_PREFIX, NUM_LAST) VALUES (?, ?, ?, ?) ON CONFLICT (NUM_TABLE, NUM_TYPE, "
            "NUM_PREFIX) DO UPDATE SET NUM_LAST = CASE WHEN D.NUM_LAST > ? THEN D.NUM_LAST + 1 ELSE ? END "
            "RETURNING NUM_LAST",
        values);
    if (taken.rows.empty())
        throw NumberingError("The number counter of document type '" + std::string(type) + "' answered no serial");
    return taken.rows[0][0].toIntegerOrZero();
}

std::string DocumentNumbering::nextNumber(Database& db, const std::string& companyDb, std::string_view type,
                                          std::string_view date) const
{
    std::string number;
    const auto reserve = [&] {
        const Serials s = serials(db, companyDb, automaticRule(rule(db, companyDb, type), type), type, date, false);
        number = format(s, reserveSerial(db, companyDb, type, s), type);
    };
    // Inside the caller's transaction no savepoint of its own: the caller's rollback undoes
    // the reservation with the rest of its work.
    if (db.transactionDepth() > 0)
        reserve();
    else
        inTransaction(db, reserve);
    return number;
}

void DocumentNumbering::checkTypedNumber(const NumberingRule& rule, std::string_view type, std::string_view date,
                                         std::string_view number)
{
    if (!rule.automatic())
        return;
    const std::string expected = prefix(rule, date);
    const std::size_t digits = static_cast<std::size_t>(rule.digits);
    if (number.size() == expected.size() + digits && number.substr(0, expected.size()) == expected &&
        digitsOnly(number.substr(expected.size())))
        return;
    throw NumberingError("The number '" + std::string(number) + "' does not fit document type '" + std::string(type) +
                         "': its numbers are " +
                         (expected.empty()
                              ? std::string()
                              : "'" + expected + "' (from the document date " + std::string(date) + ") followed by ") +
                         std::to_string(digits) + " digits");
}

DocumentNumbering::Peeked DocumentNumbering::peek(Database& db, const std::string& companyDb,
                                                  const std::optional<NumberingRule>& rule, std::string_view type,
                                                  std::string_view date) const
{
    const Serials s = serials(db, companyDb, automaticRule(rule, type), type, date, true);
    const long long serial = std::max(s.counter, s.inUse);
    return {serial == 0 ? std::string() : format(s, serial, type), format(s, serial + 1, type)};
}

} // namespace orvane
