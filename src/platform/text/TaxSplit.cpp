#include "platform/text/TaxSplit.h"

#include "platform/text/ByteText.h"
#include "platform/text/Rounding.h"

#include <algorithm>
#include <type_traits>

namespace orvane::text {
namespace {

constexpr std::array<const char*, 10> positionNames{
    "transaction currency", "local currency", "tax rate", "tax type", "exchange rate",
    "transaction decimals", "local decimals", "amount",   "quantity", "unit price"};

// Reads the value at a position of the input array, naming the position on failure.
class InputReader {
public:
    explicit InputReader(const VariantArray& array) : array_(array), low_(array.bounds().low) {}

    std::string text(int position) const
    {
        return read(position, [](const Variant& v) { return trim(v.toString()); });
    }
    double number(int position) const
    {
        return read(position, [](const Variant& v) { return v.toFloat(); });
    }
    int decimals(int position) const
    {
        return read(position, [](const Variant& v) {
            const std::int64_t value = v.toInteger();
            return value < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(value, maxDecimals));
        });
    }

private:
    template <typename Read>
    std::invoke_result_t<Read, const Variant&> read(int position, Read readValue) const
    {
        const Variant& value = array_.at(low_ + position);
        try {
            return readValue(value);
        } catch (const ConversionError& error) {
            throw ConversionError("tax split: value " + std::to_string(position) + " (" + positionNames[position] +
                                  "): " + error.what());
        }
    }

    const VariantArray& array_;
    int low_;
};

TaxSplitResult splitSameCurrency(const TaxSplitInput& in, double amount, double divisor)
{
    if (in.taxType == "1") {
        const double tax = roundTo(amount / divisor * in.rate, in.decimals);
        const double net = roundTo(amount - tax, in.decimals);
        return {net, tax, net, tax};
    }
    const double tax = in.taxType == "2" ? roundTo(amount * in.rate, in.decimals) : 0;
    const double net = roundTo(amount, in.decimals);
    return {net, tax, net, tax};
}

// `localAmount` is the rounded local amount of the amount as given; `amount` may be
// the unrounded quantity x price, and then the local tax follows it unrounded too.
TaxSplitResult splitForeignCurrency(const TaxSplitInput& in, double amount, bool usesProduct, double divisor,
                                    double localAmount)
{
    const double localBase = usesProduct ? amount * in.exchangeRate : localAmount;
    if (in.taxType == "1") {
        const double tax = roundTo(amount / divisor * in.rate, in.decimals);
        const double localTax = roundTo(localBase / divisor * in.rate, in.localDecimals);
        return {roundTo(amount - tax, in.decimals), tax, localAmount - localTax, localTax};
    }
    if (in.taxType == "2")
        return {roundTo(amount, in.decimals), roundTo(amount * in.rate, in.decimals), localAmount,
                roundTo(localBase * in.rate, in.localDecimals)};
    return {roundTo(amount, in.decimals), 0, localAmount, 0};
}

} // namespace

TaxSplitResult splitTax(const TaxSplitInput& in)
{
    const double divisor = in.rate + 1 == 0 ? 1 : in.rate + 1;
    // The local amount always comes from the amount as given.
    const double localAmount = roundTo(in.amount * in.exchangeRate, in.localDecimals);
    const bool productMatches =
        in.quantity && in.unitPrice && roundTo(*in.quantity * *in.unitPrice, in.decimals) == in.amount;
    if (in.currency == in.localCurrency)
        return splitSameCurrency(in, productMatches ? *in.quantity * *in.unitPrice : in.amount, divisor);
    const bool usesProduct = productMatches && (in.taxType == "1" || in.taxType == "2");
    return splitForeignCurrency(in, usesProduct ? *in.quantity * *in.unitPrice : in.amount, usesProduct, divisor,
                                localAmount);
}

TaxSplitResult splitTax(const Variant& values)
{
    if (values.isEmpty())
        return {};
    if (!values.isArray() || values.dimensions() != 1)
        throw ConversionError("tax split: the values must be a one-dimensional array, not " +
                              std::string(values.isArray() ? "an array of two dimensions" : typeName(values.type())));
    const VariantArray& array = values.array();
    const int count = array.bounds().count();
    if (count < 8)
        return {};
    const InputReader reader(array);
    TaxSplitInput in;
    in.currency = reader.text(0);
    in.localCurrency = reader.text(1);
    in.rate = reader.number(2);
    in.taxType = reader.text(3);
    in.exchangeRate = reader.number(4);
    in.decimals = reader.decimals(5);
    in.localDecimals = reader.decimals(6);
    in.amount = reader.number(7);
    if (count >= 10) {
        in.quantity = reader.number(8);
        in.unitPrice = reader.number(9);
    }
    return splitTax(in);
}

Variant splitTaxArray(const Variant& values)
{
    const TaxSplitResult result = splitTax(values);
    return Variant::arrayOf({result[0], result[1], result[2], result[3]});
}

} // namespace orvane::text
