// "CopUnitPrice" and "PriceList": the price of an item for a customer, in the order's unit,
// currency and tax type. The chain: the customer's own price (COPMB), then the price list
// (COPMC), then the item's standard price (INVMB.MB023). A price row is in force on the
// date (from MB005/MC004, until MB009/MC008 or open) and for the quantity (the row with the
// largest minimum quantity not above it); a row for the unit itself wins over one for the
// stock unit, which is converted by the unit factor. The price window also shows, beside a price
// at the quantity, the price of the same rows for the smallest quantity they price.
#include "platform/text/Rounding.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"
#include "server/services/ServiceError.h"
#include "server/services/TwoUnitNotation.h"

#include <cmath>
#include <optional>

namespace orvane {

namespace {

struct Quote {
    double price = 0;
    bool includesTax = false;
    bool perStockUnit = false; // a row of the stock unit, converted to the order's unit
};

// Where a customer's price came from, as the price window shows it.
enum class PriceSource { Customer = 1, PriceList = 2, Standard = 3 };

// A price in the order's terms and the rows it came from. An item price, kept in the local
// currency, has none when no rate of the order's currency is in force on the date.
struct SourcedPrice {
    std::optional<double> price;
    PriceSource source = PriceSource::Standard;
    bool perStockUnit = false;
};

constexpr const char* customerPriceSql =
    "SELECT MB006, MB007 FROM {COPMB} WHERE MB001 = ? AND MB002 = ? AND MB003 = ? AND MB004 = ? AND MB005 <= ? "
    "AND (MB009 = '' OR MB009 >= ?) AND MB008 <= ? ORDER BY MB008 DESC, MB005 DESC LIMIT 1";
constexpr const char* listPriceSql =
    "SELECT MC006, MC007 FROM {COPMC} WHERE MC001 = ? AND MC002 = ? AND MC003 = ? AND MC004 <= ? "
    "AND (MC008 = '' OR MC008 >= ?) AND MC005 <= ? ORDER BY MC005 DESC, MC004 DESC LIMIT 1";
// The same rows for the smallest quantity they price.
constexpr const char* customerFirstBreakSql =
    "SELECT MB006, MB007 FROM {COPMB} WHERE MB001 = ? AND MB002 = ? AND MB003 = ? AND MB004 = ? AND MB005 <= ? "
    "AND (MB009 = '' OR MB009 >= ?) ORDER BY MB008, MB005 DESC LIMIT 1";
constexpr const char* listFirstBreakSql =
    "SELECT MC006, MC007 FROM {COPMC} WHERE MC001 = ? AND MC002 = ? AND MC003 = ? AND MC004 <= ? "
    "AND (MC008 = '' OR MC008 >= ?) ORDER BY MC005, MC004 DESC LIMIT 1";

// A table of price rows: its row at a quantity, and its row for the smallest quantity.
struct PriceRows {
    const char* atQuantity;
    const char* firstBreak;
};
constexpr PriceRows customerRows{customerPriceSql, customerFirstBreakSql};
constexpr PriceRows listRows{listPriceSql, listFirstBreakSql};

// The quantity a break is compared with: its size, so a line taking goods back (negative) is
// priced as the same quantity sold, and the decimal it stands for: a quantity converted between
// units or out of the two-unit notation comes out a hair off in binary (9.2 units of 25 are
// 229.99999999999997), which would miss a break at exactly that quantity.
double breakQuantity(double quantity)
{
    return text::roundTo(std::abs(quantity), text::defaultDecimals);
}

class PriceChain {
public:
    // Elements: customer, item, unit, currency, tax type, date, quantity, tax rate at the
    // positions given (the two methods order them differently).
    struct Positions {
        std::size_t customer, item, unit, currency, taxType, date, quantity, rate;
    };

    // writtenQuantity: the quantity is the line's as written (in the two-unit notation of its
    // unit), not one already made single.
    PriceChain(SalesData& data, const SalesArgs& args, const Positions& at, bool writtenQuantity)
        : data_(data), args_(args), at_(at), item_(data.item(args, at.item)), unit_(data.unit(args, at.unit, item_)),
          factor_(data.unitFactor(args, at.unit, item_)), currency_(data.currency(args, at.currency)),
          date_(args.date(at.date, "date")), quantity_(quantity(at.quantity, writtenQuantity)),
          rate_(taxRate(args, at.rate)), orderIncludesTax_(taxType() == "1"),
          customer_(args.code(at.customer, "customer"))
    {}

