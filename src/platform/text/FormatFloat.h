#pragma once
// Number display patterns ("#,##0.#######", "0.00", "#,##0.00;(#,##0.00);'-'"), as
// the field layer uses them for display and edit formats.
//
// A pattern has up to three sections separated by ";": positive values, negative
// values, zero. A missing or empty negative section uses the first one with a "-"
// in front; a missing or empty zero section uses the first one. A value that
// rounds to zero at the section's decimals is shown with the zero section, without
// sign. In a section:
//   0  a digit, shown even when it is a leading or trailing zero
//   #  a digit, shown only when significant
//   .  the decimal point (shown only when decimals follow it)
//   ,  anywhere: group the integer digits by thousands with ","
//   "text" or 'text'  literal text; any other character is literal too
// Integer digits beyond the placeholders are all shown. The value is rounded to
// the number of decimal placeholders with the tie rule of roundTo (halfway away
// from zero). Scientific notation ("E+00") is not supported; "E" is a literal.
// An empty pattern gives the 15-digit general text; NaN and infinities give
// "NAN", "INF", "-INF". Pure function, callable from any thread.

#include <string>
#include <string_view>

namespace orvane::text {

std::string formatFloat(std::string_view pattern, double value);

} // namespace orvane::text
