// The inquiry lists of the order window's query menu, each keyed by the order shown
// (its type and number): estimated profit in the local currency ("62"), the customer's quotations ("63", on
// COPTC and COPTA alike), sales status by line ("64") with the deliveries of a line
// ("65", or "66" without package quantities and prices), the deposits of the customer's
// orders ("67", which link to the order program) and the purchase or manufacturing need
// of each line ("68").
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

const std::vector<std::string> orderKeys{"order type", "order number"};
const std::vector<std::string> lineKeys{"order type", "order number", "order line"};

// A hidden column whose value tells the lookup window where a double-click leads: entries
// "program,target field,field of this list,caption" separated by ";".
LookupColumn links(const std::string& entries)
{
    return {"'" + entries + "'", "", "", "LINKS"};
}

void addQuotations(std::vector<LookupEntry>& entries, const std::string& table)
{
    entries.push_back(entry(table, "63", LookupShape::Data, "quotations of the order's customer", orderKeys,
                            {col("A.TA001", "单别", "C"), col("A.TA002", "单号", "C"), col("A.TA003", "报价日期", "D"),
                             col("A.TA008", "币种"), col("A.TA032", "报价金额"), col("A.TA027", "已确认", "L")},
                            "{COPTA} A JOIN {COPTC} C ON C.TC004 = A.TA004 WHERE C.TC001 = ? AND C.TC002 = ? "
                            "ORDER BY A.TA001, A.TA002"));
}

void addSalesStatus(std::vector<LookupEntry>& entries)
{
    entries.push_back(entry("COPTC", "64", LookupShape::Data, "sales status of the order's lines", orderKeys,
                            {col("TD003", "序号", "C"), col("TD004", "品号"), col("TD005", "品名"),
                             col("TD013", "预交日", "D"), col("TD008", "订单数量"), col("TD009", "已交数量"),
                             col("TD008 - TD009", "未交数量", "", "TD008C"), col("TD016", "结案", "L")},
                            "{COPTD} WHERE TD001 = ? AND TD002 = ? ORDER BY TD003"));
    const std::string deliveries = "{COPTF} WHERE TF001 = ? AND TF002 = ? AND TF003 = ? ORDER BY TF005, TF004";
    entries.push_back(
        entry("COPTC", "65", LookupShape::Data, "deliveries of an order line", lineKeys,
              {col("TF004", "交货单号", "C"), col("TF005", "交货日期", "D"), col("TF006", "仓库"),
               col("TF007", "交货数量"), col("TF008", "交货包装数量"), col("TF009", "单价"), col("TF010", "金额")},
              deliveries));
    entries.push_back(entry(
        "COPTC", "66", LookupShape::Data, "deliveries of an order line without package quantities and prices", lineKeys,
        {col("TF004", "交货单号", "C"), col("TF005", "交货日期", "D"), col("TF006", "仓库"), col("TF007", "交货数量")},
        deliveries));
}

// Stock units in one of the line D's units, as the server's unit conversions read INVMD (joined as U
// on the item and the line's unit, with the item as I): none when the unit has no sound conversion,
// so that the figures built on it stay empty rather than wrong.
const std::string lineUnitJoin = " LEFT JOIN {INVMD} U ON U.MD001 = D.TD004 AND U.MD002 = D.TD010";
const std::string stockUnitsPerLineUnit = "CASE WHEN D.TD010 = '' OR D.TD010 = I.MB004 THEN 1 "
                                          "WHEN U.MD003 > 0 AND U.MD004 > 0 THEN U.MD003 / U.MD004 END";

} // namespace

void addOrderInquiries(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    // Amounts in the local currency (SYS003, key 0): the order's currency at its exchange rate,
    // against the items' standard costs, which are local and per stock unit: the unit cost shown is
    // that of the line's unit.
    entries.push_back(
        entry("COPTC", "62", Data, "estimated profit of the order's lines in the local currency",
              {"local currency SYS003", "order type", "order number"},
              {col("P.TD003", "序号", "C"), col("P.TD004", "品号"), col("P.TD005", "品名"), col("P.TD008", "数量"),
               col("P.TD010", "单位"), col("P.NET", "本币未税金额", "", "NET"), col("P.COST", "单位成本", "", "COST"),
               col("P.TD008 * P.COST", "预估成本", "", "TOTALCOST"),
               col("P.NET - P.TD008 * P.COST", "预估毛利", "", "PROFIT"),
               col("CASE WHEN P.NET = 0 THEN 0 ELSE (P.NET - P.TD008 * P.COST) / P.NET END", "毛利率", "%", "RATE")},
              "(SELECT D.TD003, D.TD004, D.TD005, D.TD008, D.TD010, D.TD038 * CASE WHEN C.TC008 = ? THEN 1 ELSE "
              "C.TC009 END AS NET, COALESCE(I.MB024, 0) * " +
                  stockUnitsPerLineUnit +
                  " AS COST FROM {COPTD} D JOIN {COPTC} C ON C.TC001 = D.TD001 AND C.TC002 = D.TD002 LEFT JOIN "
                  "{INVMB} I ON I.MB001 = D.TD004" +
                  lineUnitJoin + " WHERE D.TD001 = ? AND D.TD002 = ?) P ORDER BY P.TD003"));
    addQuotations(entries, "COPTC");
    addQuotations(entries, "COPTA");
    addSalesStatus(entries);
    entries.push_back(entry(
        "COPTC", "67", Data, "deposits of the orders of the order's customer", orderKeys,
        {col("C.TC001", "单别", "C"), col("C.TC002", "单号", "C"), col("C.TC039", "单据日期", "D"),
         col("C.TC008", "币种"), col("C.TC029 + C.TC030", "订单总额", "", "TOTAL"), col("C.TC045", "订金比率", "%"),
         col("(C.TC029 + C.TC030) * C.TC045", "订金金额", "", "DEPOSIT"),
         links("TAVI52,TC001,TC001,客户订单;TAVI52,TC002,TC002,客户订单")},
        "{COPTC} C JOIN {COPTC} O ON O.TC004 = C.TC004 WHERE O.TC001 = ? AND O.TC002 = ? ORDER BY C.TC001, C.TC002"));
    // The open quantity in stock units, as the stock is kept.
    entries.push_back(entry(
        "COPTC", "68", Data, "purchase or manufacturing need of the order's lines in stock units", orderKeys,
        {col("N.TD003", "序号", "C"), col("N.TD004", "品号"), col("N.TD005", "品名"), col("N.MB025", "品号属性"),
         col("N.OPEN_QTY", "未交数量", "", "OPEN"), col("N.STOCK_QTY", "库存数量", "", "STOCK"),
         col("CASE WHEN N.OPEN_QTY <= N.STOCK_QTY THEN 0 ELSE N.OPEN_QTY - N.STOCK_QTY END", "需采制数量", "", "NEED")},
        "(SELECT D.TD003, D.TD004, D.TD005, I.MB025, (D.TD008 - D.TD009) * " + stockUnitsPerLineUnit +
            " AS OPEN_QTY, COALESCE(S.QTY, 0) AS STOCK_QTY FROM {COPTD} D LEFT JOIN {INVMB} I ON I.MB001 = D.TD004" +
            lineUnitJoin +
            " LEFT JOIN (SELECT MC001, SUM(MC003) AS QTY FROM {INVMC} GROUP BY MC001) S ON S.MC001 = D.TD004 "
            "WHERE D.TD001 = ? AND D.TD002 = ?) N ORDER BY N.TD003"));
}

} // namespace orvane::lookup
