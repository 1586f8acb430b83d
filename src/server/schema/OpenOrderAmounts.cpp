#include "server/schema/OpenOrderAmounts.h"

namespace orvane {

namespace {

// Whether the line (a row name: D, OLD, NEW) is open.
std::string isOpen(const std::string& line)
{
    return line + ".TD016 = 'N' AND " + line + ".TD008 > 0 AND COALESCE(" + line + ".TD009, 0) < " + line + ".TD008";
}

// What the open line still has to deliver, at the rate of its order (a row name: C, OLD, NEW).
std::string openAmount(const std::string& line, const std::string& order)
{
    return "COALESCE((" + line + ".TD038 + " + line + ".TD039) * (" + line + ".TD008 - COALESCE(" + line +
           ".TD009, 0)) / " + line + ".TD008 * " + order + ".TC009, 0)";
}

// Adds amounts and counts of open lines to their customers' rows; a row comes with its first line.
std::string addToCustomers(const std::string& select)
{
    // The row's own columns named with the table: SQLite takes no alias for it inside a trigger.
    const std::string table = "{" + std::string(openAmountTable) + "}";
    return "INSERT INTO " + table + " (CUSTOMER, AMOUNT, LINES) " + select +
           " ON CONFLICT (CUSTOMER) DO UPDATE SET AMOUNT = CASE WHEN " + table + ".LINES + excluded.LINES = 0 THEN 0 " +
           "ELSE " + table + ".AMOUNT + excluded.AMOUNT END, LINES = " + table + ".LINES + excluded.LINES";
}

// Adds (sign "") or takes away (sign "-") the line's part, its order as it stands.
std::string countLine(const std::string& line, const std::string& sign, const std::string& also = {})
{
    return addToCustomers("SELECT C.TC004, " + sign + openAmount(line, "C") + ", " + sign +
                          "1 FROM {COPTC} C WHERE C.TC001 = " + line + ".TD001 AND C.TC002 = " + line +
                          ".TD002 AND C.TC027 = 'Y' AND " + isOpen(line) + also);
}

// Adds or takes away the parts of all the order's lines, the order's values as `order` holds them
// (OLD, NEW); its lines still carry its old keys.
std::string countOrder(const std::string& order, const std::string& sign)
{
    return addToCustomers("SELECT " + order + ".TC004, " + sign + "SUM(" + openAmount("D", order) + "), " + sign +
                          "COUNT(*) FROM {COPTD} D WHERE D.TD001 = OLD.TC001 AND D.TD002 = OLD.TC002 AND " + order +
                          ".TC027 = 'Y' AND " + isOpen("D") + " GROUP BY D.TD001");
}

std::string orderOf(const std::string& line)
{
    return "FROM {COPTC} WHERE TC001 = " + line + ".TD001 AND TC002 = " + line + ".TD002";
}

} // namespace

const std::vector<TableTrigger>& openAmountTriggers()
{
    // A line moved with its order's keys (ON UPDATE CASCADE) finds no order under its old keys: its
    // part stays where it was, and it is not counted again under the new ones.
    static const std::string notCarried =
        " AND (NEW.TD001 = OLD.TD001 AND NEW.TD002 = OLD.TD002 OR EXISTS "
        "(SELECT 1 FROM {COPTC} P WHERE P.TC001 = OLD.TD001 AND P.TC002 = OLD.TD002))";
    // The order's triggers run before its write, while its lines still carry its old keys and before
    // a deleted order's lines go with it (their own triggers then find no order and count nothing).
    static const std::vector<TableTrigger> triggers{
        {"OPEN_AMOUNT_LINE_ADDED", "COPTD", "INSERT", false, {}, {orderOf("NEW")}, {countLine("NEW", "")}},
        {"OPEN_AMOUNT_LINE_CHANGED",
         "COPTD",
         "UPDATE",
         false,
         {"TD001", "TD002", "TD008", "TD009", "TD016", "TD038", "TD039"},
         {orderOf("OLD"), orderOf("NEW")},
         {countLine("OLD", "-"), countLine("NEW", "", notCarried)}},
        {"OPEN_AMOUNT_LINE_REMOVED", "COPTD", "DELETE", false, {}, {orderOf("OLD")}, {countLine("OLD", "-")}},
        {"OPEN_AMOUNT_ORDER_CHANGED",
         "COPTC",
         "UPDATE",
         true,
         {"TC004", "TC009", "TC027"},
         {},
         {countOrder("OLD", "-"), countOrder("NEW", "")}},
        {"OPEN_AMOUNT_ORDER_REMOVED", "COPTC", "DELETE", true, {}, {}, {countOrder("OLD", "-")}},
        {"OPEN_AMOUNT_ORDERS_EMPTIED", "COPTC", "TRUNCATE", false, {}, {}, openAmountRebuild()},
        {"OPEN_AMOUNT_LINES_EMPTIED", "COPTD", "TRUNCATE", false, {}, {}, openAmountRebuild()},
    };
    return triggers;
}

const std::vector<std::string>& openAmountRebuild()
{
    static const std::vector<std::string> statements{
        "DELETE FROM {" + std::string(openAmountTable) + "}",
        "INSERT INTO {" + std::string(openAmountTable) + "} (CUSTOMER, AMOUNT, LINES) SELECT C.TC004, SUM(" +
            openAmount("D", "C") + "), COUNT(*) FROM {COPTC} C JOIN {COPTD} D ON D.TD001 = C.TC001 AND D.TD002 = " +
            "C.TC002 WHERE C.TC027 = 'Y' AND " + isOpen("D") + " GROUP BY C.TC004"};
    return statements;
}

} // namespace orvane
