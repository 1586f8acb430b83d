#pragma once
// The tax split of a line amount into net amount and tax, in the transaction
// currency and in the local currency, with the decimal rounding of Rounding.h.
// Pure functions, callable from any thread.

#include "platform/variant/Variant.h"

#include <array>
#include <optional>
#include <string>

namespace orvane::text {

// The values of a split, read from the callers' variant array.
struct TaxSplitInput {
    std::string currency;           // transaction currency code
    std::string localCurrency;      // local currency code
    double rate = 0;                // tax rate as a fraction, 0.17 for 17 %
    std::string taxType;            // "1" price includes tax, "2" excludes tax, other: no tax
    double exchangeRate = 0;        // local amount per unit of the transaction currency
    int decimals = 0;               // decimals of transaction amounts
    int localDecimals = 0;          // decimals of local amounts
    double amount = 0;              // line amount in the transaction currency
    std::optional<double> quantity; // with unitPrice: the amount may be taken as quantity x price
    std::optional<double> unitPrice;
};

// Positions of the result.
enum class TaxPart { Net = 0, Tax = 1, LocalNet = 2, LocalTax = 3 };

using TaxSplitResult = std::array<double, 4>;

// Net, tax, local net, local tax. When quantity x price rounded to the decimals
// equals the amount, the unrounded product is split instead, so a price with more
// decimals than the amount does not lose its fraction in the tax.
TaxSplitResult splitTax(const TaxSplitInput& input);

// The split of a one-dimensional variant array (any lower bound) holding, in order:
// currency, local currency, rate, tax type, exchange rate, decimals, local decimals,
// amount and optionally quantity and unit price (both used only when all 10 values
// are there). An empty value or an array of fewer than 8 values gives four zeros.
// Currencies and tax type are compared as trimmed text. Raises ConversionError,
// naming the position, for a value of the wrong kind (Null, text that is not a
// number) and for a value that is not an array or an array of two dimensions.
TaxSplitResult splitTax(const Variant& values);

// The same split as a variant array 0..3 of floats.
Variant splitTaxArray(const Variant& values);

} // namespace orvane::text
