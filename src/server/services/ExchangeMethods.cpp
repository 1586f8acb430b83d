// "ExchangeRate" and "ChangeTax".
#include "platform/text/Rounding.h"
#include "server/services/SalesData.h"
#include "server/services/SalesMethodGroups.h"

namespace orvane {

namespace {

// [currency, rate kind "I" or "O", date] -> the rate in force on the date.
Variant exchangeRate(const MethodCall& call)
{
    const SalesArgs args("ExchangeRate", call.args, 3, 3);
    SalesData data(call);
    const SalesCurrency currency = data.currency(args, 0);
    const std::string kind = args.code(1, "rate kind");
    if (kind != "I" && kind != "O")
        args.fail(1, "rate kind", "'" + kind + "' is neither I (bank buying) nor O (bank selling)");
    const std::string date = args.date(2, "date");
    const auto rate = data.exchangeRate(currency.code, kind[0], date);
    if (!rate)
        args.fail(2, "date", "no rate of currency '" + currency.code + "' is in force on " + date);
    return *rate;
}

// [price, target tax-included flag, source tax-included flag, currency, tax rate] -> the price
// moved between tax included and excluded, rounded to the currency's unit-price decimals.
Variant changeTax(const MethodCall& call)
{
    const SalesArgs args("ChangeTax", call.args, 5, 5);
    const double price = args.number(0, "price");
    const bool toIncluded = args.yesNo(1, "target tax-included flag") == "Y";
    const bool fromIncluded = args.yesNo(2, "source tax-included flag") == "Y";
    SalesData data(call);
    const SalesCurrency currency = data.currency(args, 3);
    const double rate = taxRate(args, 4);
    return text::roundTo(priceWithTax(price, fromIncluded, toIncluded, rate), currency.priceDecimals);
}

} // namespace

double taxRate(const SalesArgs& args, std::size_t index)
{
    const double rate = args.number(index, "tax rate");
    // A rate is a fraction; 1 or more is a percentage sent by mistake and would multiply prices.
    if (rate < 0 || rate >= 1)
        args.fail(index, "tax rate", "a tax rate is a fraction from 0 to below 1, not " + Variant(rate).toString());
    return rate;
}

void registerExchangeMethods(NamedMethods& methods)
{
    methods.add("ExchangeRate", exchangeRate);
    methods.add("ChangeTax", changeTax);
}

} // namespace orvane
