#include "support/TestDatabase.h"

#include "server/catalogue/LookupCatalogue.h"
#include "server/catalogue/LookupQuery.h"
#include "server/schema/DemoSeed.h"

namespace orvane::test {
namespace {

const std::string company(demoCompanyDb);

class CatalogueTest : public SeededBackendTest {
protected:
    // Runs every entry of a catalogue with empty keys: each must prepare, run and
    // answer exactly its declared columns.
    void runAll(const LookupCatalogue& catalogue)
    {
        for (const auto& entry : catalogue.entries()) {
            SCOPED_TRACE(entry.table + " " + entry.kind);
            const Variant keys = Variant::createArray(0, static_cast<int>(entry.keys.size()) - 1);
            const QueryResult result = db_->query(LookupQuery::sql(db_->dialect(), company, entry, false),
                                                  LookupQuery::bindValues(entry, keys));
            EXPECT_EQ(result.columns().size(), entry.columns.size());
        }
    }

    DbRow first(std::string_view table, std::string_view kind, std::vector<Variant> keys)
    {
        LookupQuery query(*db_, company);
        const auto row = query.firstRow(rowLookups().find(table, kind), Variant::arrayOf(std::move(keys)));
        return row ? *row : DbRow{};
    }
};

TEST_P(CatalogueTest, EveryRowLookupAndWindowListRunsWithItsDeclaredColumns)
{
    runAll(rowLookups());
    runAll(windowLists());
}

// A search text finds codes and names blind to the case of ASCII letters, and of those only,
// whatever the backend's locale.
TEST_P(CatalogueTest, PickListsFoldTheCaseOfAsciiLettersOnly)
{
    db_->execute("UPDATE " + db_->dialect().companyTable(company, "COPMA") + " SET MA002 = ? WHERE MA001 = ?",
                 {Variant("ＡＢ商行"), Variant("C002")});
    const LookupEntry& pick = windowLists().find("COPMA", "61");
    const auto found = [&](const char* text) {
        const QueryResult result = db_->query(LookupQuery::sql(db_->dialect(), company, pick, false),
                                              LookupQuery::bindValues(pick, Variant(text)));
        return result.rows.size() == 1 ? result.rows[0][0].toString() : std::to_string(result.rows.size()) + " rows";
    };
    EXPECT_EQ(found("c002"), "C002");
    EXPECT_EQ(found("ＡＢ"), "C002");
    EXPECT_EQ(found("ａｂ"), "0 rows");
}

// Blanks around a typed search text (a code field's padding, a blank typed by habit) are not part of
// it: the list finds what the text finds.
TEST_F(CatalogueTest, PickListsIgnoreBlanksAroundTheTypedText)
{
    const LookupEntry& pick = windowLists().find("COPMA", "61");
    const std::vector<DbRow> rows = LookupQuery(*db_, company).rows(pick, Variant(" c002  "));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "C002");
}

// One seeded key per lookup the demo data can answer that no other case reads (CMSMK 01 and
// COPTA 02 are found by F2RoundTripTest, DMS 01 and CMSMQ 36 by OrderHeadChecksTest, GSPTH 02 by
// OrderLinesTest, ADMMQ 02 by BrokersTest):
// each must be found with a full row. (Every entry's columns run on both backends above.)
TEST_P(CatalogueTest, SeededKeysAreFound)
{
    struct Case {
        const char* table;
        const char* kind;
        std::vector<Variant> keys;
    };
    const std::vector<Case> cases{
        {"BOMMC", "01", {"B100"}},
        {"BOMMD", "05", {"B100", "F100"}},
        {"CMSMB", "01", {"01"}},
        {"CMSMB", "02", {"20250301"}},
        {"CMSMC", "01", {"A01"}},
        {"CMSMC", "02", {"01", "A02"}},
        {"CMSMC", "03", {"A02", "01"}},
        {"CMSMC", "06", {"02"}},
        {"CMSMO", "02", {"B02"}},
        {"CMSMV", "07", {"A100"}},
        {"CMSMW", "01", {"0010"}},
        {"COPMA", "01", {"C002"}},
        {"COPMA", "02", {"C004"}},
        {"COPMA", "09", {"C001"}},
        {"COPMF", "01", {"F25010001", "0001", "C001", "S10", "S001", "A100", "A01", "PCS", "RMB", "01"}},
        {"COPMG", "02", {"C001", "", "HD-A100"}},
        {"COPMH", "01", {"C001"}},
        {"COPTA", "03", {"2101", "2501150001"}},
        {"COPTC", "03", {"2201", "2501200001"}},
        {"EPSMC", "01", {"A100", "PCS", "P01"}},
        {"EPSMD", "02", {"C002", "M01"}},
        {"GSPMA", "01", {"A200"}},
        {"GSPTH", "03", {"C005", "A200"}},
        {"GSPTJ", "01", {"S002"}},
        {"GSPTJ", "02", {"S002", "B200", "PC"}},
        {"INVMB", "03", {"A100"}},
        {"INVMD", "02", {"A100", "CTN"}},
        {"MTPMA", "02", {"01"}},
        {"MTPTD", "01", {"2701", "2502150001", "0001"}},
        {"MTPTE", "01", {"2701", "2502150001"}},
        {"PURMA", "01", {"F003"}},
        {"ZTKMA", "01", {"S002"}},
        {"ZTKMB", "02", {"TAVI52", "2201"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.kind);
        const DbRow row = first(c.table, c.kind, c.keys);
        EXPECT_EQ(row.size(), rowLookups().find(c.table, c.kind).columns.size());
    }
}

// Rows whose cells the client reads by place: each cell as text, and the row's whole width where
// the client copies every column.
TEST_F(CatalogueTest, RowsAnswerTheirCellsWhereTheClientReadsThem)
{
    using Cells = std::vector<std::pair<std::size_t, std::string>>; // by column, as text
    const Cells customerDefaults = {
        {0, "1"},         {1, "华东贸易"}, {2, "S10"},         {3, "S001"},  {4, "RMB"},
        {6, "N30"},       {14, "2"},       {20, "国内业务部"}, {21, "张伟"}, {25, "中国银行上海分行"},
        {26, "华东唛头"}, {29, "F003"},    {31, "月结30天"},   {40, "1"},
    };
    // Column 6 is one the client does not read: it stays empty.
    const Cells item = {
        {1, "LED台灯"}, {2, "12W 白色"}, {3, "PCS"},  {4, "A01"}, {8, "M"},
        {27, "CTN"},    {30, "0.13"},    {39, "139"}, {46, "65"}, {6, ""},
    };
    const struct {
        const char* what;
        const char* table;
        const char* kind;
        std::vector<Variant> keys;
        std::size_t width; // 0: not checked
        Cells cells;
    } cases[] = {
        {"customer defaults in the order the head reads them", "COPMA", "08", {"C001"}, 41, customerDefaults},
        // C002's agent name and rates, and C004's ceasing day, are read by the order's head checks;
        // column 35 is MA087, apart from the deposit rate.
        {"C002's agent and inspector", "COPMA", "08", {"C002"}, 41, {{23, "上海报关行"}, {24, "通标检验"}, {35, "N"}}},
        {"C003's credit switch", "COPMA", "08", {"C003"}, 0, {{40, "2"}}},
        {"an item", "INVMB", "01", {"A100"}, 47, item},
        {"the decimals of JPY", "CMSMF", "01", {"JPY"}, 5, {{1, "2"}, {2, "0"}}},
        {"the decimals of RMB", "CMSMF", "01", {"RMB"}, 0, {{1, "4"}, {2, "2"}}},
        // Code lookups answer their companion from column 0.
        {"a department", "CMSME", "01", {"S10"}, 0, {{0, "国内业务部"}}},
        {"a payment term", "CMSNA", "01", {"2", "N30"}, 0, {{0, "月结30天"}}},
        {"a packing method", "EPSMB", "02", {"A100", "PCS"}, 0, {{0, "P01"}, {3, "1.2"}}},
        {"a trade scope", "GSPTH", "01", {"C002"}, 0, {{1, "1"}}},
        {"a bank", "NOTMA", "01", {"NA01"}, 0, {{1, "6222001234567890"}, {5, "中国银行股份有限公司上海市分行"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DbRow row = first(c.table, c.kind, c.keys);
        ASSERT_FALSE(row.empty());
        if (c.width) {
            EXPECT_EQ(row.size(), c.width);
        }
        for (const auto& [column, text] : c.cells)
            EXPECT_EQ(row.at(column).toString(), text) << "column " << column;
    }
}

// An unknown code is not found through the validator: ServicesTest, BrokersTest. A buyer typed as
// the salesperson and a quotation type typed as the order's are refused by OrderHeadChecksTest, an
// item outside C002's trade scope (and one inside) by OrderLinesTest.
TEST_F(CatalogueTest, FilteredRowsAreNotFound)
{
    EXPECT_TRUE(first("CMSNA", "01", {"1", "TT60"}).empty()); // sales term asked as a purchase term
    EXPECT_TRUE(first("CMSMC", "02", {"02", "A01"}).empty()); // warehouse of another factory
    EXPECT_TRUE(first("COPTA", "02", {"2101", "2501150001", "0001", "C002", "S001", "RMB", "20250301", "20250301", "2"})
                    .empty()); // quotation of another customer
    EXPECT_TRUE(first("COPTB", "02", {"2101", "2501150001", "20241231", "20241231"}).empty()); // not yet valid
    EXPECT_TRUE(first("GSPTH", "02", {"C001", "B100", "PC"}).empty()); // no scope at all: nothing refused
}

// Rates copied from a quotation go through the order's percent fields, which divide by 100; the
// tax rate of a copied line is OrderCommandsTest's.
TEST_F(CatalogueTest, QuotationCopiesAnswerRatesInPercent)
{
    const DbRow head = first("COPTA", "04", {"2101", "2502200001"});
    EXPECT_DOUBLE_EQ(head.at(32).toFloat(), 5.0);  // commission 0.05
    EXPECT_DOUBLE_EQ(head.at(48).toFloat(), 30.0); // deposit 0.3
    LookupQuery query(*db_, company);
    const auto& lines = rowLookups().find("COPTB", "02");
    const auto c002 = query.rows(lines, Variant::arrayOf({"2101", "2502200001", "20250301", "20250301"}));
    ASSERT_EQ(c002.size(), 2u);
    EXPECT_DOUBLE_EQ(c002[0][27].toFloat(), 95.0); // discount 0.95
    EXPECT_DOUBLE_EQ(c002[0][28].toFloat(), 0.0);
}

// Option lines built for a line (COPTD "14" without a feature) must pass the part check
// (COPTD "17") and the feature check (one row per feature), and the quantity they carry must
// be what the client computes from the part check's factors for the same line quantity.
TEST_P(CatalogueTest, DefaultOptionLinesPassThePartCheckWithTheSameQuantity)
{
    LookupQuery query(*db_, company);
    const auto& build = rowLookups().find("COPTD", "14");
    const auto& part = rowLookups().find("COPTD", "17");
    const double lineQty = 4.0;
    const std::vector<std::pair<std::string, std::vector<std::string>>> items{
        {"B100", {"F100/P101", "F200/P201"}}, {"B200", {"F300/P401", "O200/P501", "O200/P502"}}};
    for (const auto& [item, expected] : items) {
        SCOPED_TRACE(item);
        const auto rows = query.rows(build, Variant::arrayOf({"2201", "2502100001", "0001", item, lineQty, ""}));
        std::vector<std::string> chosen;
        for (const auto& row : rows) {
            chosen.push_back(row[0].toString() + "/" + row[2].toString());
            const auto factors = query.firstRow(
                part, Variant::arrayOf({item, row[0].toString(), row[1].toString(), "Y", "N", row[2].toString()}));
            ASSERT_TRUE(factors) << chosen.back();
            const auto c = [&](std::size_t i) { return (*factors)[i].toFloat(); };
            const double qty = lineQty / c(7) * c(8) / c(9) * (1 + c(10)) / c(11) * c(12) / c(13) * (1 + c(14));
            EXPECT_DOUBLE_EQ(row[6].toFloat(), qty) << chosen.back();
        }
        EXPECT_EQ(chosen, expected);
    }
    // B200's structure is kept per 2 units: 4 units take 4 / 2 x 2 x 1.05 network cards.
    const auto b200 = query.rows(build, Variant::arrayOf({"", "", "", "B200", lineQty, ""}));
    ASSERT_EQ(b200.size(), 3u);
    EXPECT_DOUBLE_EQ(b200[1][6].toFloat(), 4.2);
    // With a feature: every part of it, the candidates of the option choice.
    EXPECT_EQ(query.rows(build, Variant::arrayOf({"", "", "", "B200", "", "F300"})).size(), 2u);
}

// The lookup window reads a long list page by page: rows sharing the list's code (the rates of one
// currency) must come in one order on every page, or a page repeats rows and loses others.
TEST_P(CatalogueTest, PagesOfAListWithOneCodeOnManyRowsHoldEachRowOnce)
{
    for (int day = 0; day < 24; ++day) {
        const int dayOfMonth = (day * 7) % 24 + 1; // inserted out of order
        const std::string date = "202501" + std::string(dayOfMonth < 10 ? "0" : "") + std::to_string(dayOfMonth);
        db_->execute("INSERT INTO " + db_->dialect().companyTable(company, "CMSMG") +
                         " (MG001, MG002, MG003, MG004, MG005) VALUES ('XTS', ?, 1, 1, 1)",
                     {Variant(date)});
    }
    LookupQuery query(*db_, company);
    const LookupEntry& rates = windowLists().find("CMSMG", "01");
    const Variant keys = Variant::arrayOf({"XTS", ""});
    const auto dateOf = [](const DbRow& row) { return row.at(2).toString(); };
    std::vector<std::string> whole;
    for (const DbRow& row : query.rows(rates, keys))
        whole.push_back(dateOf(row));
    ASSERT_EQ(whole.size(), 24u);
    for (const std::size_t pageRows : {1u, 3u, 5u}) {
        std::vector<std::string> paged;
        for (std::size_t offset = 0; offset < whole.size(); offset += pageRows)
            for (const DbRow& row : query.rows(rates, keys, offset, pageRows))
                paged.push_back(dateOf(row));
        EXPECT_EQ(paged, whole) << "pages of " << pageRows;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, CatalogueTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
