// docs/demo-data.md tells a clerk which demo record shows which rule; every record it names
// must be there on a fresh installation, or the guide sends the clerk to nothing.
#include "support/TestDatabase.h"

#include "server/schema/DemoSeed.h"
#include "server/schema/Tables.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace orvane::test {
namespace {

struct Record {
    std::string table;
    std::vector<std::string> key;
};

// The records column (the third) of every table row: `TABLE:key/key`, "\|" standing for "|".
std::vector<Record> documentedRecords()
{
    std::ifstream file(ORVANE_DOCS_DIR "/demo-data.md");
    std::vector<Record> records;
    const std::regex pipe(R"(\\\|)");
    const std::regex record("`([A-Z_0-9]+):([^`]+)`");
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("| ", 0) != 0)
            continue;
        std::stringstream cells(std::regex_replace(line, pipe, "\x1f"));
        std::string cell;
        for (int i = 0; i < 4; ++i)
            std::getline(cells, cell, '|');
        for (std::sregex_iterator it(cell.begin(), cell.end(), record), end; it != end; ++it) {
            Record r{(*it)[1], {}};
            std::stringstream keys((*it)[2].str());
            for (std::string part; std::getline(keys, part, '/');)
                r.key.push_back(std::regex_replace(part, std::regex("\x1f"), "|"));
            records.push_back(std::move(r));
        }
    }
    return records;
}

class DemoDataTest : public SeededBackendTest {};

TEST_F(DemoDataTest, EveryRecordTheGuideNamesExists)
{
    const auto records = documentedRecords();
    ASSERT_GT(records.size(), 80u) << "the records column of docs/demo-data.md was not read";
    for (const auto& r : records) {
        const TableDef* def = findTable(r.table);
        ASSERT_NE(def, nullptr) << r.table;
        ASSERT_EQ(r.key.size(), def->primaryKey.size()) << r.table;
        std::string sql = "SELECT COUNT(*) FROM " + (def->scope == TableScope::System
                                                         ? db_->dialect().systemTable(def->name)
                                                         : db_->dialect().companyTable(demoCompanyDb, def->name));
        std::vector<Variant> values;
        for (std::size_t i = 0; i < r.key.size(); ++i) {
            sql += (i ? " AND " : " WHERE ") + def->primaryKey[i] + " = ?";
            values.emplace_back(r.key[i]);
        }
        EXPECT_EQ(db_->query(sql, values).rows.at(0).at(0).toInteger(), 1) << r.table << " " << r.key.front();
    }
}

} // namespace
} // namespace orvane::test
