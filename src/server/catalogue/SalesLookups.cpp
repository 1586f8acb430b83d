// Row lookups of quotations and orders: copying from a quotation, key and customer
// order number checks, option lines from an item's structure and multi-party rows.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

void addQuotations(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry(
        "COPTA", "02", Counted, "a quotation line valid for the order head",
        {"quotation type", "quotation number", "quotation line", "customer", "salesperson", "currency",
         "document date (valid from)", "document date (valid until)", "tax type"},
        placed(27, {{0, found()},
                    {1, col("B.TB004", "item (TD004)")},
                    {2, col("B.TB005", "item name (TD005)")},
                    {3, col("B.TB006", "specification (TD006)")},
                    {4, col("B.TB007", "quantity (TD008)")},
                    {5, col("B.TB008", "unit (TD010)")},
                    {6, col("B.TB009", "unit price (TD011)")},
                    {7, col("B.TB010", "amount (TD012)")},
                    {8, col("B.TB012", "small unit (TD023)")},
                    {9, col("B.TB013", "free quantity (TD024)")},
                    {10, col("B.TB014", "lead days (TD013 = date + days)")},
                    {11, col("B.TB015", "warehouse (TD007)")},
                    {12, col("B.TB011", "remark (TD020)")},
                    {13, col("COALESCE(I.MB006, '')", "name-change flag (TD004C)")},
                    {14, col("B.TB004", "item as last loaded (TD004C4)")},
                    {15, col("COALESCE(I.MB016, '')", "price-control flag (TD004C2)")},
                    {16, col("COALESCE(I.MB017, 0)", "lowest-price rate (TD004C3)")},
                    {19, col("B.TB017", "packing method (TD029)")},
                    {20, col("B.TB018", "gross weight (TD030)")},
                    {21, col("B.TB019", "volume (TD031)")},
                    {22, col("B.TB016", "customer item number (TD014)")},
                    {23, col("B.TB021", "discount rate, a fraction (x 100 into TD026)")},
                    {24, col("B.TB022", "tax rate, a fraction (x 100 into TD037)")},
                    {25, col("B.TB023", "net amount (TD038)")},
                    {26, col("B.TB024", "tax (TD039)")}}),
        "{COPTB} B JOIN {COPTA} A ON A.TA001 = B.TB001 AND A.TA002 = B.TB002 LEFT JOIN {INVMB} I ON I.MB001 = B.TB004 "
        "WHERE B.TB001 = ? AND B.TB002 = ? AND B.TB003 = ? AND A.TA004 = ? AND A.TA006 = ? AND A.TA008 = ? "
        "AND (A.TA028 = '' OR A.TA028 <= ?) AND (A.TA029 = '' OR A.TA029 >= ?) AND A.TA012 = ?"));
    entries.push_back(
        entry("COPTA", "03", Data, "whether a quotation exists", {"quotation type", "quotation number"},
              {col("TA001", "quotation type"), col("TA002", "quotation number"), col("TA004", "customer")},
              "{COPTA} WHERE TA001 = ? AND TA002 = ?"));
    entries.push_back(
        entry("COPTA", "04", Data, "the quotation head an order is copied from", {"quotation type", "quotation number"},
              placed(49, {{0, col("A.TA001", "quotation type")},
                          {1, col("A.TA002", "quotation number")},
                          {2, col("A.TA003", "quotation date")},
                          {3, col("A.TA004", "customer (TC004)")},
                          {4, col("A.TA006", "salesperson (TC006)")},
                          {5, col("A.TA007", "factory")},
                          {6, col("A.TA008", "currency (TC008)")},
                          {7, col("A.TA009", "exchange rate")},
                          {8, col("A.TA027", "confirmation code")},
                          {9, col("A.TA010", "price note (TC013)")},
                          {10, col("A.TA011", "payment-term code (TC042)")},
                          {11, col("A.TA028", "valid from")},
                          {12, col("A.TA029", "valid until")},
                          {13, col("A.TA031", "tax rate, a fraction")},
                          {21, col("A.TA012", "tax type (TC016)")},
                          {25, col("COALESCE(C.MA002, '')", "customer short name (TC004C1)")},
                          {26, col("A.TA013", "contact (TC018)")},
                          {27, col("A.TA005", "department (TC005)")},
                          {28, col("A.TA014", "delivery address (TC010)")},
                          {29, col("A.TA016", "agent (TC022)")},
                          {30, col("A.TA017", "customs broker (TC023)")},
                          {31, col("A.TA018", "inspection company (TC024)")},
                          {32, col("A.TA019 * 100", "commission rate in percent (TC026)")},
                          {33, col("A.TA015", "delivery address 2 (TC011)")},
                          {34, col("COALESCE(D.ME002, '')", "department name (TC005C1)")},
                          {35, col("COALESCE(K.MK002, '')", "salesperson name (TC006C1)")},
                          {36, col("COALESCE(G.MA002, '')", "agent name (TC022C1)")},
                          {37, col("COALESCE(B.MA002, '')", "customs broker name (TC023C1)")},
                          {38, col("COALESCE(I.MA002, '')", "inspection company name (TC024C1)")},
                          {39, col("COALESCE(C.MA020, '')", "credit-limit control flag (TC004C2)")},
                          {40, col("A.TA020", "shipping-mark code (TC034)")},
                          {41, col("A.TA021", "destination (TC035)")},
                          {42, col("A.TA022", "bank (TC036)")},
                          {43, col("A.TA023", "shipping mode (TC019)")},
                          {44, col("A.TA024", "carrier for shipping mode 1 (TC025)")},
                          {45, col("A.TA025", "carrier for shipping modes 2 and 3 (TC025)")},
                          {46, col("COALESCE(C.MA027, '')", "order credit-check mode (TC004C3)")},
                          {47, col("COALESCE(C.MA028, 0)", "unshipped-order rate (TC004C4)")},
                          {48, col("A.TA026 * 100", "deposit rate in percent (TC045)")}}),
              "{COPTA} A LEFT JOIN {COPMA} C ON C.MA001 = A.TA004 LEFT JOIN {CMSME} D ON D.ME001 = A.TA005 "
              "LEFT JOIN {CMSMK} K ON K.MK001 = A.TA006 LEFT JOIN {COPMA} G ON G.MA001 = A.TA016 "
              "LEFT JOIN {PURMA} B ON B.MA001 = A.TA017 LEFT JOIN {PURMA} I ON I.MA001 = A.TA018 "
              "WHERE A.TA001 = ? AND A.TA002 = ?"));
    entries.push_back(entry(
        "COPTB", "02", Data, "the lines of a quotation valid on the document date",
        {"quotation type", "quotation number", "document date (valid from)", "document date (valid until)"},
        placed(32, {{0, col("B.TB001", "quotation type (TD017)")},
                    {1, col("B.TB002", "quotation number (TD018)")},
                    {2, col("B.TB003", "quotation line (TD019)")},
                    {3, col("B.TB004", "item (TD004)")},
                    {4, col("B.TB005", "item name (TD005)")},
                    {5, col("B.TB006", "specification (TD006)")},
                    {6, col("B.TB007", "quantity (TD008)")},
                    {7, col("B.TB008", "unit (TD010)")},
                    {8, col("B.TB009", "unit price (TD011)")},
                    {9, col("B.TB010", "amount (TD012)")},
                    {10, col("B.TB014", "lead days (TD013 = date + days)")},
                    {11, col("B.TB011", "remark (TD020)")},
                    {13, col("B.TB012", "small unit (TD023)")},
                    {14, col("B.TB013", "free quantity (TD024)")},
                    {17, col("B.TB015", "warehouse (key of CMSMC 02)")},
                    {19, col("COALESCE(I.MB006, '')", "name-change flag (TD004C)")},
                    {20, col("B.TB004", "item as last loaded (TD004C4)")},
                    {21, col("B.TB016", "customer item number (TD014)")},
                    {22, col("B.TB017", "packing method (TD029)")},
                    {23, col("B.TB018", "gross weight (TD030)")},
                    {24, col("B.TB019", "volume (TD031)")},
                    {25, col("B.TB020", "package unit (TD036)")},
                    {26, col("COALESCE(I.MB019, '')", "fixed-weight flag (TD004C5)")},
                    {27, col("B.TB021 * 100", "discount rate in percent (TD026)")},
                    {28, col("B.TB022 * 100", "tax rate in percent (TD037)")},
                    {29, col("B.TB023", "net amount (TD038)")},
                    {30, col("B.TB024", "tax (TD039)")},
                    {31, col("COALESCE(I.MB016, '')", "price-control flag (TD004C2)")}}),
        "{COPTB} B JOIN {COPTA} A ON A.TA001 = B.TB001 AND A.TA002 = B.TB002 LEFT JOIN {INVMB} I ON I.MB001 = B.TB004 "
        "WHERE B.TB001 = ? AND B.TB002 = ? AND (A.TA028 = '' OR A.TA028 <= ?) AND (A.TA029 = '' OR A.TA029 >= ?) "
        "ORDER BY B.TB003"));
}

