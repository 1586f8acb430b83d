#include "BareOrderWriter.h"

#include "server/salesorder/OrderLevels.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace orvane::bench {
namespace {

// The values of one row: keys as given, text columns a short text, numbers 1.
std::vector<std::string> rowValues(const OrderLevel& level, const std::vector<std::string>& key)
{
    std::vector<std::string> values;
    for (const ColumnDef& column : level.stored()) {
        if (values.size() < key.size())
            values.push_back(key[values.size()]);
        else if (column.type == SqlType::Text || column.type == SqlType::Memo)
            values.push_back(
                std::string(static_cast<std::size_t>(std::min(column.size > 0 ? column.size : 8, 8)), 'x'));
        else
            values.push_back("1");
    }
    return values;
}

// Key columns lead the stored columns of each level.
std::string insertSql(const OrderLevel& level, const std::string& companyDb, bool dollarMarkers)
{
    std::string columns;
    std::string markers;
    for (std::size_t i = 0; i < level.stored().size(); ++i) {
        columns += (i ? ", " : "") + level.stored()[i].name;
        markers += (i ? ", " : "") + (dollarMarkers ? "$" + std::to_string(i + 1) : std::string("?"));
    }
    return "INSERT INTO \"" + companyDb + "\"." + level.name() + " (" + columns + ") VALUES (" + markers + ")";
}

std::vector<std::string> headKey(int lane, long serial)
{
    return {"BARE", std::to_string(lane * 100'000'000L + serial)};
}

std::vector<std::string> lineKey(int lane, long serial, int line)
{
    return {"BARE", std::to_string(lane * 100'000'000L + serial), std::to_string(1000 + line).substr(1)};
}

class SqliteWriter : public BareOrderWriter {
public:
    SqliteWriter(const std::string& systemFile, const std::string& companyDb)
    {
        if (sqlite3_open_v2(systemFile.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail("open");
        sqlite3_busy_timeout(db_, 10000);
        const std::string file = (std::filesystem::path(systemFile).parent_path() / (companyDb + ".db")).string();
        exec("ATTACH DATABASE '" + file + "' AS \"" + companyDb + "\"");
        for (const std::string& schema : {std::string("main"), "\"" + companyDb + "\""})
            exec("PRAGMA " + schema + ".journal_mode = WAL; PRAGMA " + schema + ".synchronous = FULL");
        begin_ = prepare("BEGIN IMMEDIATE");
        commit_ = prepare("COMMIT");
        head_ = prepare(insertSql(orderHeads(), companyDb, false));
        line_ = prepare(insertSql(*orderHeads().child(), companyDb, false));
    }
    ~SqliteWriter() override
    {
        for (sqlite3_stmt* statement : {begin_, commit_, head_, line_})
            sqlite3_finalize(statement);
        sqlite3_close(db_);
    }

    void writeOrder(int lane, long serial) override
    {
        step(begin_, {});
        step(head_, rowValues(orderHeads(), headKey(lane, serial)));
        for (int line = 1; line <= bareLinesPerOrder; ++line)
            step(line_, rowValues(*orderHeads().child(), lineKey(lane, serial, line)));
        step(commit_, {});
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("bare SQLite writer: " + what + ": " + sqlite3_errmsg(db_));
    }
    void exec(const std::string& sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(sql);
    }
    sqlite3_stmt* prepare(const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK)
            fail(sql);
        return statement;
    }
    // Numbers are bound as text too: the columns' affinity stores them as numbers.
    void step(sqlite3_stmt* statement, const std::vector<std::string>& values)
    {
        for (std::size_t i = 0; i < values.size(); ++i)
            sqlite3_bind_text(statement, static_cast<int>(i + 1), values[i].c_str(), static_cast<int>(values[i].size()),
                              SQLITE_TRANSIENT);
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (rc != SQLITE_DONE)
            fail(sqlite3_sql(statement));
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* head_ = nullptr;
    sqlite3_stmt* line_ = nullptr;
};

class PostgresWriter : public BareOrderWriter {
public:
    PostgresWriter(const std::string& connection, const std::string& companyDb) : conn_(PQconnectdb(connection.c_str()))
    {
        if (PQstatus(conn_) != CONNECTION_OK)
            fail("connect");
        prepare("head", insertSql(orderHeads(), companyDb, true));
        prepare("line", insertSql(*orderHeads().child(), companyDb, true));
    }
    ~PostgresWriter() override { PQfinish(conn_); }

    // BEGIN, the 21 rows and COMMIT in one round trip.
    void writeOrder(int lane, long serial) override
    {
        if (!PQenterPipelineMode(conn_))
            fail("pipeline");
        int commands = 0;
        sendText("BEGIN", commands);
        send("head", rowValues(orderHeads(), headKey(lane, serial)), commands);
        for (int line = 1; line <= bareLinesPerOrder; ++line)
            send("line", rowValues(*orderHeads().child(), lineKey(lane, serial, line)), commands);
        sendText("COMMIT", commands);
        if (!PQpipelineSync(conn_))
            fail("sync");
        std::string failure;
        for (int i = 0; i < commands; ++i) {
            while (PGresult* result = PQgetResult(conn_)) {
                const ExecStatusType status = PQresultStatus(result);
                if (failure.empty() && status != PGRES_COMMAND_OK)
                    failure = PQresultErrorMessage(result);
                PQclear(result);
            }
        }
        PQclear(PQgetResult(conn_)); // the sync
        PQexitPipelineMode(conn_);
        if (!failure.empty())
            throw std::runtime_error("bare PostgreSQL writer: " + failure);
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::runtime_error("bare PostgreSQL writer: " + what + ": " + PQerrorMessage(conn_));
    }
    void prepare(const char* name, const std::string& sql)
    {
        PGresult* result = PQprepare(conn_, name, sql.c_str(), 0, nullptr);
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        if (!ok)
            fail(sql);
    }
    void sendText(const char* sql, int& commands)
    {
        if (!PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0))
            fail(sql);
        ++commands;
    }
    void send(const char* name, const std::vector<std::string>& values, int& commands)
    {
        std::vector<const char*> texts;
        for (const std::string& value : values)
            texts.push_back(value.c_str());
        if (!PQsendQueryPrepared(conn_, name, static_cast<int>(texts.size()), texts.data(), nullptr, nullptr, 0))
            fail(name);
        ++commands;
    }

    PGconn* conn_;
};

} // namespace

std::unique_ptr<BareOrderWriter> bareSqliteWriter(const std::string& systemFile, const std::string& companyDb)
{
    return std::make_unique<SqliteWriter>(systemFile, companyDb);
}

std::unique_ptr<BareOrderWriter> barePostgresWriter(const std::string& connection, const std::string& companyDb)
{
    return std::make_unique<PostgresWriter>(connection, companyDb);
}

} // namespace orvane::bench
