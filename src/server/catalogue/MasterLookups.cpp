// Row lookups of the shared masters: factories, warehouses, departments, currencies,
// staff, banks, document types, item documents, processes, payment terms, trade
// processes, bank accounts and suppliers.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

namespace {

void addPlaces(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("CMSMB", "01", Data, "factory name", {"factory code"}, {col("MB002", "factory name")},
                            "{CMSMB} WHERE MB001 = ?"));
    entries.push_back(entry("CMSMB", "02", Data, "the default factory in use on a date", {"document date YYYYMMDD"},
                            {col("MB001", "factory code"), col("MB002", "factory name")},
                            "{CMSMB} WHERE MB007 = 'Y' AND (MB005 = '' OR MB005 <= ?) AND (MB006 = '' OR MB006 >= ?) "
                            "ORDER BY MB001",
                            {key(0), key(0)}));
    const std::vector<LookupColumn> warehouse{col("MC001", "warehouse code"), col("MC002", "warehouse name")};
    entries.push_back(entry("CMSMC", "01", Data, "warehouse name", {"warehouse code"}, {col("MC002", "warehouse name")},
                            "{CMSMC} WHERE MC001 = ?"));
    entries.push_back(entry("CMSMC", "02", Data, "a warehouse of a factory", {"factory code", "warehouse code"},
                            warehouse, "{CMSMC} WHERE MC003 = ? AND MC001 = ?"));
    entries.push_back(entry("CMSMC", "03", Data, "a warehouse of a factory (warehouse first)",
                            {"warehouse code", "factory code"}, warehouse, "{CMSMC} WHERE MC001 = ? AND MC003 = ?"));
    entries.push_back(entry("CMSMC", "06", Data, "the default warehouse of a factory", {"factory code"}, warehouse,
                            "{CMSMC} WHERE MC003 = ? AND MC004 = 'Y' ORDER BY MC001"));
    entries.push_back(entry("CMSME", "01", Data, "department name", {"department code"},
                            {col("ME002", "department name")}, "{CMSME} WHERE ME001 = ?"));
    entries.push_back(entry("CMSMW", "01", Data, "process name", {"process code"}, {col("MW002", "process name")},
                            "{CMSMW} WHERE MW001 = ?"));
}

void addMoneyAndPeople(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(
        entry("CMSMF", "01", Counted, "decimals of a currency", {"currency code"},
              {found(), col("MF003", "unit-price decimals (group 5)"), col("MF004", "amount decimals (group 6)"),
               col("MF005", "decimals of group 7 (tax split)"), col("MF006", "decimals of group 8")},
              "{CMSMF} WHERE MF001 = ?"));
    // The role filter finds the role character anywhere in MK004; REPLACE works alike on both backends.
    entries.push_back(
        entry("CMSMK", "01", Data, "staff name, with a role filter",
              {"staff code", "role (3 salesperson; empty: any)", "not used", "not used"}, {col("MK002", "name")},
              "{CMSMK} WHERE MK001 = ? AND (? = '' OR REPLACE(MK004, ?, '') <> MK004)", {key(0), key(1), key(1)}));
    entries.push_back(
        entry("CMSMO", "02", Data, "bank name", {"bank code"}, {col("MO002", "bank name")}, "{CMSMO} WHERE MO001 = ?"));
    entries.push_back(entry("CMSNA", "01", Data, "payment-term name", {"term kind (2 sales)", "payment-term code"},
                            {col("NA003", "payment-term name")}, "{CMSNA} WHERE NA001 = ? AND NA002 = ?"));
    entries.push_back(
        entry("NOTMA", "01", Data, "a bank account", {"account code"},
              {col("N.MA005", "short name"), col("N.MA002", "account number"), col("N.MA003", "bank"),
               col("N.MA004", "currency"), col("COALESCE(O.MO002, '')", "bank name"), col("N.MA006", "bank full name")},
              "{NOTMA} N LEFT JOIN {CMSMO} O ON O.MO001 = N.MA003 WHERE N.MA001 = ?"));
    entries.push_back(entry("PURMA", "01", Data, "supplier short name", {"supplier code"}, {col("MA002", "short name")},
                            "{PURMA} WHERE MA001 = ?"));
}

void addDocumentTypes(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(entry("CMSMQ", "36", Counted, "a document type of the allowed kinds",
                            {"document type", "allowed kind 1 (22)", "allowed kind 2 (27)", "not used", "user code"},
                            placed(19, {{0, found()},
                                        {1, col("MQ002", "type name (TC001C1)")},
                                        {2, col("MQ003", "document kind (TC001C2)")},
                                        {3, col("MQ004", "numbering: 1 by day, 2 by month, 3 serial, 4 typed")},
                                        {4, col("MQ005", "digits of the serial")},
                                        {5, col("MQ006", "system family")},
                                        {10, col("MQ007", "Y applies the selling-price floor")},
                                        {11, col("MQ008", "Y confirms on save")},
                                        {12, col("MQ009", "Y runs the after-save confirmation step")},
                                        {18, col("MQ024", "item-entry mode (MQ024C)")}}),
                            "{CMSMQ} WHERE MQ001 = ? AND MQ003 IN (?, ?)", {key(0), key(1), key(2)}));
    entries.push_back(entry("CMSMV", "07", Data, "the document reference of an item", {"item code"},
                            {col("MV002", "document reference"), col("MV003", "description")},
                            "{CMSMV} WHERE MV001 = ? ORDER BY MV002"));
    entries.push_back(entry("MTPMA", "02", Counted, "a multi-party trade process", {"process code"},
                            placed(11, {{0, found()},
                                        {1, col("M.MA002", "process name (TC049C1)")},
                                        {2, col("M.MA003", "turnover declaration mode (TC049C2)")},
                                        {3, col("M.MA004", "downstream supplier (TC049C3, TC051)")},
                                        {4, col("COALESCE(P.MA002, '')", "supplier name (TC049C4)")},
                                        {5, col("COALESCE(T.NA003, '')", "payment-term name (TC049C7)")},
                                        {6, col("M.MA005", "pricing currency (TC049C5)")},
                                        {8, col("M.MA006", "payment-term code (TC049C6)")},
                                        {10, col("M.MA007", "company database of the process")}}),
                            "{MTPMA} M LEFT JOIN {PURMA} P ON P.MA001 = M.MA004 "
                            "LEFT JOIN {CMSNA} T ON T.NA001 = '1' AND T.NA002 = M.MA006 WHERE M.MA001 = ?"));
}

} // namespace

void addMasterLookups(std::vector<LookupEntry>& entries)
{
    addPlaces(entries);
    addMoneyAndPeople(entries);
    addDocumentTypes(entries);
}

} // namespace orvane::lookup