void addOrders(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("COPTC", "03", Data, "whether an order key is taken", {"order type", "order number"},
                            {col("TC001", "order type"), col("TC002", "order number")},
                            "{COPTC} WHERE TC001 = ? AND TC002 = ?"));
    entries.push_back(entry("COPTC", "12", Counted, "another order with the same customer order number",
                            {"customer order number", "order type", "order number (excluded)"},
                            {found(), col("TC001", "order type"), col("TC002", "order number")},
                            "{COPTC} WHERE TC012 = ? AND TC012 <> '' AND NOT (TC001 = ? AND TC002 = ?) "
                            "ORDER BY TC001, TC002"));
    entries.push_back(entry("COPTC", "13", Counted, "an order with this customer order number",
                            {"customer order number"},
                            {found(), col("TC001", "order type"), col("TC002", "order number")},
                            "{COPTC} WHERE TC012 = ? AND TC012 <> '' ORDER BY TC001, TC002"));
    entries.push_back(
        entry("MTPTD", "01", Data, "multi-party purchase prices of an order line",
              {"order type", "order number", "order line"},
              {col("TD004", "stage"), col("TD005", "supplier"), col("TD006", "currency"), col("TD007", "unit price")},
              "{MTPTD} WHERE TD001 = ? AND TD002 = ? AND TD003 = ? ORDER BY TD004"));
    entries.push_back(entry("MTPTE", "01", Data, "multi-party transfers of an order", {"order type", "order number"},
                            {col("TE003", "transfer number"), col("TE004", "target company database"),
                             col("TE005", "target document type"), col("TE006", "target document number")},
                            "{MTPTE} WHERE TE001 = ? AND TE002 = ? ORDER BY TE003"));
}

