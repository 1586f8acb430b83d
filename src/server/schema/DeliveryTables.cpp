// Deliveries of order lines: what the sales-status list of the lookup window shows under
// each line of an order.
#include "server/schema/Tables.h"

namespace orvane {

void addDeliveryTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back({"COPTF",
                      TableScope::Company,
                      "deliveries of order lines",
                      {
                          text("TF001", 4, "order type", "GetF2Data COPTC 65, 66 key"),
                          text("TF002", 11, "order number", "GetF2Data COPTC 65, 66 key"),
                          text("TF003", 4, "order line", "GetF2Data COPTC 65, 66 key"),
                          text("TF004", 11, "delivery note number", "GetF2Data COPTC 65, 66"),
                          text("TF005", 8, "delivery date YYYYMMDD", "GetF2Data COPTC 65, 66"),
                          text("TF006", 10, "warehouse (CMSMC)", "GetF2Data COPTC 65, 66"),
                          number("TF007", "quantity delivered", "GetF2Data COPTC 65, 66"),
                          number("TF008", "package quantity delivered", "GetF2Data COPTC 65"),
                          number("TF009", "unit price", "GetF2Data COPTC 65"),
                          number("TF010", "amount", "GetF2Data COPTC 65"),
                      },
                      {"TF001", "TF002", "TF003", "TF004"},
                      {},
                      {{"COPTD", {"TF001", "TF002", "TF003"}, {"TD001", "TD002", "TD003"}}}});
}

} // namespace orvane
