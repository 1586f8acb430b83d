#pragma once
// What each customer's confirmed orders still have to deliver, kept in OPEN_ORDER_AMOUNT by
// triggers on the order tables in the writing transaction, whoever writes: the credit check then
// reads one row per customer however many orders it has open.
//
// An open line is a line not closed (TD016 "N") with more ordered than delivered; it counts its net
// amount and tax for the part not yet delivered, at its order's exchange rate, while its order is
// confirmed (TC027 "Y"). A line whose amount, tax or rate is missing counts nothing. LINES counts the
// open lines summed: a customer whose open lines are all gone has an amount of exactly 0, whatever
// the rounding of the sums before.

#include "server/db/SqlDialect.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

inline constexpr std::string_view openAmountTable = "OPEN_ORDER_AMOUNT";

// The triggers on COPTC and COPTD that keep the amounts.
const std::vector<TableTrigger>& openAmountTriggers();
// The statements that fill the amounts from the orders as they stand, the tables named {TABLE}.
const std::vector<std::string>& openAmountRebuild();

} // namespace orvane