// The structure of a configurable item: F is a feature or option of the item, C a part of
// F; H1 and H2 hold the batch quantities of the item and of F (1 without a BOM head).
const char* structureJoins = "{BOMMD} F JOIN {BOMMD} C ON C.MD001 = F.MD003 LEFT JOIN {INVMB} CI ON CI.MB001 = "
                             "C.MD003 LEFT JOIN {BOMMC} H1 ON H1.MC001 = F.MD001 LEFT JOIN {BOMMC} H2 ON "
                             "H2.MC001 = F.MD003";

// The quantity factors c7..c14 of a part, in the order the quantity formula takes them.
const std::vector<std::pair<std::string, std::string>> partFactors{
    {"COALESCE(H1.MC002, 1)", "c7 batch quantity of the item"},
    {"F.MD007", "c8 feature quantity per base"},
    {"F.MD008", "c9 feature base quantity"},
    {"F.MD009", "c10 feature loss rate"},
    {"COALESCE(H2.MC002, 1)", "c11 batch quantity of the feature"},
    {"C.MD007", "c12 part quantity per base"},
    {"C.MD008", "c13 part base quantity"},
    {"C.MD009", "c14 part loss rate"}};

// The part quantity for a line quantity (the "?"): line ÷ c7 × c8 ÷ c9 × (1 + c10) ÷ c11
// × c12 ÷ c13 × (1 + c14), 0 when a divisor is 0; the client computes the same from the
// factors of COPTD "17", in the same order, so both give the same number.
std::string partQuantity()
{
    const auto c = [](std::size_t i) { return partFactors[i - 7].first; };
    return "CASE WHEN " + c(7) + " = 0 OR " + c(9) + " = 0 OR " + c(11) + " = 0 OR " + c(13) +
           " = 0 THEN 0 ELSE CAST(? AS DOUBLE PRECISION) / " + c(7) + " * " + c(8) + " / " + c(9) + " * (1 + " + c(10) +
           ") / " + c(11) + " * " + c(12) + " / " + c(13) + " * (1 + " + c(14) + ") END";
}

