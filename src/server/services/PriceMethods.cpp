// "CopUnitPrice" and "PriceList": the price of an item for a customer, in the order's unit,
// currency and tax type. The chain: the customer's own price (COPMB), then the price list
// (COPMC), then the item's standard price (INVMB.MB023). A price row is in force on the
// date (from MB005/MC004, until MB009/MC008 or open) and for the quantity (the row with the
// largest minimum quantity not above it); a row for the unit itself wins over one for the
// stock unit, which is converted by the unit factor.
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
};

// Where a customer's price came from, as the price window shows it.
enum class PriceSource { Customer = 1, PriceList = 2, Standard = 3 };

constexpr const char* customerPriceSql =
    "SELECT MB006, MB007 FROM {COPMB} WHERE MB001 = ? AND MB002 = ? AND MB003 = ? AND MB004 = ? AND MB005 <= ? "
    "AND (MB009 = '' OR MB009 >= ?) AND MB008 <= ? ORDER BY MB008 DESC, MB005 DESC LIMIT 1";
constexpr const char* listPriceSql =
    "SELECT MC006, MC007 FROM {COPMC} WHERE MC001 = ? AND MC002 = ? AND MC003 = ? AND MC004 <= ? "
    "AND (MC008 = '' OR MC008 >= ?) AND MC005 <= ? ORDER BY MC005 DESC, MC004 DESC LIMIT 1";

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

    // The customer's price at the quantity (or the smallest quantity) and its source.
    std::pair<double, PriceSource> customerPrice(bool atQuantity)
    {
        if (auto own = customerQuote(atQuantity))
            return {inOrderTerms(*own), PriceSource::Customer};
        return standardPrice(atQuantity);
    }
    // The price without the customer's own: the price list, else the item's standard price.
    std::pair<double, PriceSource> standardPrice(bool atQuantity)
    {
        if (auto listed = quote(listPriceSql, {}, atQuantity))
            return {inOrderTerms(*listed), PriceSource::PriceList};
        return {fromItem({item_.standardPrice, false}), PriceSource::Standard};
    }
    double retailPrice() { return fromItem({item_.retailPrice, item_.retailIncludesTax}); }
    double levelPrice(std::size_t level) { return fromItem({item_.levelPrices[level], item_.levelIncludesTax[level]}); }

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

    // A customer code that names no customer (an order may be entered for one, with a
    // warning) has no prices of its own.
    std::optional<Quote> customerQuote(bool atQuantity)
    {
        if (customer_.empty())
            return std::nullopt;
        return quote(customerPriceSql, {customer_}, atQuantity);
    }

    // The row in force for the unit, else for the stock unit converted to the unit.
    std::optional<Quote> quote(const char* sql, std::vector<Variant> who, bool atQuantity)
    {
        if (auto own = quoteFor(sql, who, unit_, atQuantity ? quantity_ : 0))
            return own;
        if (unit_ == item_.stockUnit)
            return std::nullopt;
        auto perStockUnit = quoteFor(sql, who, item_.stockUnit, atQuantity ? quantity_ * factor_ : 0);
        if (perStockUnit)
            perStockUnit->price *= factor_;
        return perStockUnit;
    }
    std::optional<Quote> quoteFor(const char* sql, std::vector<Variant> params, const std::string& unit,
                                  double quantity)
    {
        params.insert(params.end(), {item_.code, unit, currency_.code, date_, date_, breakQuantity(quantity)});
        const QueryResult found = data_.rows(sql, std::move(params));
        if (found.rows.empty())
            return std::nullopt;
        return Quote{storedNumber(found.rows[0][0]), found.rows[0][1].toString() == "Y"};
    }

    // An item price: per stock unit in the local currency.
    double fromItem(Quote quote)
    {
        quote.price *= factor_;
        if (currency_.code != data_.localCurrency()) {
            const auto rate = data_.exchangeRate(currency_.code, 'I', date_);
            if (!rate)
                args_.fail(at_.currency, "currency",
                           "no rate of currency '" + currency_.code + "' is in force on " + date_ +
                               " to convert the item's price");
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
    return chain.customerPrice(true).first;
}

std::string sourceCode(PriceSource source)
{
    return std::to_string(static_cast<int>(source));
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
        const auto base = customer ? chain.customerPrice(false) : chain.standardPrice(false);
        const auto atQuantity = customer ? chain.customerPrice(true) : chain.standardPrice(true);
        answer[at++] = sourceCode(atQuantity.second);
        answer[at++] = base.first;
        answer[at++] = atQuantity.first;
    }
    answer[at++] = chain.retailPrice();
    for (std::size_t level = 0; level < 6; ++level)
        answer[at++] = chain.levelPrice(level);
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
