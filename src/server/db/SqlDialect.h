#pragma once
// The differences between the SQL of our backends, in one place: placeholders,
// transactions, row locks, how a company database is addressed, column types and
// index texts. Nothing else in the server asks which backend it runs on.
//
// Statements are written once with "?" placeholders and unquoted upper-case table
// and column names; a company database is a separate schema (PostgreSQL) or an
// attached database file (SQLite), addressed as "PRTest50".COPTC in both.
// Stateless; any thread may use a dialect.

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Column types of the schema; sizes are in characters.
enum class SqlType { Text, Memo, Float, Integer };

// A trigger on a company table. Its statements name the company's tables {TABLE} and the row
// written OLD and NEW. For INSERT, UPDATE and DELETE they run for each row written: after the write,
// or before it where `before` (the write then goes on); where `changed` is not empty an UPDATE runs
// them only when one of those columns changed. For TRUNCATE, the whole table emptied at once, they
// run once, where the backend has such a write. `sharedRows` are the FROM ... WHERE texts of rows the
// statements read and rely on: where the backend locks rows, they are locked against writers until
// the transaction ends (SQLite locks the whole database for a write).
struct TableTrigger {
    std::string name; // unique in the company database
    std::string table;
    std::string event; // INSERT, UPDATE, DELETE or TRUNCATE
    bool before = false;
    std::vector<std::string> changed;
    std::vector<std::string> sharedRows;
    std::vector<std::string> statements;
};

class SqlDialect {
public:
    virtual ~SqlDialect() = default;

    // "SQLite" or "PostgreSQL", for error texts only.
    virtual std::string_view name() const = 0;
    // The database kind as the client's programs know it ("WhatIs" "SQLTYPE"): 1 SQLite, 2 PostgreSQL.
    virtual int clientSqlType() const = 0;
    // Rewrites "?" placeholders (outside quotes and comments) into the backend's own markers.
    virtual std::string bindMarkers(std::string_view sql) const = 0;
    // The statement that opens a writing transaction.
    virtual std::string_view beginTransaction() const = 0;
    // The statement that opens a transaction only read in, where a run of reads saves by it
    // (SQLite: one read lock instead of one per statement); "" where it would only add work.
    virtual std::string_view beginReadTransaction() const = 0;
    // Appended to a SELECT that locks the rows it reads ("" where the whole database is locked).
    virtual std::string_view forUpdate() const = 0;
    // A table of the system database.
    virtual std::string systemTable(std::string_view table) const = 0;
    // The table named in a foreign-key clause of a table of the same company database.
    virtual std::string foreignKeyTarget(std::string_view companyDb, std::string_view table) const = 0;
    // Column type text for CREATE TABLE.
    virtual std::string columnType(SqlType type, int size) const = 0;
    // CREATE [UNIQUE] INDEX IF NOT EXISTS for a table of a company database, or of the
    // system database when companyDb is empty.
    virtual std::string createIndex(std::string_view companyDb, std::string_view table, std::string_view indexName,
                                    const std::vector<std::string>& columns, bool unique) const = 0;
    // The texts that make every write to a company table (rows inserted, updated or deleted, or the
    // table emptied) raise counterColumn of the one row of counterTable, in the writing transaction:
    // triggers, made again without harm when they exist.
    virtual std::vector<std::string> countWritesSql(std::string_view companyDb, std::string_view table,
                                                    std::string_view counterTable,
                                                    std::string_view counterColumn) const = 0;
    // The texts that make the trigger, made again without harm when it exists (none where the
    // backend has no such write).
    virtual std::vector<std::string> triggerSql(std::string_view companyDb, const TableTrigger& trigger) const = 0;
    // "operand LIKE ?" ("NOT LIKE" where negated) with '\' escaping the wildcards, blind to the case
    // of ASCII letters and of those only: a full-width or accented letter matches as written.
    virtual std::string likeIgnoringCase(std::string_view operand, bool negated) const = 0;
    // A number operand as text, alike on every backend: floatToPlainText's form ("100", "100.5").
    virtual std::string numberText(std::string_view operand) const = 0;

    // A table of a company database: "PRTest50".COPTC. The name must be a plain identifier.
    std::string companyTable(std::string_view companyDb, std::string_view table) const;
    // The same appended to out, for texts built piece by piece.
    void appendCompanyTable(std::string& out, std::string_view companyDb, std::string_view table) const;
    // The statement with each of its {TABLE}s named as a table of the company database.
    std::string companyTables(std::string_view sql, std::string_view companyDb) const;
    // A table of the company database, or of the system database when companyDb is empty.
    std::string table(std::string_view companyDb, std::string_view table) const;
    // Rewrites every DB..TABLE of a client text (outside quotes) into companyTable(DB, TABLE).
    std::string mapCompanyPrefix(std::string_view sql) const;
    // INSERT INTO table (columns) VALUES (?...) ON CONFLICT DO NOTHING.
    std::string insertIfMissing(std::string_view qualifiedTable, const std::vector<std::string>& columns) const;

    // "name" with embedded quotes doubled.
    static std::string quoteIdentifier(std::string_view name);
    // Raises DbError unless name is a plain identifier (letters, digits, "_", not starting
    // with a digit, at most 63 bytes); what names it in the error ("company database").
    static void checkIdentifier(std::string_view name, std::string_view what);

protected:
    // "OLD.A <distinct> NEW.A OR ...": whether an UPDATE changed one of the columns.
    static std::string anyChanged(const std::vector<std::string>& columns, std::string_view distinct);
};

} // namespace orvane
