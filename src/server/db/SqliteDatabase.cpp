#include "server/db/SqliteDatabase.h"

#include "platform/variant/NumberText.h"
#include "server/db/DbError.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace orvane {

namespace {

DbErrorKind errorKind(int code)
{
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return DbErrorKind::Transient;
    case SQLITE_CONSTRAINT: return DbErrorKind::Constraint;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR: return DbErrorKind::Connection;
    default: return DbErrorKind::General;
    }
}

// SQLite's process-wide settings, made before its first connection opens them for good: no
// count of the memory in use, whose lock and bookkeeping around every allocation were a twentieth
// of a lookup's time (nothing here reads the counts).
void configureSqliteOnce()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); // refused, harmlessly, once SQLite has started
        return true;
    }();
    (void)configured;
}

// SqliteDialect::numberTextFunction: a stored number in the form PostgreSQL writes it; any other
// value as it is.
void writeNumberText(sqlite3_context* context, int, sqlite3_value** args)
{
    std::string text;
    switch (sqlite3_value_type(args[0])) {
    case SQLITE_INTEGER: text = std::to_string(sqlite3_value_int64(args[0])); break;
    case SQLITE_FLOAT: text = text::floatToPlainText(sqlite3_value_double(args[0])); break;
    default: sqlite3_result_value(context, args[0]); return;
    }
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// The collation "C": byte order, as SQLite's own BINARY. Statements written once for both backends
// name it where PostgreSQL must not follow the database's locale (its UPPER then changes ASCII letters
// only, as SQLite's does).
int compareBytes(void*, int leftLength, const void* left, int rightLength, const void* right)
{
    const int common = std::memcmp(left, right, static_cast<std::size_t>(std::min(leftLength, rightLength)));
    return common != 0 ? common : leftLength - rightLength;
}

[[noreturn]] void fail(sqlite3* db, int code, std::string_view sql)
{
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw DbError(errorKind(code), "SQLite: " + sqlHead(sql) + ": " + message);
}

class SqliteStatement : public Statement {
public:
    // flags: SQLITE_PREPARE_PERSISTENT for a statement kept for the connection's life.
    SqliteStatement(sqlite3* db, std::string sql, unsigned flags) : db_(db), sql_(std::move(sql))
    {
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v3(db_, sql_.c_str(), static_cast<int>(sql_.size()), flags, &stmt_, &tail);
        if (rc != SQLITE_OK)
            fail(db_, rc, sql_);
        if (!stmt_)
            throw DbError(DbErrorKind::General, "SQLite: the statement is empty");
        for (; tail && *tail; ++tail) {
            if (*tail != ' ' && *tail != ';' && *tail != '\n' && *tail != '\t' && *tail != '\r') {
                sqlite3_finalize(stmt_);
                throw DbError(DbErrorKind::General,
                              "SQLite: " + sqlHead(sql_) + ": only one statement can be prepared at a time");
            }
        }
    }
    ~SqliteStatement() override { sqlite3_finalize(stmt_); }

    const std::string& sql() const override { return sql_; }

    QueryResult run(std::span<const Variant> params) override
    {
        // Reset and unbound however the run ends: a kept statement never holds a read lock or
        // the values of a failed run into its next one.
        const Finish finish(stmt_);
        bindAll(params);
        QueryResult result;
        for (;;) {
            const int rc = sqlite3_step(stmt_);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                fail(db_, rc, sql_);
            result.rows.push_back(readRow());
        }
        result.columnNames = columnNames();
        result.affected = sqlite3_stmt_readonly(stmt_) ? 0 : sqlite3_changes64(db_);
        return result;
    }

private:
    void bindAll(std::span<const Variant> params)
    {
        const int expected = sqlite3_bind_parameter_count(stmt_);
        if (static_cast<int>(params.size()) != expected)
            throw DbError(DbErrorKind::General, "SQLite: " + sqlHead(sql_) + ": " + std::to_string(params.size()) +
                                                    " parameters given for " + std::to_string(expected) + " markers");
        for (int i = 0; i < expected; ++i) {
            const int rc = bindOne(i + 1, params[static_cast<std::size_t>(i)]);
            if (rc != SQLITE_OK)
                fail(db_, rc, sql_);
        }
    }

    int bindOne(int index, const Variant& value)
    {
        switch (value.type()) {
        case VariantType::Unassigned:
        case VariantType::Null: return sqlite3_bind_null(stmt_, index);
        case VariantType::Boolean: return sqlite3_bind_int(stmt_, index, value.asBoolean() ? 1 : 0);
        case VariantType::Integer: return sqlite3_bind_int64(stmt_, index, value.asInteger());
        case VariantType::Float: return sqlite3_bind_double(stmt_, index, value.asFloat());
        case VariantType::String:
            // Not copied: the value outlives the run, and Finish unbinds it before run() returns.
            return sqlite3_bind_text64(stmt_, index, value.asString().data(), value.asString().size(), SQLITE_STATIC,
                                       SQLITE_UTF8);
        case VariantType::Array:
        case VariantType::Dispatch: break;
        }
        throw DbError(DbErrorKind::General, "SQLite: " + sqlHead(sql_) + ": parameter " + std::to_string(index) +
                                                " is " + std::string(typeName(value.type())) +
                                                "; only single values can be bound");
    }

    struct Finish {
        sqlite3_stmt* stmt;
        ~Finish()
        {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
        }
    };

    DbRow readRow()
    {
        const int columns = sqlite3_column_count(stmt_);
        DbRow row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i) {
            // The cell's value read directly: each sqlite3_column_* call finds the cell again and
            // checks for a failed allocation. The value is used at once, by this connection's thread.
            sqlite3_value* cell = sqlite3_column_value(stmt_, i);
            switch (sqlite3_value_type(cell)) {
            case SQLITE_NULL: row.push_back(Variant::null()); break;
            case SQLITE_INTEGER: row.emplace_back(static_cast<long long>(sqlite3_value_int64(cell))); break;
            case SQLITE_FLOAT: row.emplace_back(sqlite3_value_double(cell)); break;
            default: {
                const auto* data = static_cast<const char*>(sqlite3_value_blob(cell));
                row.emplace_back(std::string(data ? data : "", static_cast<std::size_t>(sqlite3_value_bytes(cell))));
            }
            }
        }
        return row;
    }

    // The names of the result's columns, read once per preparation and shared by its runs:
    // SQLite prepares a statement the schema made stale again in its first step, which may give
    // it other columns, and counts each such preparation.
    const ColumnNames& columnNames()
    {
        const int prepared = sqlite3_stmt_status(stmt_, SQLITE_STMTSTATUS_REPREPARE, 0);
        if (names_ && prepared == namesPrepared_)
            return names_;
        const int columns = sqlite3_column_count(stmt_);
        auto names = std::make_shared<std::vector<std::string>>();
        names->reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i)
            names->emplace_back(sqlite3_column_name(stmt_, i));
        names_ = std::move(names);
        namesPrepared_ = prepared;
        return names_;
    }

    sqlite3* db_;
    std::string sql_;
    sqlite3_stmt* stmt_ = nullptr;
    ColumnNames names_; // the columns as of the preparation counted namesPrepared_
    int namesPrepared_ = 0;
};

} // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, SqliteOptions options)
    : path_(path), options_(std::move(options))
{
    // No mutex of SQLite's own around each call: a connection is used by one thread at a time
    // (the pool leases it whole), and the lock and unlock on every step and column read were a
    // sixth of a lookup's time.
    configureSqliteOnce();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError(DbErrorKind::Connection, "SQLite: cannot open '" + path + "': " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, options_.busyTimeoutMs);
    // Plans never depend on bound values. Otherwise a kept statement with "column LIKE ?" is
    // prepared again at every run with other values (for a plan LIKE could only use with an
    // index of NOCASE columns, which the schema has none of): most of a document number's peek.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_QPSG, 1, nullptr);
    sqlite3_create_function_v2(db_, SqliteDialect::numberTextFunction.data(), 1,
                               SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr, writeNumberText, nullptr,
                               nullptr, nullptr);
    sqlite3_create_collation_v2(db_, "C", SQLITE_UTF8, nullptr, compareBytes, nullptr);
    try {
        executeScript("PRAGMA foreign_keys = ON");
        applyPragmas("main");
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
    if (options_.companyFolder.empty() && path_ != ":memory:")
        options_.companyFolder = std::filesystem::absolute(path_).parent_path().string();
}

SqliteDatabase::~SqliteDatabase()
{
    dropStatements();
    sqlite3_close_v2(db_);
}

bool SqliteDatabase::usable() const
{
    return db_ != nullptr && sqlite3_get_autocommit(db_) != 0;
}

void SqliteDatabase::applyPragmas(const std::string& schema)
{
    if (path_ == ":memory:")
        return;
    // WAL lets readers go on while one writer works; FULL syncs the log at every commit,
    // so a committed order survives a power cut. A page cache of 16 MiB per connection and database keeps
    // a packet of documents with their lines from reading most of its pages from the file
    // again (the default 2 MiB held less than one packet's lines and their indexes).
    executeScript("PRAGMA " + schema + ".journal_mode = WAL; PRAGMA " + schema + ".synchronous = FULL; PRAGMA " +
                  schema + ".cache_size = -16384");
}

std::unique_ptr<Statement> SqliteDatabase::prepare(std::string_view sql)
{
    return std::make_unique<SqliteStatement>(db_, std::string(sql), 0);
}

std::unique_ptr<Statement> SqliteDatabase::prepareCached(std::string_view sql)
{
    return std::make_unique<SqliteStatement>(db_, std::string(sql), SQLITE_PREPARE_PERSISTENT);
}

void SqliteDatabase::executeScript(std::string_view sql)
{
    const std::string text(sql);
    char* message = nullptr;
    const int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return;
    const std::string detail = message ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw DbError(errorKind(rc), "SQLite: " + sqlHead(sql) + ": " + detail);
}

std::string SqliteDatabase::companyFile(const std::string& companyDb) const
{
    SqlDialect::checkIdentifier(companyDb, "company database");
    if (path_ == ":memory:")
        return ":memory:";
    return (std::filesystem::path(options_.companyFolder) / (companyDb + ".db")).string();
}

bool SqliteDatabase::hasCompany(const std::string& companyDb)
{
    const std::string file = companyFile(companyDb);
    return std::ranges::find(attached_, companyDb) != attached_.end() ||
           (file != ":memory:" && std::filesystem::exists(file));
}

void SqliteDatabase::ensureCompany(const std::string& companyDb)
{
    if (const auto found = std::ranges::find(attached_, companyDb); found != attached_.end()) {
        std::rotate(found, found + 1, attached_.end());
        return;
    }
    if (!sqlite3_get_autocommit(db_))
        throw DbError(DbErrorKind::General,
                      "SQLite: company database '" + companyDb + "' cannot be attached inside a transaction");
    makeRoomForCompany(companyDb);
    query("ATTACH DATABASE ? AS " + SqlDialect::quoteIdentifier(companyDb), {companyFile(companyDb)});
    attached_.push_back(companyDb);
    applyPragmas(SqlDialect::quoteIdentifier(companyDb));
}

void SqliteDatabase::makeRoomForCompany(const std::string& companyDb)
{
    const int most = sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, -1);
    if (attached_.size() < static_cast<std::size_t>(most))
        return;
    // An in-memory company database lives only while it is attached.
    if (path_ == ":memory:")
        throw DbError(DbErrorKind::General, "SQLite: company database '" + companyDb +
                                                "' cannot be attached: an in-memory database holds at most " +
                                                std::to_string(most) + " company databases");
    // The kept statements naming it stay: a DETACH expires every prepared statement of the
    // connection, and SQLite prepares each again at its next run, after its company is attached.
    query("DETACH DATABASE " + SqlDialect::quoteIdentifier(attached_.front()));
    attached_.erase(attached_.begin());
}

ConnectionPool::Factory sqliteFactory(const std::filesystem::path& dataFolder)
{
    std::filesystem::create_directories(dataFolder);
    return [folder = dataFolder, shared = std::make_shared<ReferenceReads>()] {
        auto db = std::make_unique<SqliteDatabase>((folder / "orvane.db").string(), SqliteOptions{folder.string()});
        db->shareReferenceReads(shared);
        return db;
    };
}

} // namespace orvane
