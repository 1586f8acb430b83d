#include "server/services/SalesData.h"

namespace orvane {

namespace {

bool includesTax(const Variant& flag)
{
    return flag.toString() == "Y";
}

} // namespace

SalesData::SalesData(const MethodCall& call)
    : db_(call.db), reads_(call.reads), source_(call.db, call.login.companyDb, call.reads)
{}

QueryResult SalesData::rows(std::string_view sql, std::vector<Variant> params)
{
    return answer(sql, std::move(params)); // a copy: the kept answer stays for the next caller
}

const QueryResult& SalesData::answer(std::string_view sql, std::vector<Variant> params)
{
    if (reads_ == nullptr) {
        unkept_ = source_.read(sql, params);
        return *unkept_;
    }
    if (const QueryResult* kept = reads_->find(sql, params))
        return *kept;
    SharedResult read = source_.read(sql, params);
    return reads_->keep(sql, std::move(params), std::move(read));
}

void SalesData::readAhead(std::vector<ReusedRun> reads)
{
    if (readsAhead())
        source_.readAhead(std::move(reads));
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

const QueryResult& SalesData::read(ReusedRun read)
{
    return answer(read.sql, std::move(read.params));
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
    // A row whose rate of the kind is 0 (a row of the customs rate alone) leaves the one before it in force.
    const QueryResult& found = answer(kind == 'O' ? "SELECT MG004 FROM {CMSMG} WHERE MG001 = ? AND MG002 <= ? "
                                                    "AND MG004 > 0 ORDER BY MG002 DESC LIMIT 1"
                                                  : "SELECT MG003 FROM {CMSMG} WHERE MG001 = ? AND MG002 <= ? "
                                                    "AND MG003 > 0 ORDER BY MG002 DESC LIMIT 1",
                                      {currency, date});
    if (!found.rows.empty() && storedNumber(found.rows[0][0]) > 0)
        return storedNumber(found.rows[0][0]);
    if (currency == localCurrency())
        return 1.0;
    return std::nullopt;
}

} // namespace orvane