    // The customer's price at the quantity and its source.
    SourcedPrice customerPrice()
    {
        if (auto own = customerQuote())
            return sourced(*own, PriceSource::Customer);
        return standardPrice();
    }
    // The price at the quantity without the customer's own: the price list, else the item's
    // standard price.
    SourcedPrice standardPrice()
    {
        if (auto listed = quote(listRows, {}))
            return sourced(*listed, PriceSource::PriceList);
        return {itemPrice({item_.standardPrice, false}), PriceSource::Standard};
    }
    // The price before the quantity's discount: the rows a price came from, for the smallest
    // quantity they price (never a price of another source, whose rows may start lower).
    std::optional<double> firstBreakPrice(const SourcedPrice& found)
    {
        if (found.source == PriceSource::Standard)
            return found.price; // the item's price has no quantities
        const std::vector<Variant> who =
            found.source == PriceSource::Customer ? std::vector<Variant>{customer_} : std::vector<Variant>{};
        const auto first =
            quoteIn(found.source == PriceSource::Customer ? customerRows : listRows, who, found.perStockUnit, false);
        return first ? inOrderTerms(*first) : found.price;
    }
    std::optional<double> retailPrice() { return itemPrice({item_.retailPrice, item_.retailIncludesTax}); }
    std::optional<double> levelPrice(std::size_t level)
    {
        return itemPrice({item_.levelPrices[level], item_.levelIncludesTax[level]});
    }
    // A price that must be had: one without a rate is refused, naming the currency and the date.
    double required(const std::optional<double>& price) const
    {
        if (!price)
            args_.fail(at_.currency, "currency",
                       "no rate of currency '" + currency_.code + "' is in force on " + date_ +
                           " to convert the item's price");
        return *price;
    }

private:
    double quantity(std::size_t index, bool written)
    {
        const double value = args_.number(index, "quantity");
        return written ? TwoUnitNotation(data_, item_, unit_).single(value) : value;
    }

    std::string taxType() const
    {
        std::string type = args_.code(at_.taxType, "tax type");
        if (type != "1" && type != "2" && type != "3" && type != "4" && type != "9")
            args_.fail(at_.taxType, "tax type", "'" + type + "' is not a tax type (1, 2, 3, 4 or 9)");
        return type;
    }

    SourcedPrice sourced(const Quote& quote, PriceSource source) const
    {
        return {inOrderTerms(quote), source, quote.perStockUnit};
    }

    // A customer code that names no customer (an order may be entered for one, with a
    // warning) has no prices of its own.
    std::optional<Quote> customerQuote()
    {
        if (customer_.empty())
            return std::nullopt;
        return quote(customerRows, {customer_});
    }

    // The row in force at the quantity for the unit, else for the stock unit converted to the unit.
    std::optional<Quote> quote(const PriceRows& rows, const std::vector<Variant>& who)
    {
        if (auto own = quoteIn(rows, who, false, true))
            return own;
        if (unit_ == item_.stockUnit)
            return std::nullopt;
        return quoteIn(rows, who, true, true);
    }
    // The row in force of the unit or of the stock unit (converted to the unit): at the
    // quantity, or for the smallest quantity.
    std::optional<Quote> quoteIn(const PriceRows& rows, std::vector<Variant> params, bool perStockUnit, bool atQuantity)
    {
        params.insert(params.end(), {item_.code, perStockUnit ? item_.stockUnit : unit_, currency_.code, date_, date_});
        if (atQuantity)
            params.emplace_back(breakQuantity(perStockUnit ? quantity_ * factor_ : quantity_));
        const QueryResult found = data_.rows(atQuantity ? rows.atQuantity : rows.firstBreak, std::move(params));
        if (found.rows.empty())
            return std::nullopt;
        const double price = storedNumber(found.rows[0][0]) * (perStockUnit ? factor_ : 1);
        return Quote{price, found.rows[0][1].toString() == "Y", perStockUnit};
    }

