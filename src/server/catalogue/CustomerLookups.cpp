// Row lookups of customers and what hangs on them: defaults for a new order, credit
// settings, forecasts, customer item numbers, shipping marks and trade scopes.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

// The customer row an order head takes its defaults from. Columns 0..40; kind "02"
// answers the same row, so both views of a customer agree.
std::vector<LookupColumn> customerDefaults()
{
    return placed(41, {{0, found()},
                       {1, col("A.MA002", "short name (TC004C1)")},
                       {2, col("A.MA005", "department (TC005)")},
                       {3, col("A.MA006", "salesperson (TC006)")},
                       {4, col("A.MA007", "currency (TC008)")},
                       {5, col("A.MA008", "price note (TC013)")},
                       {6, col("A.MA009", "payment-term code (TC042)")},
                       {7, col("A.MA010", "delivery address (TC010)")},
                       {8, col("A.MA011", "delivery address 2 (TC011)")},
                       {9, col("A.MA004", "contact (TC018)")},
                       {10, col("A.MA012", "agent (TC022)")},
                       {11, col("A.MA013", "customs broker (TC023)")},
                       {12, col("A.MA014", "inspection company (TC024)")},
                       {13, col("A.MA015", "commission rate, a fraction (x 100 into TC026)")},
                       {14, col("A.MA016", "tax type (TC016)")},
                       {15, col("A.MA017", "shipping mode (TC019)")},
                       {16, col("A.MA018", "destination (TC035)")},
                       {17, col("A.MA019", "bank (TC036)")},
                       {18, col("A.MA020", "credit-limit control flag (TC004C2)")},
                       {19, col("A.MA021", "shipping-mark code (TC034)")},
                       {20, col("COALESCE(D.ME002, '')", "department name (TC005C1)")},
                       {21, col("COALESCE(K.MK002, '')", "salesperson name (TC006C1)")},
                       {22, col("COALESCE(G.MA002, '')", "agent name (TC022C1)")},
                       {23, col("COALESCE(B.MA002, '')", "customs broker name (TC023C1)")},
                       {24, col("COALESCE(I.MA002, '')", "inspection company name (TC024C1)")},
                       {25, col("COALESCE(O.MO002, '')", "bank name (TC036C)")},
                       {26, col("COALESCE(M.MD005, '')", "shipping-mark name (TC034C)")},
                       {27, col("A.MA022", "front mark (TC056)")},
                       {28, col("A.MA023", "side mark (TC057)")},
                       {29, col("A.MA024", "carrier for shipping mode 1 (TC025)")},
                       {30, col("A.MA025", "carrier for shipping modes 2 and 3 (TC025)")},
                       {31, col("A.MA026", "original payment terms (TC014)")},
                       {32, col("A.MA027", "order credit-check mode (TC004C3)")},
                       {33, col("A.MA028", "unshipped-order rate (TC004C4)")},
                       {34, col("A.MA029", "deposit rate, a fraction (x 100 into TC045)")},
                       {35, col("A.MA087", "switch MA087C")},
                       {36, col("A.MA003", "full name")},
                       {37, col("A.MA045", "customer group (TC004C8)")},
                       {38, col("A.MA030", "ceased business on YYYYMMDD (TC004C5)")},
                       {40, col("A.MA097", "status MA097C: 2 suspended, 3 closed")}});
}

const char* customerJoins = "{COPMA} A LEFT JOIN {CMSME} D ON D.ME001 = A.MA005 "
                            "LEFT JOIN {CMSMK} K ON K.MK001 = A.MA006 "
                            "LEFT JOIN {COPMA} G ON G.MA001 = A.MA012 "
                            "LEFT JOIN {PURMA} B ON B.MA001 = A.MA013 "
                            "LEFT JOIN {PURMA} I ON I.MA001 = A.MA014 "
                            "LEFT JOIN {CMSMO} O ON O.MO001 = A.MA019 "
                            "LEFT JOIN {EPSMD} M ON M.MD001 = A.MA001 AND M.MD002 = A.MA021 "
                            "WHERE A.MA001 = ?";

