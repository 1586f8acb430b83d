// Quotations, sales orders with their lines and option sub-lines, change and price
// history, and the multi-party trade rows of orders.
#include "server/schema/Tables.h"

namespace orvane {

namespace {

TableDef orderHeads()
{
    using namespace column;
    return {"COPTC",
            TableScope::Company,
            "sales order heads; companions (TC004C1 ...) are joined from the masters, not stored",
            {
                text("TC001", 4, "order type (CMSMQ)", "03, 12, 62..68 key"),
                text("TC002", 11, "order number", "03, 12, 62..68 key"),
                text("TC003", 8, "order date YYYYMMDD"),
                text("TC004", 10, "customer (COPMA)"),
                text("TC005", 6, "department (CMSME)"),
                text("TC006", 10, "salesperson (CMSMK)"),
                text("TC007", 6, "shipping factory (CMSMB)"),
                text("TC008", 4, "currency (CMSMF)"),
                number("TC009", "exchange rate"),
                text("TC010", 72, "delivery address"),
                text("TC011", 72, "delivery address 2"),
                text("TC012", 20, "customer order number", "12, 13 key"),
                text("TC013", 16, "price note"),
                text("TC014", 16, "original payment terms"),
                text("TC015", 255, "remark"),
                text("TC016", 1, "tax type"),
                text("TC017", 20, "L/C number"),
                text("TC018", 30, "contact"),
                text("TC019", 1, "shipping mode"),
                text("TC020", 20, "port of loading"),
                text("TC021", 20, "port of destination"),
                text("TC022", 10, "agent (COPMA)"),
                text("TC023", 10, "customs broker (PURMA)"),
                text("TC024", 10, "inspection company (PURMA)"),
                text("TC025", 10, "carrier (PURMA)"),
                number("TC026", "commission rate, a fraction"),
                text("TC027", 1, "confirmation code N, Y, V, U"),
                number("TC028", "times printed"),
                number("TC029", "order amount (net)"),
                number("TC030", "order tax"),
                number("TC031", "total quantity"),
                text("TC032", 10, "consignee (COPMA)"),
                text("TC033", 10, "notify party (COPMA)"),
                text("TC034", 4, "shipping-mark code (EPSMD)"),
                text("TC035", 20, "destination"),
                text("TC036", 10, "bank (CMSMO)"),
                text("TC037", 255, "invoice remark"),
                text("TC038", 255, "packing-list remark"),
                text("TC039", 8, "document date YYYYMMDD"),
                text("TC040", 10, "confirmed by (user code)"),
                number("TC041", "tax rate, a fraction"),
                text("TC042", 6, "payment-term code (CMSNA kind 2)"),
                number("TC043", "total gross weight (Kg)"),
                number("TC044", "total volume (CUFT)"),
                number("TC045", "deposit rate, a fraction"),
                number("TC046", "total package quantity"),
                text("TC047", 10, "negotiating bank account (NOTMA)"),
                text("TC048", 1, "sign-off state: N none, 0 to send, S sent, ..."),
                text("TC049", 2, "multi-party trade process (MTPMA)"),
                text("TC050", 1, "transfer state N, Y"),
                text("TC051", 10, "downstream supplier"),
                text("TC052", 100, "other remark 1"),
                text("TC053", 100, "other remark 2"),
                text("TC054", 100, "other remark 3"),
                text("TC055", 100, "other remark 4"),
                text("TC056", 255, "front mark"),
                text("TC057", 255, "side mark"),
                number("TC058", "times transmitted"),
            },
            {"TC001", "TC002"},
            {{{"TC004"}}, {{"TC039"}}, {{"TC012"}}},
            {},
            true};
}

TableDef orderLines()
{
    using namespace column;
    return {"COPTD",
            TableScope::Company,
            "sales order lines; item companions (TD004C ...) and TD010C1 are joined from INVMB",
            {
                text("TD001", 4, "order type", "MTPTD 01; COPTE 02"),
                text("TD002", 11, "order number"),
                text("TD003", 4, "line number"),
                text("TD004", 20, "item (INVMB)"),
                text("TD005", 60, "item name"),
                text("TD006", 60, "specification"),
                text("TD007", 10, "warehouse (CMSMC)"),
                number("TD008", "order quantity"),
                number("TD009", "delivered quantity"),
                text("TD010", 4, "unit"),
                number("TD011", "unit price"),
                number("TD012", "amount"),
                text("TD013", 8, "planned delivery date YYYYMMDD"),
                text("TD014", 20, "customer item number"),
                text("TD015", 11, "forecast number (COPMF)"),
                text("TD016", 1, "closed: N, Y"),
                text("TD017", 4, "source quotation type"),
                text("TD018", 11, "source quotation number"),
                text("TD019", 4, "source quotation line"),
                text("TD020", 255, "remark"),
                text("TD021", 1, "confirmation code (the head's TC027)"),
                number("TD022", "stock quantity"),
                text("TD023", 4, "small unit"),
                number("TD024", "free quantity"),
                number("TD025", "free quantity delivered"),
                number("TD026", "discount rate, a fraction"),
                text("TD027", 20, "project (INVLD)"),
                text("TD028", 4, "forecast line"),
                text("TD029", 3, "packing method (EPSMC)"),
                number("TD030", "gross weight (Kg)"),
                number("TD031", "volume (CUFT)"),
                number("TD032", "order package quantity"),
                number("TD033", "delivered package quantity"),
                number("TD034", "free package quantity"),
                number("TD035", "free package quantity delivered"),
                text("TD036", 4, "package unit"),
                number("TD037", "tax rate, a fraction"),
                number("TD038", "net amount"),
                number("TD039", "tax"),
                number("TD040", "units per piece"),
                number("TD041", "pieces"),
                number("TD042", "wholesale price"),
                number("TD043", "retail price"),
            },
            {"TD001", "TD002", "TD003"},
            {{{"TD004"}}, {{"TD017", "TD018", "TD019"}}, {{"TD015", "TD028"}}},
            {{"COPTC", {"TD001", "TD002"}, {"TC001", "TC002"}}},
            true};
}

TableDef quotationHeads()
{
    using namespace column;
    return {"COPTA",
            TableScope::Company,
            "quotation heads",
            {
                text("TA001", 4, "quotation type", "02, 03, 04 key"),
                text("TA002", 11, "quotation number", "02, 03, 04 key"),
                text("TA003", 8, "quotation date YYYYMMDD"),
                text("TA004", 10, "customer", "02 filter; 04:3"),
                text("TA005", 6, "department", "04:27"),
                text("TA006", 10, "salesperson", "02 filter; 04:4"),
                text("TA007", 6, "factory"),
                text("TA008", 4, "currency", "02 filter; 04:6"),
                number("TA009", "exchange rate"),
                text("TA010", 16, "price note", "04:9"),
                text("TA011", 6, "payment-term code", "04:10"),
                text("TA012", 1, "tax type", "02 filter; 04:21"),
                text("TA013", 30, "contact", "04:26"),
                text("TA014", 72, "delivery address", "04:28"),
                text("TA015", 72, "delivery address 2", "04:33"),
                text("TA016", 10, "agent", "04:29"),
                text("TA017", 10, "customs broker", "04:30"),
                text("TA018", 10, "inspection company", "04:31"),
                number("TA019", "commission rate, a fraction", "04:32"),
                text("TA020", 4, "shipping-mark code", "04:40"),
                text("TA021", 20, "destination", "04:41"),
                text("TA022", 10, "bank", "04:42"),
                text("TA023", 1, "shipping mode", "04:43"),
                text("TA024", 10, "carrier for shipping mode 1", "04:44"),
                text("TA025", 10, "carrier for shipping modes 2 and 3", "04:45"),
                number("TA026", "deposit rate, a fraction", "04:48"),
                text("TA027", 1, "confirmation code N, Y, V"),
                text("TA028", 8, "valid from YYYYMMDD", "02 filter; COPTB 02 filter"),
                text("TA029", 8, "valid until YYYYMMDD", "02 filter; COPTB 02 filter"),
                text("TA030", 255, "remark"),
                number("TA031", "tax rate, a fraction"),
                number("TA032", "quotation amount"),
                number("TA033", "quotation tax"),
            },
            {"TA001", "TA002"},
            {{{"TA004"}}}};
}

TableDef quotationLines()
{
    using namespace column;
    return {"COPTB",
            TableScope::Company,
            "quotation lines; item flags are joined from INVMB",
            {
                text("TB001", 4, "quotation type", "02:0"),
                text("TB002", 11, "quotation number", "02:1"),
                text("TB003", 4, "line number", "02:2"),
                text("TB004", 20, "item", "02:3; COPTA 02:1"),
                text("TB005", 60, "item name", "02:4; COPTA 02:2"),
                text("TB006", 60, "specification", "02:5; COPTA 02:3"),
                number("TB007", "quantity", "02:6; COPTA 02:4"),
                text("TB008", 4, "unit", "02:7; COPTA 02:5"),
                number("TB009", "unit price", "02:8; COPTA 02:6"),
                number("TB010", "amount", "02:9; COPTA 02:7"),
                text("TB011", 255, "remark", "02:11; COPTA 02:12"),
                text("TB012", 4, "small unit", "02:13; COPTA 02:8"),
                number("TB013", "free quantity", "02:14; COPTA 02:9"),
                integer("TB014", "lead days from the document date", "02:10; COPTA 02:10"),
                text("TB015", 10, "warehouse", "02:17; COPTA 02:11"),
                text("TB016", 20, "customer item number", "02:21; COPTA 02:22"),
                text("TB017", 3, "packing method", "02:22; COPTA 02:19"),
                number("TB018", "gross weight (Kg)", "02:23; COPTA 02:20"),
                number("TB019", "volume (CUFT)", "02:24; COPTA 02:21"),
                text("TB020", 4, "package unit", "02:25"),
                number("TB021", "discount rate, a fraction", "02:27; COPTA 02:23"),
                number("TB022", "tax rate, a fraction", "02:28; COPTA 02:24"),
                number("TB023", "net amount", "02:29; COPTA 02:25"),
                number("TB024", "tax", "02:30; COPTA 02:26"),
                text("TB025", 1, "confirmation code"),
            },
            {"TB001", "TB002", "TB003"},
            {{{"TB004"}}},
            {{"COPTA", {"TB001", "TB002"}, {"TA001", "TA002"}}}};
}

TableDef subLines()
{
    using namespace column;
    return {"COPTM",
            TableScope::Company,
            "option and component sub-lines of order lines; names come from INVMB (TM004C, TM006C, MB025C)",
            {
                text("TM001", 4, "order type"),
                text("TM002", 11, "order number"),
                text("TM003", 4, "order line"),
                text("TM004", 20, "feature or option item"),
                text("TM005", 1, "type F feature, O option"),
                text("TM006", 20, "component item"),
                number("TM007", "quantity"),
                text("TM008", 4, "process sequence (CMSMW)"),
                text("TM009", 1, "material type"),
                number("TM010", "feeding interval"),
                text("TM011", 255, "remark"),
            },
            {"TM001", "TM002", "TM003", "TM004", "TM006"},
            {},
            {{"COPTD", {"TM001", "TM002", "TM003"}, {"TD001", "TD002", "TD003"}}},
            true};
}

} // namespace

void addSalesTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back(quotationHeads());
    tables.push_back(quotationLines());
    tables.push_back(orderHeads());
    tables.push_back(orderLines());
    tables.push_back(subLines());
    tables.push_back({"COPTE",
                      TableScope::Company,
                      "change history of order lines",
                      {
                          text("TE001", 4, "order type", "02 key"),
                          text("TE002", 11, "order number", "02 key"),
                          text("TE003", 4, "order line", "02 key"),
                          text("TE004", 4, "change number", "02"),
                          text("TE005", 8, "change date YYYYMMDD", "02"),
                          text("TE006", 20, "item", "02"),
                          number("TE007", "quantity before", "02"),
                          number("TE008", "quantity after", "02"),
                          number("TE009", "unit price before", "02"),
                          number("TE010", "unit price after", "02"),
                          text("TE011", 8, "delivery date before", "02"),
                          text("TE012", 8, "delivery date after", "02"),
                          text("TE013", 255, "reason", "02"),
                      },
                      {"TE001", "TE002", "TE003", "TE004"}});
    tables.push_back({"COPTH",
                      TableScope::Company,
                      "sales price history",
                      {
                          text("TH001", 10, "customer", "F3 on TD011"),
                          text("TH002", 20, "item", "F3 on TD011"),
                          text("TH003", 4, "unit", "F3 on TD011"),
                          text("TH004", 4, "currency", "F3 on TD011"),
                          text("TH005", 8, "date YYYYMMDD", "F3 on TD011"),
                          number("TH006", "unit price", "F3 on TD011"),
                          number("TH007", "quantity", "F3 on TD011"),
                          text("TH008", 4, "order type"),
                          text("TH009", 11, "order number"),
                          text("TH010", 4, "order line"),
                      },
                      {"TH008", "TH009", "TH010"},
                      {{{"TH001", "TH002", "TH005"}}}});
    tables.push_back({"MTPTD",
                      TableScope::Company,
                      "multi-party purchase prices per order line and stage",
                      {
                          text("TD001", 4, "order type", "01 key"),
                          text("TD002", 11, "order number", "01 key"),
                          text("TD003", 4, "order line", "01 key"),
                          text("TD004", 2, "stage of the process"),
                          text("TD005", 10, "supplier"),
                          text("TD006", 4, "currency"),
                          number("TD007", "unit price"),
                      },
                      {"TD001", "TD002", "TD003", "TD004"}});
    tables.push_back({"MTPTE",
                      TableScope::Company,
                      "multi-party transfer rows per order",
                      {
                          text("TE001", 4, "order type", "01 key"),
                          text("TE002", 11, "order number", "01 key"),
                          text("TE003", 4, "transfer number"),
                          text("TE004", 30, "target company database"),
                          text("TE005", 4, "target document type"),
                          text("TE006", 11, "target document number"),
                          text("TE007", 8, "transfer date YYYYMMDD"),
                      },
                      {"TE001", "TE002", "TE003"}});
}

} // namespace orvane
