#pragma once
// Decimal rounding of amounts, quantities and rates.
//
// A value is first written with 15 significant digits (the text the system shows
// for a float), and that decimal text is brought to the number of decimals. A text
// exactly halfway between two results rounds away from zero: 2.675 gives 2.68 and
// -2.675 gives -2.68, as clerks and auditors expect of money, where binary
// formatting of the same double would give 2.67. A result of zero carries no
// sign. Pure functions, callable from any thread.

#include <string>

namespace orvane::text {

// Decimals used when a negative count is given, as printf's omitted precision.
inline constexpr int defaultDecimals = 6;
// Decimals beyond this give no further digits of a double; larger counts are cut to it.
inline constexpr int maxDecimals = 350;

// `value` rounded to `decimals` places (a negative count means 6). NaN and
// infinities are returned as they are.
double roundTo(double value, int decimals);

// The "%.*f" text of `value` with the rounding above: "2.68", "-0.50", "3" for
// 0 decimals. NaN and infinities give "NAN", "INF", "-INF".
std::string fixedText(double value, int decimals);

} // namespace orvane::text