void addCustomers(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("COPMA", "01", Data, "customer short name", {"customer code"}, {col("MA002", "short name")},
                            "{COPMA} WHERE MA001 = ?"));
    entries.push_back(entry("COPMA", "02", Counted, "the customer row (same layout as 08)", {"customer code"},
                            customerDefaults(), customerJoins));
    entries.push_back(entry("COPMA", "08", Counted, "the defaults a new order takes from its customer",
                            {"customer code"}, customerDefaults(), customerJoins));
    entries.push_back(entry("COPMA", "09", Counted, "credit settings of a customer", {"customer code"},
                            placed(92, {{0, found()},
                                        {1, col("MA002", "short name")},
                                        {29, col("MA036", "Y takes check method and rate from COPMH")},
                                        {32, col("MA037", "credit check switch")},
                                        {62, col("MA038", "customer whose credit settings apply")},
                                        {79, col("MA039", "Y uses the settings of the customer in 62")},
                                        {85, col("MA040", "check method S: 1 none, 2 warn, other refuse")},
                                        {91, col("MA041", "rate F of unshipped orders")}}),
                            "{COPMA} WHERE MA001 = ?"));
    entries.push_back(entry("COPMH", "01", Data, "credit settings kept apart from the customer", {"customer code"},
                            {col("MH002", "check method S"), col("MH003", "credit limit"),
                             col("MH004", "credit that may be exceeded"), col("MH005", "currency of the limit"),
                             col("MH006", "valid from"), col("MH007", "valid until"), col("MH008", "rate F")},
                            "{COPMH} WHERE MH001 = ?"));
}

void addCustomerItems(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    // A forecast field left empty matches any value of the order.
    std::string forecast = "{COPMF} WHERE MF001 = ? AND MF002 = ?";
    for (const char* column : {"MF003", "MF004", "MF005", "MF006", "MF007", "MF008", "MF009", "MF010"})
        forecast += std::string(" AND (") + column + " = '' OR " + column + " = ?)";
    entries.push_back(entry(
        "COPMF", "01", Data, "a sales forecast line matching the order line",
        {"forecast number", "forecast line", "customer", "department", "salesperson", "item", "warehouse", "unit",
         "currency", "factory"},
        {col("MF001", "forecast number"), col("MF002", "forecast line"), col("MF012", "forecast quantity")}, forecast));
    entries.push_back(
        entry("COPMG", "02", Counted, "the item of a customer item number",
              {"customer", "current item (preferred when several match)", "customer item number"},
              {found(), col("MG002", "item (TD004)"), col("MG004", "customer item name"),
               col("MG005", "customer specification")},
              "{COPMG} WHERE MG001 = ? AND MG003 = ? ORDER BY CASE WHEN MG002 = ? THEN 0 ELSE 1 END, MG002",
              {key(0), key(2), key(1)}));
    entries.push_back(
        entry("EPSMD", "02", Counted, "a shipping mark of a customer", {"customer", "mark code"},
              {found(), col("MD002", "mark code"), col("MD003", "front mark (TC056)"),
               col("MD004", "side mark (TC057)"), col("MD005", "mark name (TC034C)"), col("MD006", "picture file")},
              "{EPSMD} WHERE MD001 = ? AND MD002 = ?"));
}

// The trade-qualification scope of a customer (GSPTH) or a salesperson (GSPTJ). Kinds
// 02 and 03 count 1 when the item lies outside a scope the party has.
void addScope(std::vector<LookupEntry>& entries, const std::string& table, const std::string& p, const std::string& who)
{
    using enum LookupShape;
    entries.push_back(entry(table, "01", Data, "the scope kind of a " + who, {who + " code"},
                            {col(p + "001", who + " code"), col(p + "002", "scope kind: 1 by category, 2 by item")},
                            "{" + table + "} WHERE " + p + "001 = ? ORDER BY " + p + "002"));
    const auto outside = [&](const std::string& kind, const std::string& scopeKind, const std::string& what,
                             std::vector<std::string> keys, std::size_t valueKey) {
        entries.push_back(entry(
            table, kind, Counted, "1 when the item's " + what + " is outside the " + who + "'s scope", std::move(keys),
            {col("CASE WHEN COUNT(*) > 0 AND SUM(CASE WHEN " + p + "003 = ? THEN 1 ELSE 0 END) = 0 THEN 1 ELSE 0 END",
                 "1: outside the scope")},
            "{" + table + "} WHERE " + p + "001 = ? AND " + p + "002 = '" + scopeKind + "'", {key(valueKey), key(0)}));
    };
    outside("02", "1", "category", {who + " code", "item", "item category (GSPMA 01 column 2)"}, 2);
    outside("03", "2", "code", {who + " code", "item"}, 1);
}

} // namespace

void addCustomerLookups(std::vector<LookupEntry>& entries)
{
    addCustomers(entries);
    addCustomerItems(entries);
    addScope(entries, "GSPTH", "TH", "customer");
    addScope(entries, "GSPTJ", "TJ", "salesperson");
}

} // namespace orvane::lookup
