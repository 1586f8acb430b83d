// Demonstration prices and rates: a second dated rate of the yen, a quantity price of a
// customer, and the price list every customer without a price of its own is charged from.
// Nothing here expires: each row is in force from its date on.
#include "server/schema/SeedTable.h"

namespace orvane {

std::vector<SeedTable> demoPriceData()
{
    return {
        {"CMSMG", {"MG001", "MG002", "MG003", "MG004", "MG005"}, {{"JPY", "20250101", 0.047, 0.048, 0.0475}}},
        {"COPMB",
         {"MB001", "MB002", "MB003", "MB004", "MB005", "MB006", "MB007", "MB008", "MB009"},
         {{"C001", "A100", "PCS", "RMB", "20240101", 92.0, "N", 100.0, ""}}},
        {"COPMC",
         {"MC001", "MC002", "MC003", "MC004", "MC005", "MC006", "MC007", "MC008"},
         {{"A100", "PCS", "RMB", "20240101", 0.0, 98.0, "N", ""},
          {"A100", "PCS", "RMB", "20240101", 200.0, 96.0, "N", ""},
          {"A100", "PCS", "USD", "20240101", 0.0, 14.0, "N", ""},
          {"A200", "PCS", "RMB", "20240101", 0.0, 11.5, "N", ""},
          {"A300", "BOX", "RMB", "20240101", 0.0, 67.8, "Y", ""},
          {"S100", "SET", "RMB", "20240101", 0.0, 145.0, "N", ""}}},
    };
}

} // namespace orvane