// Option lines: with a feature, every part of it (the candidates of the option choice);
// without one, what is chosen by default: the features and options marked MD012 = Y, each
// with its parts marked Y, a feature with only the first of them (a feature takes one part).
void addStructureLines(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry(
        "COPTD", "14", Data, "option lines of an order line: the parts chosen by default, or every part of a feature",
        {"order type", "order number", "order line", "item", "line quantity",
         "feature or option (empty: the defaults)"},
        {col("F.MD003", "feature or option item (TM004)"), col("FI.MB025", "type F or O (TM005)"),
         col("C.MD003", "part item (TM006)"), col("CI.MB002", "part name (TM006C)"),
         col("CI.MB003", "part specification (TM006C1)"), col("CI.MB025", "part type (MB025C)"),
         col(partQuantity(), "quantity for the line quantity (TM007)"), col("C.MD004", "process sequence (TM008)"),
         col("C.MD005", "material type (TM009)"), col("C.MD006", "feeding interval (TM010)"),
         col("C.MD013", "remark (TM011)"), col("C.MD012", "Y chosen by default")},
        std::string(structureJoins) +
            " JOIN {INVMB} FI ON FI.MB001 = F.MD003 AND FI.MB025 IN ('F', 'O') WHERE CI.MB001 IS NOT NULL AND "
            "F.MD001 = ? AND (F.MD003 = ? OR (? = '' AND F.MD012 = 'Y' AND C.MD012 = 'Y' AND (FI.MB025 = 'O' OR NOT "
            "EXISTS (SELECT 1 FROM {BOMMD} E WHERE E.MD001 = C.MD001 AND E.MD012 = 'Y' AND E.MD002 < C.MD002)))) "
            "ORDER BY F.MD002, C.MD002",
        {number(4), key(3), key(5), key(5)}));
    std::vector<LookupColumn> part = placed(15, {{0, found()},
                                                 {1, col("CI.MB002", "part name")},
                                                 {2, col("CI.MB003", "part specification")},
                                                 {3, col("C.MD004", "process sequence (TM008)")},
                                                 {4, col("C.MD005", "material type (TM009)")},
                                                 {5, col("C.MD006", "feeding interval (TM010)")}});
    for (std::size_t i = 0; i < partFactors.size(); ++i)
        part[7 + i] = col(partFactors[i].first, partFactors[i].second);
    entries.push_back(entry(
        "COPTD", "17", Counted, "a part in the structure of a feature or option, with its quantity factors",
        {"configurable item (TD004)", "feature or option (TM004)", "type (TM005)", "not used (Y)", "not used (N)",
         "part (TM006)"},
        std::move(part),
        std::string(structureJoins) + " WHERE F.MD001 = ? AND F.MD003 = ? AND C.MD003 = ? ORDER BY F.MD002, C.MD002",
        {key(0), key(1), key(5)}));
}

} // namespace

void addSalesLookups(std::vector<LookupEntry>& entries)
{
    addQuotations(entries);
    addOrders(entries);
    addStructureLines(entries);
}

} // namespace orvane::lookup
