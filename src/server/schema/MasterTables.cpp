// Shared master data of a company database: factories, warehouses, departments,
// currencies and rates, staff, banks, document types, processes, payment terms, bank
// accounts, suppliers and multi-party trade processes.
#include "server/schema/Tables.h"

namespace orvane {

void addMasterTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back({"CMSMB",
                      TableScope::Company,
                      "factories",
                      {
                          text("MB001", 6, "factory code", "01 key; 02:0"),
                          text("MB002", 30, "factory name", "01:0; 02:1"),
                          text("MB003", 60, "full name"),
                          text("MB004", 72, "address"),
                          text("MB005", 8, "in use from YYYYMMDD (empty: always)", "02 filter"),
                          text("MB006", 8, "in use until YYYYMMDD (empty: always)", "02 filter"),
                          text("MB007", 1, "Y is the default factory for new orders", "02 filter"),
                      },
                      {"MB001"}});
    tables.push_back({"CMSMC",
                      TableScope::Company,
                      "warehouses",
                      {
                          text("MC001", 10, "warehouse code", "01, 02, 03 key; 06:0"),
                          text("MC002", 30, "warehouse name", "01:0; 02:1; 06:1"),
                          text("MC003", 6, "factory the warehouse belongs to", "02, 03, 06 key"),
                          text("MC004", 1, "Y is the factory's default warehouse", "06 filter"),
                          text("MC005", 1, "1 stock warehouse, 2 non-stock"),
                          text("MC006", 60, "remark"),
                      },
                      {"MC001"},
                      {{{"MC003"}}}});
    tables.push_back({"CMSME",
                      TableScope::Company,
                      "departments",
                      {
                          text("ME001", 6, "department code", "01 key"),
                          text("ME002", 30, "department name", "01:0; COPMA 08:20"),
                          text("ME003", 6, "factory"),
                      },
                      {"ME001"}});
    tables.push_back({"CMSMF",
                      TableScope::Company,
                      "currencies and their decimals",
                      {
                          text("MF001", 4, "currency code", "01 key"),
                          text("MF002", 30, "currency name"),
                          integer("MF003", "unit-price decimals (number group 5)", "01:1"),
                          integer("MF004", "amount decimals (number group 6)", "01:2"),
                          integer("MF005", "decimals of number group 7 (tax split)", "01:3"),
                          integer("MF006", "decimals of number group 8", "01:4"),
                      },
                      {"MF001"}});
    tables.push_back({"CMSMG",
                      TableScope::Company,
                      "exchange rates by currency and effective date",
                      {
                          text("MG001", 4, "currency code", "F2; ExchangeRate"),
                          text("MG002", 8, "effective from YYYYMMDD", "F2; ExchangeRate"),
                          number("MG003", "bank buying rate (rate kind I)", "F2; ExchangeRate"),
                          number("MG004", "bank selling rate (rate kind O)", "F2; ExchangeRate"),
                          number("MG005", "customs rate", "F2"),
                      },
                      {"MG001", "MG002"}});
    tables.push_back({"CMSMK",
                      TableScope::Company,
                      "staff",
                      {
                          text("MK001", 10, "staff code", "01 key"),
                          text("MK002", 30, "name", "01:0; COPMA 08:21"),
                          text("MK003", 6, "department"),
                          text("MK004", 10, "roles, one character each: 1 buyer, 2 production, 3 salesperson",
                               "01 filter (second key)"),
                          text("MK005", 8, "left the company on YYYYMMDD"),
                          text("MK006", 60, "e-mail address"),
                      },
                      {"MK001"}});
    tables.push_back({"CMSMO",
                      TableScope::Company,
                      "banks",
                      {
                          text("MO001", 10, "bank code", "02 key"),
                          text("MO002", 40, "bank name", "02:0; COPMA 08:25"),
                          text("MO003", 72, "full name"),
                          text("MO004", 20, "SWIFT code"),
                          text("MO005", 72, "address"),
                      },
                      {"MO001"}});
    tables.push_back(
        {"CMSMQ",
         TableScope::Company,
         "document types and their numbering",
         {
             text("MQ001", 4, "document type", "36 key"),
             text("MQ002", 20, "type name", "36:1"),
             text("MQ003", 2, "document kind (22 sales order, 27 multi-party sales order ...)", "36:2; 36 filter"),
             text("MQ004", 1,
                  "numbering: 1 by day YYMMDD+serial, 2 by month YYMM+serial, 3 serial only, 4 typed by hand", "36:3"),
             integer("MQ005", "digits of the serial part"),
             text("MQ006", 3, "system family (COP)"),
             text("MQ007", 1, "Y applies the selling-price floor", "36:10"),
             text("MQ008", 1, "Y confirms the document on save", "36:11"),
             text("MQ009", 1, "Y runs the after-save confirmation step", "36:12"),
             text("MQ024", 1, "item-entry mode (MQ024C)", "36:18"),
         },
         {"MQ001"}});
    tables.push_back({"CMSMV",
                      TableScope::Company,
                      "documents of items",
                      {
                          text("MV001", 20, "item code", "07 key"),
                          text("MV002", 60, "document reference", "07:0"),
                          text("MV003", 60, "description"),
                      },
                      {"MV001", "MV002"}});
    tables.push_back({"CMSMW",
                      TableScope::Company,
                      "processes (operations)",
                      {
                          text("MW001", 4, "process code", "01 key"),
                          text("MW002", 30, "process name", "01:0"),
                          text("MW003", 10, "work centre"),
                      },
                      {"MW001"}});
    tables.push_back({"CMSNA",
                      TableScope::Company,
                      "payment terms",
                      {
                          text("NA001", 1, "term kind: 1 purchase, 2 sales", "01 key"),
                          text("NA002", 6, "payment-term code", "01 key"),
                          text("NA003", 30, "payment-term name", "01:0"),
                          integer("NA004", "days until due"),
                          text("NA005", 60, "remark"),
                      },
                      {"NA001", "NA002"}});
    tables.push_back({"NOTMA",
                      TableScope::Company,
                      "bank accounts",
                      {
                          text("MA001", 10, "account code", "01 key"),
                          text("MA002", 20, "account number", "01:1"),
                          text("MA003", 10, "bank (CMSMO)"),
                          text("MA004", 4, "currency"),
                          text("MA005", 20, "short name", "01:0"),
                          text("MA006", 40, "bank full name", "01:5"),
                      },
                      {"MA001"}});
    tables.push_back({"PURMA",
                      TableScope::Company,
                      "suppliers (customs brokers, inspection companies and carriers among them)",
                      {
                          text("MA001", 10, "supplier code", "01 key; 61:0"),
                          text("MA002", 20, "short name", "01:0; 61"),
                          text("MA003", 72, "full name", "61"),
                          text("MA004", 30, "contact"),
                          text("MA005", 20, "telephone"),
                          text("MA006", 4, "currency"),
                          text("MA007", 6, "payment term"),
                          text("MA008", 72, "address"),
                      },
                      {"MA001"},
                      {{{"MA002"}}}});
    tables.push_back({"MTPMA",
                      TableScope::Company,
                      "multi-party trade processes",
                      {
                          text("MA001", 2, "process code", "02 key"),
                          text("MA002", 40, "process name", "02:1"),
                          text("MA003", 1, "turnover declaration mode", "02:2"),
                          text("MA004", 10, "downstream supplier (PURMA)", "02:3; 02:4 joined name"),
                          text("MA005", 4, "pricing currency", "02:6"),
                          text("MA006", 6, "payment-term code (CMSNA kind 1)", "02:8; 02:5 joined name"),
                          text("MA007", 30, "company database the process belongs to", "02:10"),
                          text("MA008", 60, "remark"),
                      },
                      {"MA001"}});
}

} // namespace orvane
