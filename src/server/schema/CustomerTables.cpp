// Customers and what hangs on them: prices and the price list, addresses, forecasts, customer item
// numbers, credit settings, shipping marks and trade-qualification scopes.
#include "server/schema/Tables.h"

namespace orvane {

namespace {

TableDef customers()
{
    using namespace column;
    return {"COPMA",
            TableScope::Company,
            "customers; names of department, salesperson, agent, broker, inspector, bank and mark are joined",
            {
                text("MA001", 10, "customer code", "01, 02, 08, 09 key; 61, 62:0"),
                text("MA002", 20, "short name", "01:0; 08:1; 61, 62"),
                text("MA003", 72, "full name", "61, 62"),
                text("MA004", 30, "contact", "08:9"),
                text("MA005", 6, "department (CMSME)", "08:2"),
                text("MA006", 10, "salesperson (CMSMK)", "08:3"),
                text("MA007", 4, "currency (CMSMF)", "08:4"),
                text("MA008", 16, "price note", "08:5"),
                text("MA009", 6, "payment-term code (CMSNA kind 2)", "08:6"),
                text("MA010", 72, "delivery address", "08:7"),
                text("MA011", 72, "delivery address 2", "08:8"),
                text("MA012", 10, "agent (COPMA)", "08:10"),
                text("MA013", 10, "customs broker (PURMA)", "08:11"),
                text("MA014", 10, "inspection company (PURMA)", "08:12"),
                number("MA015", "commission rate, a fraction", "08:13"),
                text("MA016", 1, "tax type: 1 included, 2 excluded, 3 zero rate, 4 exempt, 9 none", "08:14"),
                text("MA017", 1, "shipping mode: 1 land, 2 sea, 3 air", "08:15"),
                text("MA018", 20, "destination", "08:16"),
                text("MA019", 10, "bank (CMSMO)", "08:17"),
                text("MA020", 1, "credit-limit control flag", "08:18"),
                text("MA021", 4, "shipping-mark code (EPSMD)", "08:19"),
                text("MA022", 255, "front mark", "08:27"),
                text("MA023", 255, "side mark", "08:28"),
                text("MA024", 10, "carrier for shipping mode 1 (PURMA)", "08:29"),
                text("MA025", 10, "carrier for shipping modes 2 and 3 (PURMA)", "08:30"),
                text("MA026", 16, "original payment-terms text", "08:31"),
                text("MA027", 1, "order credit-check mode", "08:32"),
                number("MA028", "rate of unshipped order amount counted against credit, a fraction", "08:33"),
                number("MA029", "deposit rate, a fraction", "08:34"),
                text("MA030", 8, "ceased business on YYYYMMDD", "02:38"),
                number("MA031", "credit limit", "CreditCtrl"),
                number("MA032", "credit that may be exceeded, a fraction of the limit", "CreditCtrl"),
                number("MA033", "notes receivable balance", "CreditCtrl"),
                number("MA034", "accounts receivable balance", "CreditCtrl"),
                number("MA035", "shipped but not yet invoiced amount", "CreditCtrl"),
                text("MA036", 1, "Y takes the check method and rate from COPMH", "09:29"),
                text("MA037", 1, "credit check switch", "09:32"),
                text("MA038", 10, "customer whose credit settings apply (credit group)", "09:62"),
                text("MA039", 1, "Y uses the credit group customer's settings, N its own", "09:79"),
                text("MA040", 1, "credit check method: 1 none, 2 warn, other refuse", "09:85"),
                number("MA041", "credit rate of unshipped orders", "09:91"),
                text("MA042", 20, "telephone"),
                text("MA043", 20, "fax"),
                text("MA044", 60, "e-mail address"),
                text("MA045", 10, "customer group (TC004C8)"),
                text("MA087", 1, "switch MA087C", "08:35"),
                text("MA097", 1, "status: 1 normal, 2 suspended, 3 closed (MA097C)", "08:40"),
            },
            {"MA001"},
            {{{"MA002"}}}};
}

TableDef scope(const std::string& table, const std::string& prefix, const std::string& who)
{
    using namespace column;
    return {table,
            TableScope::Company,
            "trade-qualification scope of a " + who + ": what it may trade, by category or by item",
            {
                text(prefix + "001", 10, who + " code", "01, 02, 03 key"),
                text(prefix + "002", 1, "scope kind: 1 by item category, 2 by item", "01:1"),
                text(prefix + "003", 20, "category or item code in the scope", "02, 03"),
                text(prefix + "004", 8, "valid until YYYYMMDD (empty: always)", "02, 03"),
            },
            {prefix + "001", prefix + "002", prefix + "003"}};
}

} // namespace

void addCustomerTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back(customers());
    tables.push_back({"COPMB",
                      TableScope::Company,
                      "customer item prices",
                      {
                          text("MB001", 10, "customer", "02 key; CopUnitPrice; PriceList"),
                          text("MB002", 20, "item", "02:0 (TD004); CopUnitPrice"),
                          text("MB003", 4, "unit", "CopUnitPrice"),
                          text("MB004", 4, "currency", "CopUnitPrice"),
                          text("MB005", 8, "effective from YYYYMMDD", "CopUnitPrice"),
                          number("MB006", "unit price", "02:1 (TD011); CopUnitPrice"),
                          text("MB007", 1, "Y price includes tax", "CopUnitPrice"),
                          number("MB008", "minimum quantity for the price", "CopUnitPrice"),
                          text("MB009", 8, "valid until YYYYMMDD (empty: open)", "CopUnitPrice"),
                      },
                      {"MB001", "MB002", "MB003", "MB004", "MB005", "MB008"},
                      // In the order CopUnitPrice takes the price in: the highest quantity break, then
                      // the latest date, read off the index rather than sorted at every price.
                      {{{"MB001", "MB002", "MB003", "MB004", "MB008", "MB005"}}}});
    tables.push_back({"COPMC",
                      TableScope::Company,
                      "the price list: prices of items for every customer without a price of its own",
                      {
                          text("MC001", 20, "item", "CopUnitPrice; PriceList"),
                          text("MC002", 4, "unit", "CopUnitPrice; PriceList"),
                          text("MC003", 4, "currency", "CopUnitPrice; PriceList"),
                          text("MC004", 8, "effective from YYYYMMDD", "CopUnitPrice; PriceList"),
                          number("MC005", "minimum quantity for the price", "CopUnitPrice; PriceList"),
                          number("MC006", "unit price", "CopUnitPrice; PriceList"),
                          text("MC007", 1, "Y price includes tax", "CopUnitPrice; PriceList"),
                          text("MC008", 8, "valid until YYYYMMDD (empty: open)", "CopUnitPrice; PriceList"),
                      },
                      {"MC001", "MC002", "MC003", "MC004", "MC005"},
                      {{{"MC001", "MC002", "MC003", "MC005", "MC004"}}}}); // as COPMB's
    tables.push_back({"COPMD",
                      TableScope::Company,
                      "customer delivery addresses",
                      {
                          text("MD001", 10, "customer", "F2"),
                          text("MD002", 6, "address code", "F2"),
                          text("MD003", 72, "address", "F2"),
                          text("MD004", 72, "address 2", "F2"),
                          text("MD005", 30, "contact"),
                          text("MD006", 20, "telephone"),
                      },
                      {"MD001", "MD002"}});
    tables.push_back({"COPMF",
                      TableScope::Company,
                      "sales forecasts",
                      {
                          text("MF001", 11, "forecast number", "01 key; F2 (TD015)"),
                          text("MF002", 4, "forecast line", "01 key; F2 (TD028)"),
                          text("MF003", 10, "customer", "01 key"),
                          text("MF004", 6, "department", "01 key"),
                          text("MF005", 10, "salesperson", "01 key"),
                          text("MF006", 20, "item", "01 key"),
                          text("MF007", 10, "warehouse", "01 key"),
                          text("MF008", 4, "unit", "01 key"),
                          text("MF009", 4, "currency", "01 key"),
                          text("MF010", 6, "factory", "01 key"),
                          text("MF011", 8, "forecast date YYYYMMDD"),
                          number("MF012", "forecast quantity"),
                          text("MF013", 1, "Y closed"),
                      },
                      {"MF001", "MF002"}});
    tables.push_back({"COPMG",
                      TableScope::Company,
                      "customer item numbers",
                      {
                          text("MG001", 10, "customer", "02 key"),
                          text("MG002", 20, "item", "02 key; 02:1"),
                          text("MG003", 20, "customer item number", "02 key"),
                          text("MG004", 60, "customer item name"),
                          text("MG005", 60, "customer specification"),
                      },
                      {"MG001", "MG002", "MG003"},
                      {{{"MG001", "MG003"}}}});
    tables.push_back({"COPMH",
                      TableScope::Company,
                      "customer credit settings",
                      {
                          text("MH001", 10, "customer", "01 key"),
                          text("MH002", 1, "check method: 1 none, 2 warn, other refuse", "01:0"),
                          number("MH003", "credit limit", "01:1"),
                          number("MH004", "credit that may be exceeded, a fraction", "01:2"),
                          text("MH005", 4, "currency of the limit", "01:3"),
                          text("MH006", 8, "valid from YYYYMMDD", "01:4"),
                          text("MH007", 8, "valid until YYYYMMDD", "01:5"),
                          number("MH008", "rate of unshipped orders counted (F)", "01:6"),
                      },
                      {"MH001"}});
    tables.push_back({"EPSMD",
                      TableScope::Company,
                      "customer shipping marks",
                      {
                          text("MD001", 10, "customer", "02 key"),
                          text("MD002", 4, "mark code", "02 key; 02:1"),
                          text("MD003", 255, "front mark", "02:2"),
                          text("MD004", 255, "side mark", "02:3"),
                          text("MD005", 30, "mark name", "02:4; COPMA 08:26"),
                          text("MD006", 255, "picture file (DMS)"),
                      },
                      {"MD001", "MD002"}});
    tables.push_back(scope("GSPTH", "TH", "customer"));
    tables.push_back(scope("GSPTJ", "TJ", "salesperson"));
}

} // namespace orvane
