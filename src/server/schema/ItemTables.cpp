// Items and what hangs on them: stock, unit conversions, bar codes, projects,
// packing, bills of material with options and features, trade data.
#include "server/schema/Tables.h"

namespace orvane {

namespace {

TableDef items()
{
    using namespace column;
    return {"INVMB",
            TableScope::Company,
            "items",
            {
                text("MB001", 20, "item code", "01, 03, 12 key; 63:0"),
                text("MB002", 60, "item name", "01:1; 63"),
                text("MB003", 60, "specification", "01:2"),
                text("MB004", 4, "stock unit", "01:3"),
                text("MB005", 10, "item category (GSPMA category when none there)"),
                text("MB006", 1, "N: name and specification may not be changed on a line", "01:5"),
                text("MB007", 4, "small unit", "01:7"),
                text("MB008", 10, "default warehouse", "01:4"),
                text("MB009", 4, "carton unit", "03:7"),
                number("MB010", "units per carton", "03:16"),
                number("MB011", "weight taken off for a part carton", "03:17"),
                number("MB012", "gross weight per unit or carton (Kg)", "03:18"),
                number("MB013", "volume per unit or carton (CUFT)", "03:19"),
                text("MB014", 4, "piece unit", "03:26"),
                number("MB015", "weight per piece for the loose remainder", "03:33"),
                text("MB016", 1, "selling-price control flag", "01:22"),
                number("MB017", "lowest-price rate, a fraction of the standard price", "01:23"),
                text("MB018", 4, "package unit", "01:27"),
                text("MB019", 1, "Y fixed-weight item", "01:28"),
                number("MB020", "tax rate, a fraction", "01:30"),
                text("MB021", 72, "producer", "01:31"),
                text("MB022", 1, "trade-qualification flag: 1 and 3 may not be sold", "01:32"),
                number("MB023", "standard selling price (local currency, excluding tax)", "CopUnitPrice; PriceList"),
                number("MB024", "standard cost"),
                text("MB025", 1, "part type P purchased, M made, S subcontracted, Y phantom, F feature, O option",
                     "01:8 (MB025C)"),
                text("MB026", 60, "document reference in the document store", "12:0"),
                number("MB027", "retail price", "01:39"),
                text("MB028", 1, "Y retail price includes tax", "01:40"),
                number("MB029", "price level 1", "01:41"),
                number("MB030", "price level 2", "01:42"),
                number("MB031", "price level 3", "01:43"),
                number("MB032", "price level 4", "01:44"),
                number("MB033", "price level 5", "01:45"),
                number("MB034", "price level 6", "01:46"),
                text("MB035", 1, "Y price level 1 includes tax", "01:33"),
                text("MB036", 1, "Y price level 2 includes tax", "01:34"),
                text("MB037", 1, "Y price level 3 includes tax", "01:35"),
                text("MB038", 1, "Y price level 4 includes tax", "01:36"),
                text("MB039", 1, "Y price level 5 includes tax", "01:37"),
                text("MB040", 1, "Y price level 6 includes tax", "01:38"),
                text("MB041", 30, "bar code of the stock unit", "63"),
                integer("MB042", "lead days"),
                text("MB043", 8, "no longer sold from YYYYMMDD"),
            },
            {"MB001"},
            {{{"MB002"}}, {{"MB041"}}}};
}

TableDef packingMethods()
{
    using namespace column;
    return {"EPSMC",
            TableScope::Company,
            "packing methods per item and unit",
            {
                text("MC001", 20, "item", "01 key"),
                text("MC002", 4, "unit", "01 key"),
                text("MC003", 3, "packing method", "01 key; 01:0"),
                text("MC004", 30, "packing name", "01:1"),
                number("MC005", "units per outer carton", "01:2"),
                number("MC006", "outer carton length"),
                number("MC007", "outer carton width"),
                number("MC008", "outer carton height"),
                number("MC009", "outer carton volume (CUFT)", "01:5"),
                number("MC010", "units per inner carton", "01:9"),
                number("MC011", "inner carton weight (Kg)", "01:11"),
                number("MC012", "outer carton weight (Kg)", "01:12"),
            },
            {"MC001", "MC002", "MC003"}};
}

TableDef bomLines()
{
    using namespace column;
    return {"BOMMD",
            TableScope::Company,
            "bill of material lines; a configurable item lists its features and options, each feature or "
            "option lists its component items",
            {
                text("MD001", 20, "parent item", "05 key; COPTD 14, 17 key"),
                text("MD002", 4, "line number"),
                text("MD003", 20, "component item (feature, option or part)", "05 key; COPTD 14, 17 key"),
                text("MD004", 4, "process sequence (CMSMW)", "COPTD 17:3"),
                text("MD005", 1, "material type", "COPTD 17:4"),
                number("MD006", "feeding interval", "COPTD 17:5"),
                number("MD007", "quantity used per base quantity", "COPTD 17:8, 12"),
                number("MD008", "base quantity", "COPTD 17:9, 13"),
                number("MD009", "loss rate, a fraction", "COPTD 17:10, 14"),
                text("MD010", 8, "valid from YYYYMMDD (empty: always)", "BomExtract"),
                text("MD011", 8, "valid until YYYYMMDD (empty: always)", "BomExtract"),
                text("MD012", 1, "Y chosen by default when option lines are built", "COPTD 14"),
                text("MD013", 60, "remark"),
            },
            {"MD001", "MD002"},
            {{{"MD001", "MD003"}}, {{"MD003"}}}};
}

} // namespace

void addItemTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back(items());
    tables.push_back({"INVMC",
                      TableScope::Company,
                      "stock by item and warehouse",
                      {
                          text("MC001", 20, "item", "F2; OnHand"),
                          text("MC002", 10, "warehouse", "F2; OnHand"),
                          number("MC003", "quantity on hand (stock unit)", "F2; OnHand"),
                          number("MC004", "package quantity on hand", "OnHandPack"),
                          text("MC005", 8, "last receipt YYYYMMDD"),
                          text("MC006", 8, "last issue YYYYMMDD"),
                      },
                      {"MC001", "MC002"}});
    tables.push_back({"INVMD",
                      TableScope::Company,
                      "unit conversions: one of the unit is MD003 / MD004 stock units",
                      {
                          text("MD001", 20, "item", "02 key; UnitConvert"),
                          text("MD002", 4, "unit", "02 key; UnitConvert"),
                          number("MD003", "numerator (stock units)", "UnitConvert; QtyDToS"),
                          number("MD004", "denominator (units)", "UnitConvert; QtyDToS"),
                      },
                      {"MD001", "MD002"}});
    tables.push_back({"INVMH",
                      TableScope::Company,
                      "bar codes",
                      {
                          text("MH001", 30, "bar code", "01 key"),
                          text("MH002", 20, "item", "01:0"),
                          text("MH003", 4, "unit"),
                      },
                      {"MH001"},
                      {{{"MH002"}}}});
    tables.push_back({"INVLD",
                      TableScope::Company,
                      "projects",
                      {
                          text("LD001", 20, "project code", "F2"),
                          text("LD002", 60, "project name", "F2"),
                          text("LD003", 10, "customer"),
                          text("LD004", 8, "start YYYYMMDD"),
                          text("LD005", 8, "end YYYYMMDD"),
                      },
                      {"LD001"}});
    tables.push_back({"EPSMB",
                      TableScope::Company,
                      "default packing per item and unit",
                      {
                          text("MB001", 20, "item", "02 key"),
                          text("MB002", 4, "unit", "02 key"),
                          text("MB003", 3, "default packing method (EPSMC)", "02:0"),
                          number("MB004", "weight of one unit (Kg)", "02:3"),
                      },
                      {"MB001", "MB002"}});
    tables.push_back(packingMethods());
    tables.push_back({"BOMMC",
                      TableScope::Company,
                      "bill of material heads",
                      {
                          text("MC001", 20, "main item", "01 key; 01:0"),
                          number("MC002", "batch quantity the lines are given for", "COPTD 17:7, 11"),
                          text("MC003", 8, "valid from YYYYMMDD"),
                          text("MC004", 60, "remark"),
                      },
                      {"MC001"}});
    tables.push_back(bomLines());
    tables.push_back({"GSPMA",
                      TableScope::Company,
                      "item trade data",
                      {
                          text("MA001", 20, "item", "01 key"),
                          text("MA002", 1, "wholesale price level 1..6", "01:1"),
                          text("MA003", 10, "item category for trade qualification", "01:2"),
                      },
                      {"MA001"}});
}

} // namespace orvane
