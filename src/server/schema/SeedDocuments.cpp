// Demonstration documents: two confirmed quotations to copy from (open-ended, so the demo
// never expires), a saved order with its change and price history and an attachment, an
// order of the configurable B100 with its option lines, and a transferred multi-party
// order with its purchase prices and transfer rows. docs/demo-data.md tells which record
// shows which rule.
#include "server/schema/SeedTable.h"

namespace orvane {

namespace {

SeedTable quotationHeads()
{
    return {"COPTA",
            {"TA001", "TA002", "TA003", "TA004", "TA005", "TA006", "TA007", "TA008", "TA009", "TA010", "TA011",
             "TA012", "TA013", "TA014", "TA016", "TA017", "TA018", "TA019", "TA020", "TA021", "TA022", "TA023",
             "TA024", "TA025", "TA026", "TA027", "TA028", "TA029", "TA031", "TA032", "TA033"},
            {{"2101", "2501150001", "20250115", "C001", "S10", "S001",     "01",
              "RMB",  1.0,          "含运费",   "N30",  "2",   "陈经理",   "上海市浦东新区世纪大道100号",
              "",     "",           "",         0.0,    "M01", "上海",     "B01",
              "1",    "F003",       "",         0.0,    "Y",   "20250101", "",
              0.13,   15000.0,      1950.0},
             {"2101",       "2502200001",
              "20250220",   "C002",
              "S20",        "S002",
              "01",         "USD",
              7.2,          "FOB Shanghai",
              "TT60",       "3",
              "John Smith", "88 Harbour Road, Hong Kong",
              "C001",       "F001",
              "F002",       0.05,
              "M01",        "Hong Kong",
              "B02",        "2",
              "F003",       "F004",
              0.3,          "Y",
              "20250101",   "",
              0.0,          4355.0,
              0.0}}};
}

SeedTable quotationLines()
{
    return {"COPTB",
            {"TB001", "TB002", "TB003", "TB004", "TB005", "TB006", "TB007", "TB008", "TB009", "TB010", "TB014",
             "TB015", "TB016", "TB017", "TB018", "TB019", "TB021", "TB022", "TB023", "TB024", "TB025"},
            {{"2101", "2501150001", "0001", "A100", "LED台灯", "12W 白色", 100.0, "PCS",  95.0,   9500.0, 10,
              "A01",  "HD-A100",    "P01",  120.0,  6.0,       1.0,        0.13,  9500.0, 1235.0, "Y"},
             {"2101", "2501150001", "0002", "A200", "LED灯泡", "E27 9W", 500.0, "PCS",  11.0,  5500.0, 5,
              "A01",  "",           "P01",  50.0,   4.25,      1.0,      0.13,  5500.0, 715.0, "Y"},
             {"2101", "2502200001", "0001", "A100", "LED台灯", "12W 白色", 200.0, "PCS",  14.5, 2755.0, 20,
              "A01",  "",           "P01",  240.0,  12.0,      0.95,       0.0,   2755.0, 0.0,  "Y"},
             {"2101", "2502200001", "0002", "A200", "LED灯泡", "E27 9W", 1000.0, "PCS",  1.6, 1600.0, 20,
              "A01",  "",           "P01",  100.0,  8.5,       1.0,      0.0,    1600.0, 0.0, "Y"}}};
}

// Order 2201-2501200001 (C001, one A100 line), 2201-2502100001 (C001, customer order
// PO-2025-018: B100 with its options chosen and an A100 line priced below the floor) and the
// multi-party order 2701-2502150001 (C002 through process 01, already transferred).
SeedTable orderHeads()
{
    return {"COPTC",
            {"TC001", "TC002", "TC003", "TC004", "TC005", "TC006", "TC007", "TC008", "TC009",
             "TC012", "TC016", "TC019", "TC026", "TC027", "TC028", "TC029", "TC030", "TC031",
             "TC039", "TC041", "TC042", "TC045", "TC048", "TC049", "TC050", "TC051", "TC058"},
            {{"2201", "2501200001", "20250120", "C001", "S10",      "S001", "01",  "RMB", 1.0, "", "2", "1", 0.0, "N",
              0.0,    1900.0,       247.0,      20.0,   "20250120", 0.13,   "N30", 0.0,   "N", "", "N", "",  0.0},
             {"2201",        "2502100001", "20250210", "C001", "S10", "S001", "01",    "RMB",  1.0,
              "PO-2025-018", "2",          "1",        0.0,    "N",   0.0,    10150.0, 1319.5, 12.0,
              "20250210",    0.13,         "N30",      0.0,    "N",   "",     "N",     "",     0.0},
             {"2701",     "2502150001", "20250215", "C002", "S20", "S002", "01",   "USD",  7.2,
              "",         "3",          "2",        0.05,   "Y",   0.0,    2610.0, 0.0,    300.0,
              "20250215", 0.0,          "TT60",     0.3,    "N",   "01",   "Y",    "V001", 1.0}}};
}

SeedTable orderLines()
{
    return {
        "COPTD",
        {"TD001", "TD002", "TD003", "TD004", "TD005", "TD006", "TD007", "TD008", "TD009", "TD010", "TD011", "TD012",
         "TD013", "TD016", "TD021", "TD024", "TD025", "TD026", "TD029", "TD030", "TD031", "TD037", "TD038", "TD039"},
        {{"2201",     "2501200001", "0001", "A100", "LED台灯", "12W 白色", "A01", 20.0, 0.0,  "PCS", 95.0,   1900.0,
          "20250130", "N",          "N",    0.0,    0.0,       1.0,        "P01", 24.0, 4.24, 0.13,  1900.0, 247.0},
         {"2201",     "2502100001", "0001", "B100", "定制电脑", "可选配置", "A01", 2.0,  0.0, "PCS", 5000.0,  10000.0,
          "20250220", "N",          "N",    0.0,    0.0,        1.0,        "",    16.0, 3.0, 0.13,  10000.0, 1300.0},
         {"2201",     "2502100001", "0002", "A100", "LED台灯", "12W 白色", "A01", 10.0, 0.0,  "PCS", 15.0,  150.0,
          "20250220", "N",          "N",    0.0,    0.0,       1.0,        "P01", 12.0, 2.12, 0.13,  150.0, 19.5},
         {"2701",     "2502150001", "0001", "A100", "LED台灯", "12W 白色", "A01", 100.0, 0.0, "PCS", 14.5,   1450.0,
          "20250305", "N",          "Y",    0.0,    0.0,       1.0,        "P01", 120.0, 6.0, 0.0,   1450.0, 0.0},
         {"2701",     "2502150001", "0002", "A200", "LED灯泡", "E27 9W", "A01", 200.0, 0.0, "PCS", 5.8,    1160.0,
          "20250305", "N",          "Y",    0.0,    0.0,       1.0,      "P01", 20.0,  1.7, 0.0,   1160.0, 0.0}}};
}

// The options of B100 chosen by default: one part per feature.
SeedTable optionLines()
{
    return {"COPTM",
            {"TM001", "TM002", "TM003", "TM004", "TM005", "TM006", "TM007", "TM008", "TM009", "TM010", "TM011"},
            {{"2201", "2502100001", "0001", "F100", "F", "P101", 2.0, "0010", "1", 0.0, ""},
             {"2201", "2502100001", "0001", "F200", "F", "P201", 2.0, "0010", "1", 0.0, ""}}};
}

// Line 0001 of the multi-party order has purchase prices per stage; line 0002 has none.
std::vector<SeedTable> multiPartyRows()
{
    return {{"MTPTD",
             {"TD001", "TD002", "TD003", "TD004", "TD005", "TD006", "TD007"},
             {{"2701", "2502150001", "0001", "01", "V001", "USD", 12.0}}},
            {"MTPTE",
             {"TE001", "TE002", "TE003", "TE004", "TE005", "TE006", "TE007"},
             {{"2701", "2502150001", "0001", "PRTest50", "3301", "2502160001", "20250216"}}}};
}

// What happened to line 0001 of 2201-2501200001, and what C001 and C002 paid for A100 before.
std::vector<SeedTable> history()
{
    return {{"COPTE",
             {"TE001", "TE002", "TE003", "TE004", "TE005", "TE006", "TE007", "TE008", "TE009", "TE010", "TE011",
              "TE012", "TE013"},
             {{"2201", "2501200001", "0001", "0001", "20250122", "A100", 10.0, 20.0, 95.0, 95.0, "20250130", "20250130",
               "客户追加数量"},
              {"2201", "2501200001", "0001", "0002", "20250124", "A100", 20.0, 20.0, 98.0, 95.0, "20250130", "20250130",
               "价格按报价单调整"}}},
            {"COPTH",
             {"TH001", "TH002", "TH003", "TH004", "TH005", "TH006", "TH007", "TH008", "TH009", "TH010"},
             {{"C001", "A100", "PCS", "RMB", "20241015", 98.0, 50.0, "2201", "2410150001", "0001"},
              {"C001", "A100", "PCS", "RMB", "20241201", 96.0, 100.0, "2201", "2412010001", "0001"},
              {"C001", "A100", "PCS", "RMB", "20250120", 95.0, 20.0, "2201", "2501200001", "0001"},
              {"C001", "A200", "PCS", "RMB", "20241201", 11.5, 300.0, "2201", "2412010001", "0002"},
              {"C002", "A100", "PCS", "USD", "20241110", 14.8, 200.0, "2202", "2411100001", "0001"}}}};
}

} // namespace

std::vector<SeedTable> demoDocumentData()
{
    std::vector<SeedTable> data{quotationHeads(), quotationLines(), orderHeads(), orderLines(), optionLines()};
    for (auto* part : {multiPartyRows, history})
        for (auto& table : part())
            data.push_back(std::move(table));
    data.push_back({"ATTACH",
                    {"PARENT", "COMPANYID", "KEYVALUES", "SEQ", "FILENAME", "DESCRIPTION"},
                    {{"TAVI52", "PRTest50", "2201||2501200001", "0001", "contract-2501200001.pdf", "客户合同扫描件"}}});
    data.push_back(
        {"DOC_NUMBER", {"NUM_TABLE", "NUM_TYPE", "NUM_PREFIX", "NUM_LAST"}, {{"COPTC", "2201", "250120", 1}}});
    return data;
}

} // namespace orvane
