#include "server/schema/SchemaBuilder.h"

#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/schema/OpenOrderAmounts.h"
#include "server/schema/Tables.h"

#include <ctime>

namespace orvane {

namespace {

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out;
}

std::string columnSql(const SqlDialect& dialect, const ColumnDef& column, bool key)
{
    std::string sql = column.name + " " + dialect.columnType(column.type, column.size);
    if (key)
        sql += " NOT NULL";
    // Empty text and zero rather than NULL: the client tells "no value" by an empty field.
    sql += column.type == SqlType::Text || column.type == SqlType::Memo ? " DEFAULT ''" : " DEFAULT 0";
    return sql;
}

bool isKey(const TableDef& table, const std::string& column)
{
    for (const auto& key : table.primaryKey) {
        if (key == column)
            return true;
    }
    return false;
}

const std::string& scopeDb(const TableDef& table, const std::string& companyDb)
{
    static const std::string system;
    return table.scope == TableScope::System ? system : companyDb;
}

void checkVersion(Database& db, const std::string& companyDb)
{
    const int installed = installedSchemaVersion(db, companyDb);
    if (installed > currentSchemaVersion)
        throw DbError(DbErrorKind::General,
                      "The " + (companyDb.empty() ? std::string("system database") : "company database " + companyDb) +
                          " has schema version " + std::to_string(installed) + "; this server knows only version " +
                          std::to_string(currentSchemaVersion) + " and earlier");
    if (installed == currentSchemaVersion)
        return;
    const std::string table = db.dialect().table(companyDb, "SCHEMA_VERSION");
    db.execute(db.dialect().insertIfMissing(table, {"VERSION", "APPLIED_DATE", "CREATE_DATE", "FLAG"}),
               {currentSchemaVersion, todayText(), todayText(), 1});
}

// Version 3 gave the versioned tables ROW_VERSION; a company database made before gets it
// here (its existing rows start at 0: only differences of the count are compared).
void addVersionColumns(Database& db, const std::string& companyDb)
{
    const int installed = installedSchemaVersion(db, companyDb);
    if (installed == 0 || installed >= 3)
        return;
    for (const auto& table : allTables()) {
        if (table.versioned)
            db.executeScript("ALTER TABLE " + db.dialect().table(companyDb, table.name) + " ADD COLUMN " +
                             columnSql(db.dialect(), versionColumn(), false));
    }
}

// The company's write count and the triggers raising it on every kept table.
void countKeptWrites(Database& db, const std::string& companyDb)
{
    const std::string counter = db.dialect().table(companyDb, writeCountTable);
    db.execute(db.dialect().insertIfMissing(counter, {"ID", std::string(writeCountColumn)}), {1, 0});
    for (const auto& table : allTables()) {
        if (isKeptTable(table.name))
            for (const std::string& sql :
                 db.dialect().countWritesSql(companyDb, table.name, writeCountTable, writeCountColumn))
                db.executeScript(sql);
    }
}

// The customers' open amounts and the triggers keeping them; a company database made before they
// were kept has them filled from its orders.
void keepOpenAmounts(Database& db, const std::string& companyDb)
{
    for (const TableTrigger& trigger : openAmountTriggers())
        for (const std::string& sql : db.dialect().triggerSql(companyDb, trigger))
            db.executeScript(sql);
    if (installedSchemaVersion(db, companyDb) >= 5)
        return;
    for (const std::string& sql : openAmountRebuild())
        db.executeScript(db.dialect().companyTables(sql, companyDb));
}

} // namespace

std::string createTableSql(const SqlDialect& dialect, const std::string& companyDb, const TableDef& table)
{
    const std::string& db = scopeDb(table, companyDb);
    std::string sql = "CREATE TABLE IF NOT EXISTS " + dialect.table(db, table.name) + " (\n";
    for (const auto& column : table.columns)
        sql += "  " + columnSql(dialect, column, isKey(table, column.name)) + ",\n";
    for (const auto& column : auditColumns())
        sql += "  " + columnSql(dialect, column, false) + ",\n";
    if (table.versioned)
        sql += "  " + columnSql(dialect, versionColumn(), false) + ",\n";
    sql += "  PRIMARY KEY (" + joined(table.primaryKey) + ")";
    for (const auto& parent : table.parents) {
        sql += ",\n  FOREIGN KEY (" + joined(parent.columns) + ") REFERENCES " +
               dialect.foreignKeyTarget(db, parent.table) + " (" + joined(parent.parentColumns) +
               ") ON UPDATE CASCADE ON DELETE CASCADE";
    }
    return sql + "\n)";
}

std::vector<std::string> createIndexSql(const SqlDialect& dialect, const std::string& companyDb, const TableDef& table)
{
    std::vector<std::string> out;
    int number = 1;
    for (const auto& index : table.indexes) {
        const std::string name = "IX_" + table.name + "_" + std::to_string(number++);
        out.push_back(dialect.createIndex(scopeDb(table, companyDb), table.name, name, index.columns, index.unique));
    }
    return out;
}

void createSchema(Database& db, const std::string& companyDb)
{
    const bool systemOnly = companyDb.empty();
    if (!systemOnly)
        db.ensureCompany(companyDb);
    inTransaction(db, [&] {
        for (const auto& table : allTables()) {
            if (systemOnly && table.scope == TableScope::Company)
                continue;
            db.executeScript(createTableSql(db.dialect(), companyDb, table));
            for (const auto& sql : createIndexSql(db.dialect(), companyDb, table))
                db.executeScript(sql);
        }
        checkVersion(db, "");
        if (!systemOnly) {
            addVersionColumns(db, companyDb);
            countKeptWrites(db, companyDb);
            keepOpenAmounts(db, companyDb);
            checkVersion(db, companyDb);
        }
    });
}

int installedSchemaVersion(Database& db, const std::string& companyDb)
{
    const auto result = db.query("SELECT MAX(VERSION) FROM " + db.dialect().table(companyDb, "SCHEMA_VERSION"));
    return result.rows.empty() ? 0 : static_cast<int>(result.rows[0][0].toIntegerOrZero());
}

std::string todayText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y%m%d", &local);
    return buffer;
}

} // namespace orvane