    // An item price: per stock unit in the local currency; none without a rate of the order's
    // currency on the date.
    std::optional<double> itemPrice(Quote quote)
    {
        quote.price *= factor_;
        if (currency_.code != data_.localCurrency()) {
            const auto rate = data_.exchangeRate(currency_.code, 'I', date_);
            if (!rate)
                return std::nullopt;
            quote.price /= *rate;
        }
        return inOrderTerms(quote);
    }

    double inOrderTerms(const Quote& quote) const
    {
        return text::roundTo(priceWithTax(quote.price, quote.includesTax, orderIncludesTax_, rate_),
                             currency_.priceDecimals);
    }

    SalesData& data_;
    const SalesArgs& args_;
    Positions at_;
    SalesItem item_;
    std::string unit_;
    double factor_;
    SalesCurrency currency_;
    std::string date_;
    double quantity_;
    double rate_;
    bool orderIncludesTax_;
    std::string customer_;
};

// What a price of customer, item, unit and currency given reads first, known from the elements
// alone: the item, the unit mode, the local currency, the order's currency and the customer's
// own price at the quantity as written (single in the plain unit mode). A guess that turns out
// wrong costs its read and nothing else; elements that do not read leave it to the chain, which
// refuses them in its own order.
std::vector<ReusedRun> priceReads(const SalesArgs& args)
{
    try {
        const std::string customer = args.code(0, "customer");
        const std::string item = args.code(1, "item");
        const std::string unit = args.code(2, "unit");
        const std::string currency = args.code(3, "currency");
        std::vector<ReusedRun> reads{SalesData::itemRead(item), SalesData::systemParameterRead("SYS024"),
                                     SalesData::systemParameterRead("SYS003")};
        if (!currency.empty())
            reads.push_back(SalesData::currencyRead(currency));
        if (!customer.empty() && !unit.empty() && !currency.empty()) {
            const std::string date = args.date(5, "date");
            reads.push_back({customerPriceSql,
                             {customer, item, unit, currency, date, date, breakQuantity(args.number(6, "quantity"))}});
        }
        return reads;
    } catch (const ServiceError&) {
        return {}; // an element the chain refuses
    }
}

// [customer, item, unit, currency, tax type, date, quantity, tax rate] -> the unit price.
Variant copUnitPrice(const MethodCall& call)
{
    const SalesArgs args("CopUnitPrice", call.args, 8, 8);
    if (args.code(1, "item").empty())
        return 0.0; // a line without an item has nothing to price yet
    KeptReads ownReads;
    SalesData data(keepingReads(call, ownReads));
    if (data.readsAhead())
        data.readAhead(priceReads(args));
    PriceChain chain(data, args, {0, 1, 2, 3, 4, 5, 6, 7}, true);
    return chain.required(chain.customerPrice().price);
}

std::string sourceCode(PriceSource source)
{
    return std::to_string(static_cast<int>(source));
}

// A figure of the price window: null for a price that has no rate to reach the order's currency.
Variant figure(const std::optional<double>& price)
{
    return price ? Variant(*price) : Variant::null();
}

// [customer, item, unit, currency, date, tax type, tax rate, quantity] -> the 13 figures of
// the price window (docs/sales-methods.md).
Variant priceList(const MethodCall& call)
{
    const SalesArgs args("PriceList", call.args, 8, 8);
    SalesData data(call);
    PriceChain chain(data, args, {0, 1, 2, 3, 5, 4, 7, 6}, false);
    Variant answer = Variant::createArray(0, 12);
    int at = 0;
    for (const bool customer : {true, false}) {
        const SourcedPrice atQuantity = customer ? chain.customerPrice() : chain.standardPrice();
        answer[at++] = sourceCode(atQuantity.source);
        answer[at++] = figure(chain.firstBreakPrice(atQuantity));
        answer[at++] = figure(atQuantity.price);
    }
    answer[at++] = figure(chain.retailPrice());
    for (std::size_t level = 0; level < 6; ++level)
        answer[at++] = figure(chain.levelPrice(level));
    return answer;
}

} // namespace

std::vector<ReusedRun> copUnitPriceReads(const Variant& elements)
{
    try {
        return priceReads(SalesArgs("CopUnitPrice", elements, 8, 8));
    } catch (const ServiceError&) {
        return {};
    }
}

void registerPriceMethods(NamedMethods& methods)
{
    methods.add("CopUnitPrice", copUnitPrice);
    methods.add("PriceList", priceList);
}

} // namespace orvane
