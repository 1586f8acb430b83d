#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/TestDatabase.h"

#include "server/db/Transaction.h"
#include "server/schema/DemoSeed.h"
#include "server/schema/OpenOrderAmounts.h"
#include "server/schema/PasswordHash.h"
#include "server/schema/SchemaBuilder.h"
#include "server/schema/Tables.h"

#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

namespace orvane::test {
namespace {

struct Record {
    std::string table;
    std::vector<std::string> key;
};

// Every record the guide's tables name, written `TABLE:key/key` with "\|" standing for "|".
std::vector<Record> documentedRecords()
{
    std::ifstream file(ORVANE_DOCS_DIR "/demo-data.md");
    std::vector<Record> records;
    const std::regex record("`([A-Z_0-9]+):([^`]+)`");
    for (std::string line; std::getline(file, line);) {
        if (!line.starts_with("| "))
            continue;
        for (std::sregex_iterator it(line.begin(), line.end(), record), end; it != end; ++it) {
            Record r{(*it)[1], {}};
            std::stringstream keys(std::regex_replace((*it)[2].str(), std::regex(R"(\\\|)"), "|"));
            for (std::string part; std::getline(keys, part, '/');)
                r.key.push_back(part);
            records.push_back(std::move(r));
        }
    }
    return records;
}

class SchemaTest : public BackendTest {
protected:
    std::string table(const TableDef& def) const
    {
        return db_->dialect().table(def.scope == TableScope::System ? "" : "PRTest50", def.name);
    }
    std::string company(std::string_view name) const { return db_->dialect().companyTable("PRTest50", name); }
    std::string system(std::string_view name) const { return db_->dialect().systemTable(name); }
    std::int64_t count(std::string_view name)
    {
        return db_->query("SELECT COUNT(*) FROM " + company(name)).rows[0][0].toInteger();
    }
    // The open amount of every customer that has one: as the triggers keep it, or as the orders
    // add up (summed order by order, the credit check's own sum before the amounts were kept).
    std::map<std::string, double> openAmounts(bool kept)
    {
        const std::string sql =
            kept ? "SELECT CUSTOMER, AMOUNT FROM " + company(openAmountTable)
                 : "SELECT C.TC004, SUM((SELECT SUM((D.TD038 + D.TD039) * (D.TD008 - COALESCE(D.TD009, 0)) / D.TD008) "
                   "FROM " +
                       company("COPTD") +
                       " D WHERE D.TD001 = C.TC001 AND D.TD002 = C.TC002 AND D.TD016 = 'N' "
                       "AND D.TD008 > 0 AND COALESCE(D.TD009, 0) < D.TD008) * C.TC009) FROM " +
                       company("COPTC") + " C WHERE C.TC027 = 'Y' GROUP BY C.TC004";
        std::map<std::string, double> amounts;
        for (const DbRow& row : db_->query(sql).rows)
            if (const double amount = row[1].isUnassignedOrNull() ? 0.0 : row[1].toFloat(); amount != 0)
                amounts[row[0].toString()] = std::round(amount * 1e6) / 1e6;
        return amounts;
    }
    // The demonstration database as a server of schema version 1 left it: no DMS_CONTENT, no
    // APPLY_REQUEST, no ROW_VERSION, no open amounts kept.
    void makeVersion1()
    {
        seedDemo(*db_);
        db_->execute("UPDATE " + company("COPTC") + " SET TC027 = 'Y' WHERE TC027 = 'N'");
        for (const char* table : {"COPTC", "COPTD", "COPTM"})
            db_->executeScript("ALTER TABLE " + company(table) + " DROP COLUMN ROW_VERSION");
        for (const char* table : {"DMS_CONTENT", "APPLY_REQUEST", "OPEN_ORDER_AMOUNT"})
            db_->executeScript("DROP TABLE " + company(table));
        for (const std::string& table : {company("SCHEMA_VERSION"), system("SCHEMA_VERSION")})
            db_->execute("UPDATE " + table + " SET VERSION = 1");
    }
};

TEST_P(SchemaTest, CreatingTwiceChangesNothing)
{
    createSchema(*db_, "PRTest50");
    db_->execute("INSERT INTO " + company("CMSMF") + " (MF001, MF002) VALUES (?, ?)", {"RMB", "人民币"});
    createSchema(*db_, "PRTest50");
    EXPECT_EQ(count("CMSMF"), 1);
    EXPECT_EQ(installedSchemaVersion(*db_, ""), currentSchemaVersion);
    EXPECT_EQ(count("SCHEMA_VERSION"), 1);
}

TEST_P(SchemaTest, EveryTableHasItsColumnsAndTheAuditColumns)
{
    createSchema(*db_, "PRTest50");
    for (const auto& def : allTables()) {
        std::string columns;
        for (const auto& column : def.columns)
            columns += column.name + ", ";
        columns += "COMPANY, CREATOR, USR_GROUP, CREATE_DATE, MODIFIER, MODI_DATE, FLAG";
        SCOPED_TRACE(def.name);
        const auto result = db_->query("SELECT " + columns + " FROM " + table(def) + " WHERE 1 = 0");
        EXPECT_EQ(result.columns().size(), def.columns.size() + 7);
    }
    // A fresh row gets empty texts and zero numbers, not NULL.
    db_->execute("INSERT INTO " + company("COPTC") + " (TC001, TC002) VALUES (?, ?)", {"2201", "1"});
    const auto row = db_->query("SELECT TC004, TC009, FLAG, USR_GROUP FROM " + company("COPTC"));
    EXPECT_EQ(row.rows[0][0].toString(), "");
    EXPECT_DOUBLE_EQ(row.rows[0][1].toFloat(), 0.0);
    EXPECT_DOUBLE_EQ(row.rows[0][2].toFloat(), 0.0);
    EXPECT_EQ(row.rows[0][3].toString(), "");
}

// A database made by an older server is brought up to date: the tables added since appear, the
// version is recorded, and nothing stored before is lost.
TEST_P(SchemaTest, Version1GainsWhatCameSinceAndKeepsItsRows)
{
    makeVersion1();
    createSchema(*db_, "PRTest50");
    std::vector<std::int64_t> versions;
    for (const DbRow& row : db_->query("SELECT VERSION FROM " + company("SCHEMA_VERSION") + " ORDER BY VERSION").rows)
        versions.push_back(row[0].toInteger());
    EXPECT_EQ(versions, (std::vector<std::int64_t>{1, currentSchemaVersion}));
    EXPECT_EQ(installedSchemaVersion(*db_, "PRTest50"), currentSchemaVersion);
    EXPECT_EQ(count("DMS_CONTENT"), 0);
    EXPECT_EQ(count("COPTC"), 3); // the demo's orders
    EXPECT_EQ(db_->query("SELECT SUM(ROW_VERSION) FROM " + company("COPTD")).rows[0][0].toIntegerOrZero(), 0);
    EXPECT_EQ(count("APPLY_REQUEST"), 0);
    EXPECT_FALSE(openAmounts(false).empty());
    EXPECT_EQ(openAmounts(true), openAmounts(false)) << "filled from the orders the database had";

    // Writes to the reference tables are counted from now on, by whoever writes; others are not.
    const auto writes = [&] {
        return db_->query("SELECT VERSION FROM " + company("READ_VERSION")).rows.at(0)[0].toIntegerOrZero();
    };
    const std::int64_t before = writes();
    db_->execute("INSERT INTO " + company("CMSMF") + " (MF001) VALUES ('ZZZ')");
    db_->execute("UPDATE " + company("CMSMF") + " SET MF002 = 'z' WHERE MF001 = 'ZZZ'");
    db_->execute("DELETE FROM " + company("CMSMF") + " WHERE MF001 = 'ZZZ'");
    const std::int64_t after = writes();
    EXPECT_EQ(after, before + 3);
    db_->execute("UPDATE " + company("COPTC") + " SET TC004 = TC004");
    EXPECT_EQ(writes(), after);

    // Seeding the upgraded demonstration database adds the documents it lacked.
    seedDemo(*db_);
    EXPECT_EQ(count("DMS_CONTENT"), 2);
}

// Whoever writes the orders, each customer's kept open amount is what its confirmed orders' open
// lines add up to: lines added, changed, moved and removed, orders confirmed and unconfirmed, given
// another customer, rate or key, and removed with their lines.
TEST_P(SchemaTest, OpenAmountsFollowEveryWriteToTheOrders)
{
    seedDemo(*db_);
    const auto write = [&](const std::string& sql, std::vector<Variant> params = {}) {
        db_->execute(db_->dialect().mapCompanyPrefix(sql), params);
    };
    const auto line = [&](const char* order, const char* number, double ordered, double delivered, double amount) {
        write("INSERT INTO PRTest50..COPTD (TD001, TD002, TD003, TD004, TD008, TD009, TD016, TD038, TD039) "
              "VALUES ('2202', ?, ?, 'A100', ?, ?, 'N', ?, ?)",
              {order, number, ordered, delivered, amount, amount * 0.13});
    };
    const std::string head =
        "INSERT INTO PRTest50..COPTC (TC001, TC002, TC004, TC009, TC027) VALUES ('2202', ?, ?, ?, ?)";
    write(head, {"25010001", "C001", 1.0, "Y"});
    write(head, {"25010002", "C003", 7.2, "N"});
    line("25010001", "0001", 10, 0, 1000);
    line("25010001", "0002", 3, 1, 333.33);
    line("25010002", "0001", 7, 0, 70.07);
    const struct {
        const char* what;
        std::string sql;
    } steps[] = {
        {"lines of confirmed and unconfirmed orders", ""},
        {"an order confirmed", "UPDATE PRTest50..COPTC SET TC027 = 'Y' WHERE TC002 = '25010002'"},
        {"a part delivered", "UPDATE PRTest50..COPTD SET TD009 = 4 WHERE TD002 = '25010001' AND TD003 = '0001'"},
        {"a line closed", "UPDATE PRTest50..COPTD SET TD016 = 'Y' WHERE TD002 = '25010001' AND TD003 = '0002'"},
        {"a line's amount", "UPDATE PRTest50..COPTD SET TD038 = 2000 WHERE TD002 = '25010001' AND TD003 = '0001'"},
        {"another rate", "UPDATE PRTest50..COPTC SET TC009 = 7.25 WHERE TC002 = '25010002'"},
        {"another customer", "UPDATE PRTest50..COPTC SET TC004 = 'C006' WHERE TC002 = '25010001'"},
        {"a line moved", "UPDATE PRTest50..COPTD SET TD002 = '25010002', TD003 = '0009' WHERE TD002 = '25010001' "
                         "AND TD003 = '0002'"},
        {"a line reopened", "UPDATE PRTest50..COPTD SET TD016 = 'N' WHERE TD003 = '0009'"},
        {"an order's key, its lines with it", "UPDATE PRTest50..COPTC SET TC002 = '25010009' WHERE TC002 = '25010002'"},
        {"an order unconfirmed", "UPDATE PRTest50..COPTC SET TC027 = 'N' WHERE TC002 = '25010001'"},
        {"a line removed", "DELETE FROM PRTest50..COPTD WHERE TD002 = '25010009' AND TD003 = '0001'"},
        {"an order removed with its lines", "DELETE FROM PRTest50..COPTC WHERE TC002 = '25010009'"},
        {"every order confirmed", "UPDATE PRTest50..COPTC SET TC027 = 'Y'"},
        {"everything delivered", "UPDATE PRTest50..COPTD SET TD009 = TD008"},
    };
    for (const auto& step : steps) {
        if (!step.sql.empty())
            write(step.sql);
        EXPECT_EQ(openAmounts(true), openAmounts(false)) << step.what;
    }
    EXPECT_TRUE(openAmounts(false).empty());
    EXPECT_EQ(db_->query("SELECT COUNT(*) FROM " + company(openAmountTable) + " WHERE AMOUNT <> 0 OR LINES <> 0")
                  .rows[0][0]
                  .toInteger(),
              0)
        << "no open line left: every amount exactly 0";
}

// Two writers at once, each on its own connection: a line added to an order while the order is
// confirmed, each writer first in turn. The second waits for the first and sees its write, and the
// line is counted once.
TEST_P(SchemaTest, ALineAddedWhileItsOrderIsConfirmedIsCountedOnce)
{
    seedDemo(*db_);
    const auto other = store_->connect();
    other->ensureCompany("PRTest50");
    const auto write = [&](Database& db, const std::string& sql) { db.execute(db.dialect().mapCompanyPrefix(sql)); };
    const std::string addLine = "INSERT INTO PRTest50..COPTD (TD001, TD002, TD003, TD008, TD016, TD038) "
                                "VALUES ('2202', '25010001', '0002', 5, 'N', 500)";
    const std::string confirm = "UPDATE PRTest50..COPTC SET TC027 = 'Y' WHERE TC002 = '25010001'";
    for (const bool lineFirst : {true, false}) {
        SCOPED_TRACE(lineFirst ? "the line first" : "the confirmation first");
        write(*db_, "DELETE FROM PRTest50..COPTC WHERE TC002 = '25010001'");
        write(*db_, "INSERT INTO PRTest50..COPTC (TC001, TC002, TC004, TC009, TC027) "
                    "VALUES ('2202', '25010001', 'C001', 1, 'N')");
        write(*db_, "INSERT INTO PRTest50..COPTD (TD001, TD002, TD003, TD008, TD016, TD038) "
                    "VALUES ('2202', '25010001', '0001', 1, 'N', 100)");
        Database& firstDb = lineFirst ? *db_ : *other;
        Database& secondDb = lineFirst ? *other : *db_;
        Transaction first(firstDb);
        write(firstDb, lineFirst ? addLine : confirm);
        std::thread second([&] { inTransaction(secondDb, [&] { write(secondDb, lineFirst ? confirm : addLine); }); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the second is waiting by now
        first.commit();
        second.join();
        EXPECT_EQ(openAmounts(true), openAmounts(false));
        EXPECT_EQ(openAmounts(true)["C001"], 600);
    }
}

TEST_F(SchemaTest, NewerSchemaVersionIsRefused)
{
    createSchema(*db_, "PRTest50");
    db_->execute("INSERT INTO " + company("SCHEMA_VERSION") + " (VERSION) VALUES (?)", {currentSchemaVersion + 1});
    EXPECT_TRUE(contains(errorOf([&] { createSchema(*db_, "PRTest50"); }), "PRTest50"));
}

// The seeded rows themselves are checked where they are used (logins, rights, the guide's records).
TEST_F(SchemaTest, DemoSeedCanRunTwiceAndKeepsTheStoredHashes)
{
    seedDemo(*db_);
    const std::string usersSql = "SELECT USER_ID, PASSWORD_HASH FROM " + system("SYS_USER") + " ORDER BY USER_ID";
    const auto before = db_->query(usersSql);
    seedDemo(*db_);
    const auto users = db_->query(usersSql);
    ASSERT_EQ(users.rows.size(), 2u);
    EXPECT_EQ(users.rows, before.rows) << "seeding again keeps the stored hashes";
    EXPECT_EQ(count("ADMMF"), 2);
}

TEST_F(SchemaTest, DemoSeedMessagesHaveTheirPlaceholders)
{
    seedDemo(*db_);
    const struct {
        const char* type;
        const char* code;
        int placeholders;
    } messages[] = {{"E", "000001", 1}, {"W", "000004", 1}, {"I", "000006", 2},  {"E", "100013", 0},
                    {"I", "100013", 1}, {"W", "100047", 2}, {"E", "1000063", 0}, {"E", "200139", 1}};
    for (const auto& m : messages) {
        const auto text = db_->query(
            "SELECT MSG_TEXT FROM " + system("SYS_MESSAGE") + " WHERE MSG_TYPE = ? AND MSG_CODE = ?", {m.type, m.code});
        ASSERT_EQ(text.rows.size(), 1u) << m.type << m.code;
        const std::string s = text.rows[0][0].toString();
        int count = 0;
        for (std::size_t p = s.find("%s"); p != std::string::npos; p = s.find("%s", p + 2))
            ++count;
        EXPECT_EQ(count, m.placeholders) << m.type << m.code << ": " << s;
    }
}

TEST_F(SchemaTest, DemoSeedReferencesOnlyExistingMasters)
{
    seedDemo(*db_);
    // Each check counts seeded rows of a table whose column points at no row of its master; an
    // empty reference is allowed where the check says so.
    const struct {
        const char *table, *column, *master, *masterColumn;
        bool mayBeEmpty;
        const char* masterFilter = "";
    } checks[] = {
        {"COPMA", "MA005", "CMSME", "ME001", true},
        {"COPMA", "MA006", "CMSMK", "MK001", true},
        {"COPMA", "MA007", "CMSMF", "MF001", false},
        {"COPMA", "MA009", "CMSNA", "NA002", false, " WHERE NA001 = '2'"},
        {"COPMA", "MA019", "CMSMO", "MO001", true},
        {"COPMA", "MA024", "PURMA", "MA001", true},
        {"INVMB", "MB008", "CMSMC", "MC001", false},
        {"CMSMC", "MC003", "CMSMB", "MB001", false},
        {"BOMMD", "MD003", "INVMB", "MB001", false},
        {"BOMMD", "MD001", "BOMMC", "MC001", false},
        {"INVMC", "MC001", "INVMB", "MB001", false},
        {"COPTC", "TC001", "CMSMQ", "MQ001", false},
        {"CMSMF", "MF001", "CMSMG", "MG001", false},
        {"DMS", "DOC_REF", "DMS_CONTENT", "DOC_REF", false},
        {"INVMB", "MB026", "DMS_CONTENT", "DOC_REF", true},
    };
    for (const auto& c : checks) {
        const std::string sql = "SELECT COUNT(*) FROM " + company(c.table) + " WHERE " +
                                (c.mayBeEmpty ? std::string(c.column) + " <> '' AND " : "") + c.column +
                                " NOT IN (SELECT " + c.masterColumn + " FROM " + company(c.master) + c.masterFilter +
                                ")";
        EXPECT_EQ(db_->query(sql).rows.at(0).at(0).toInteger(), 0) << c.table << "." << c.column;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SchemaTest, eachBackend(), backendName);

// docs/demo-data.md tells a clerk which demo record shows which rule; every record it names must
// be there on a fresh installation, or the guide sends the clerk to nothing.
TEST_F(SchemaTest, DemoSeedHoldsEveryRecordTheGuideNames)
{
    seedDemo(*db_);
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

// A column, key or index that does not fit its table is refused by the database as the schema is
// made (EveryTableHasItsColumnsAndTheAuditColumns); a table defined twice would be skipped there.
TEST_F(SchemaTest, TablesAreUniqueAndEveryColumnHasItsMeaning)
{
    std::set<std::string> names;
    for (const auto& def : allTables()) {
        const std::string scoped = (def.scope == TableScope::System ? "system." : "company.") + def.name;
        EXPECT_TRUE(names.insert(scoped).second) << scoped;
        for (const auto& column : def.columns)
            EXPECT_FALSE(column.meaning.empty()) << def.name << "." << column.name;
    }
}

// The right password of a seeded user is taken: every login of the demonstration.
TEST_F(SchemaTest, PasswordHashVerifiesOnlyTheRightPassword)
{
    const std::string hash = hashPassword("秘密 pass", 1000);
    EXPECT_FALSE(verifyPassword("秘密 pas", hash));
    EXPECT_NE(hashPassword("秘密 pass", 1000), hash); // a fresh salt each time
    for (const char* bad :
         {"", "plain", "pbkdf2-sha256$x$00$00", "pbkdf2-sha256$1000$zz$00", "md5$1$00$00", "pbkdf2-sha256$1000$00$"})
        EXPECT_FALSE(verifyPassword("", bad)) << bad;
}

} // namespace
} // namespace orvane::test
