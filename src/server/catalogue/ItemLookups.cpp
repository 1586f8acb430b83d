// Row lookups of items: the item row an order line takes, weights and packing, unit
// conversions, bills of material and trade data.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

void addItems(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("INVMB", "01", Counted, "the item row an order line takes", {"item code"},
                            placed(47, {{0, found()},
                                        {1, col("MB002", "item name (TD005)")},
                                        {2, col("MB003", "specification (TD006)")},
                                        {3, col("MB004", "stock unit (TD010)")},
                                        {4, col("MB008", "default warehouse (TD007)")},
                                        {5, col("MB006", "N: name and specification fixed (TD004C)")},
                                        {7, col("MB007", "small unit (TD023)")},
                                        {8, col("MB025", "part type P, M, S, Y, F, O")},
                                        {22, col("MB016", "price-control flag (TD004C2)")},
                                        {23, col("MB017", "lowest-price rate (TD004C3)")},
                                        {27, col("MB018", "package unit (TD036)")},
                                        {28, col("MB019", "fixed-weight flag (TD004C5)")},
                                        {30, col("MB020", "tax rate, a fraction (x 100 into TD037)")},
                                        {31, col("MB021", "producer (TD004C6)")},
                                        {32, col("MB022", "trade-qualification flag (TD004C7)")},
                                        {33, col("MB035", "level 1 includes tax (TD004C103)")},
                                        {34, col("MB036", "level 2 includes tax (TD004C104)")},
                                        {35, col("MB037", "level 3 includes tax (TD004C105)")},
                                        {36, col("MB038", "level 4 includes tax (TD004C106)")},
                                        {37, col("MB039", "level 5 includes tax (TD004C107)")},
                                        {38, col("MB040", "level 6 includes tax (TD004C108)")},
                                        {39, col("MB027", "retail price (TD004C051)")},
                                        {40, col("MB028", "retail price includes tax (TD004C052)")},
                                        {41, col("MB029", "price level 1 (TD004C053)")},
                                        {42, col("MB030", "price level 2 (TD004C054)")},
                                        {43, col("MB031", "price level 3 (TD004C055)")},
                                        {44, col("MB032", "price level 4 (TD004C056)")},
                                        {45, col("MB033", "price level 5 (TD004C069)")},
                                        {46, col("MB034", "price level 6 (TD004C070)")}}),
                            "{INVMB} WHERE MB001 = ?"));
    entries.push_back(entry("INVMB", "03", Counted, "carton and piece data for weights without a packing method",
                            {"item code"},
                            placed(34, {{0, found()},
                                        {7, col("MB009", "carton unit")},
                                        {16, col("MB010", "units per carton")},
                                        {17, col("MB011", "weight taken off for a part carton")},
                                        {18, col("MB012", "weight per unit or carton")},
                                        {19, col("MB013", "volume per unit or carton")},
                                        {26, col("MB014", "piece unit")},
                                        {33, col("MB015", "weight per piece for the loose remainder")}}),
                            "{INVMB} WHERE MB001 = ?"));
    entries.push_back(entry("INVMB", "12", Data, "the document reference of an item", {"item code"},
                            {col("MB026", "document reference"), col("MB002", "item name")},
                            "{INVMB} WHERE MB001 = ? AND MB026 <> ''"));
    entries.push_back(
        entry("INVMD", "02", Data, "a conversion unit of an item", {"item code", "unit"},
              {col("MD002", "unit"), col("MD003", "numerator (stock units)"), col("MD004", "denominator (units)")},
              "{INVMD} WHERE MD001 = ? AND MD002 = ?"));
    entries.push_back(
        entry("GSPMA", "01", Counted, "trade data of an item", {"item code"},
              {found(), col("G.MA002", "wholesale price level 1..6"),
               col("CASE WHEN G.MA003 = '' THEN COALESCE(I.MB005, '') ELSE G.MA003 END", "item category")},
              "{GSPMA} G LEFT JOIN {INVMB} I ON I.MB001 = G.MA001 WHERE G.MA001 = ?"));
}

void addPacking(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(
        entry("EPSMB", "02", Data, "default packing of an item and unit", {"item code", "unit"},
              {col("B.MB003", "default packing method (TD029)"), col("COALESCE(C.MC004, '')", "packing name"), blank(),
               col("B.MB004", "weight of one unit")},
              "{EPSMB} B LEFT JOIN {EPSMC} C ON C.MC001 = B.MB001 AND C.MC002 = B.MB002 AND "
              "C.MC003 = B.MB003 WHERE B.MB001 = ? AND B.MB002 = ?"));
    entries.push_back(entry("EPSMC", "01", Counted, "a packing method of an item and unit",
                            {"item code", "unit", "packing method"},
                            placed(13, {{0, found()},
                                        {1, col("MC004", "packing name (TD029C)")},
                                        {2, col("MC005", "units per outer carton")},
                                        {3, col("MC006", "outer carton length")},
                                        {4, col("MC007", "outer carton width")},
                                        {5, col("MC009", "outer carton volume")},
                                        {6, col("MC008", "outer carton height")},
                                        {9, col("MC010", "units per inner carton")},
                                        {11, col("MC011", "inner carton weight")},
                                        {12, col("MC012", "outer carton weight")}}),
                            "{EPSMC} WHERE MC001 = ? AND MC002 = ? AND MC003 = ?"));
}

void addStructures(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("BOMMC", "01", Data, "a bill of material head", {"main item"},
                            {col("MC001", "main item"), col("MC002", "batch quantity"), col("MC003", "valid from")},
                            "{BOMMC} WHERE MC001 = ?"));
    entries.push_back(entry("BOMMD", "05", Counted, "a feature or option of a configurable item",
                            {"configurable item (TD004)", "feature or option item (TM004)"},
                            {found(), col("I.MB002", "name (TM004C)"), col("I.MB003", "specification (TM004C1)"),
                             col("I.MB025", "type F feature, O option (TM005)")},
                            "{BOMMD} D JOIN {INVMB} I ON I.MB001 = D.MD003 WHERE D.MD001 = ? AND D.MD003 = ? "
                            "ORDER BY D.MD002"));
}

} // namespace

void addItemLookups(std::vector<LookupEntry>& entries)
{
    addItems(entries);
    addPacking(entries);
    addStructures(entries);
}

} // namespace orvane::lookup
