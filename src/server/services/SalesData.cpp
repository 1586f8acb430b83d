#include "server/services/SalesData.h"

#include "server/db/DbError.h"
#include "server/schema/Tables.h"

namespace orvane {

namespace {

bool includesTax(const Variant& flag)
{
    return flag.toString() == "Y";
}

// The company's count of writes to the kept tables.
const std::string& countSql()
{
    static const std::string sql =
        "SELECT " + std::string(writeCountColumn) + " FROM {" + std::string(writeCountTable) + "} WHERE ID = 1";
    return sql;
}

} // namespace

SalesData::SalesData(const MethodCall& call) : db_(call.db), companyDb_(call.login.companyDb), reads_(call.reads) {}

QueryResult SalesData::rows(std::string_view sql, std::vector<Variant> params)
{
    if (reads_ == nullptr)
        return sharedOrRead(sql, params);
    return answer(sql, std::move(params)); // a copy: the kept answer stays for the next caller
}

const QueryResult& SalesData::answer(std::string_view sql, std::vector<Variant> params)
{
    if (reads_ == nullptr) {
        unkept_ = sharedOrRead(sql, params);
        return unkept_;
    }
    if (const QueryResult* kept = reads_->find(sql, params))
        return *kept;
    QueryResult read = sharedOrRead(sql, params);
    return reads_->keep(sql, std::move(params), std::move(read));
}

ReferenceReads* SalesData::sharedFor(std::string_view sql) const
{
    ReferenceReads* shared = db_.referenceReads();
    if (shared == nullptr || db_.transactionDepth() > 0 || !readsKeptTablesOnly(sql, companyDb_))
        return nullptr;
    return shared;
}

std::int64_t SalesData::writeCount()
{
    std::optional<std::int64_t>& count = reads_ != nullptr ? reads_->writeCount : ownCount_;
    if (!count) {
        const QueryResult read = db_.query(companySql(countSql()));
        count = read.rows.empty() ? -1 : read.rows[0][0].toIntegerOrZero();
    }
    return *count;
}

QueryResult SalesData::sharedOrRead(std::string_view sql, const std::vector<Variant>& params)
{
    ReferenceReads* shared = sharedFor(sql);
    const std::int64_t count = shared != nullptr ? writeCount() : -1;
    if (count < 0)
        return db_.query(companySql(sql), params);
    if (const ReferenceReads::Answer kept = shared->find(companyDb_, count, sql, params))
        return *kept;
    QueryResult read = db_.query(companySql(sql), params);
    shared->keep(companyDb_, count, sql, params, read);
    return read;
}

void SalesData::readAhead(std::vector<ReusedRun> reads)
{
    if (!readsAhead())
        return;
    std::erase_if(reads, [&](const ReusedRun& read) { return reads_->find(read.sql, read.params) != nullptr; });
    // What the shared answers hold at the count last seen is left out; when the count read
    // with the rest has moved on, rows() reads it after all.
    ReferenceReads* shared = db_.referenceReads();
    const bool countRead = shared != nullptr && !reads_->writeCount;
    if (shared != nullptr) {
        const std::int64_t last = reads_->writeCount ? *reads_->writeCount : shared->keptAt(companyDb_);
        std::erase_if(reads, [&](const ReusedRun& read) {
            return sharedFor(read.sql) != nullptr && shared->find(companyDb_, last, read.sql, read.params) != nullptr;
        });
    }
    std::vector<ReusedRun> statements;
    statements.reserve(reads.size() + 1);
    if (countRead)
        statements.push_back({companySql(countSql()), {}});
    for (const ReusedRun& read : reads)
        statements.push_back({companySql(read.sql), read.params});
    if (statements.empty())
        return;
    std::vector<QueryResult> answers;
    try {
        answers = db_.queryAll(statements);
    } catch (const DbError&) {
        return;
    }
    if (countRead)
        reads_->writeCount = answers[0].rows.empty() ? -1 : answers[0].rows[0][0].toIntegerOrZero();
    const std::size_t first = countRead ? 1 : 0;
    for (std::size_t i = 0; i < reads.size(); ++i) {
        QueryResult& answer = answers[first + i];
        if (ReferenceReads* keeper = sharedFor(reads[i].sql); keeper != nullptr && *reads_->writeCount >= 0)
            keeper->keep(companyDb_, *reads_->writeCount, reads[i].sql, reads[i].params, answer);
        reads_->keep(reads[i].sql, std::move(reads[i].params), std::move(answer));
    }
}

std::string SalesData::companySql(std::string_view sql) const
{
    std::string text;
    text.reserve(sql.size() + 4 * (companyDb_.size() + 3)); // room for the company of a few tables
    for (std::size_t at = 0; at < sql.size();) {
        const std::size_t open = sql.find('{', at);
        if (open == std::string_view::npos) {
            text += sql.substr(at);
            break;
        }
        const std::size_t close = sql.find('}', open);
        text += sql.substr(at, open - at);
        db_.dialect().appendCompanyTable(text, companyDb_, sql.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return text;
}

namespace {

constexpr std::string_view systemParameterSql = "SELECT PARAM_VALUE FROM {SYS_PARAM} WHERE PARAM_NAME = ?";
constexpr std::string_view itemSql =
    "SELECT MB004, MB007, MB018, MB023, MB027, MB028, MB029, MB030, MB031, MB032, MB033, MB034, MB035, "
    "MB036, MB037, MB038, MB039, MB040 FROM {INVMB} WHERE MB001 = ?";
constexpr std::string_view currencySql = "SELECT MF003, MF004 FROM {CMSMF} WHERE MF001 = ?";

// Parameter names are stored in upper case.
std::string parameterKey(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

} // namespace

ReusedRun SalesData::systemParameterRead(std::string_view name)
{
    return {std::string(systemParameterSql), {parameterKey(name)}};
}

ReusedRun SalesData::itemRead(const std::string& code)
{
    return {std::string(itemSql), {code}};
}

ReusedRun SalesData::currencyRead(const std::string& code)
{
    return {std::string(currencySql), {code}};
}

QueryResult SalesData::rows(ReusedRun read)
{
    return rows(read.sql, std::move(read.params));
}

std::string SalesData::systemParameter(std::string_view name)
{
    const QueryResult& found = answer(systemParameterSql, {parameterKey(name)});
    return found.rows.empty() ? std::string() : found.rows[0][0].toString();
}

std::string SalesData::localCurrency()
{
    return systemParameter("SYS003");
}

SalesItem SalesData::item(const SalesArgs& args, std::size_t index)
{
    const std::string code = args.requiredCode(index, "item");
    auto found = findItem(code);
    if (!found)
        args.fail(index, "item", "unknown item '" + code + "'");
    return *found;
}

std::optional<SalesItem> SalesData::findItem(const std::string& code)
{
    const QueryResult& found = answer(itemSql, {code});
    if (found.rows.empty())
        return std::nullopt;
    const DbRow& row = found.rows[0];
    SalesItem item{code,
                   row[0].toString(),
                   row[1].toString(),
                   row[2].toString(),
                   storedNumber(row[3]),
                   storedNumber(row[4]),
                   includesTax(row[5])};
    for (std::size_t level = 0; level < 6; ++level) {
        item.levelPrices[level] = storedNumber(row[6 + level]);
        item.levelIncludesTax[level] = includesTax(row[12 + level]);
    }
    return item;
}

std::optional<double> SalesData::unitFactor(const SalesItem& item, const std::string& unit)
{
    if (unit == item.stockUnit)
        return 1.0;
    const QueryResult& found =
        answer("SELECT MD003, MD004 FROM {INVMD} WHERE MD001 = ? AND MD002 = ?", {item.code, unit});
    if (found.rows.empty())
        return std::nullopt;
    const double numerator = storedNumber(found.rows[0][0]);
    const double denominator = storedNumber(found.rows[0][1]);
    if (numerator <= 0 || denominator <= 0)
        return std::nullopt; // a broken conversion row converts nothing rather than dividing by zero
    return numerator / denominator;
}

std::string SalesData::unit(const SalesArgs& args, std::size_t index, const SalesItem& item)
{
    const std::string unit = args.code(index, "unit");
    return unit.empty() ? item.stockUnit : unit;
}

double SalesData::unitFactor(const SalesArgs& args, std::size_t index, const SalesItem& item)
{
    const std::string code = unit(args, index, item);
    const auto factor = unitFactor(item, code);
    if (!factor)
        args.fail(index, "unit", "unit '" + code + "' is not defined for item '" + item.code + "'");
    return *factor;
}

SalesCurrency SalesData::currency(const SalesArgs& args, std::size_t index)
{
    std::string code = args.code(index, "currency");
    if (code.empty())
        code = localCurrency();
    auto found = findCurrency(code);
    if (!found)
        args.fail(index, "currency", "unknown currency '" + code + "'");
    return *found;
}

std::optional<SalesCurrency> SalesData::findCurrency(const std::string& code)
{
    const QueryResult& found = answer(currencySql, {code});
    if (found.rows.empty())
        return std::nullopt;
    return SalesCurrency{code, static_cast<int>(found.rows[0][0].toIntegerOrZero()),
                         static_cast<int>(found.rows[0][1].toIntegerOrZero())};
}

std::optional<double> SalesData::exchangeRate(const std::string& currency, char kind, const std::string& date)
{
    const QueryResult& found = answer(kind == 'O' ? "SELECT MG004 FROM {CMSMG} WHERE MG001 = ? AND MG002 <= ? "
                                                    "ORDER BY MG002 DESC LIMIT 1"
                                                  : "SELECT MG003 FROM {CMSMG} WHERE MG001 = ? AND MG002 <= ? "
                                                    "ORDER BY MG002 DESC LIMIT 1",
                                      {currency, date});
    if (!found.rows.empty() && storedNumber(found.rows[0][0]) > 0)
        return storedNumber(found.rows[0][0]);
    if (currency == localCurrency())
        return 1.0;
    return std::nullopt;
}

} // namespace orvane
