#include "server/db/PostgresDatabase.h"

#include "server/db/DbError.h"

#include <libpq-fe.h>

#include <charconv>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

namespace {

// Type identifiers of the built-in types we map to numbers.
constexpr Oid boolOid = 16, int8Oid = 20, int2Oid = 21, int4Oid = 23, float4Oid = 700, float8Oid = 701,
              numericOid = 1700;

using ResultPtr = std::unique_ptr<PGresult, decltype(&PQclear)>;

// A prepared statement the server can no longer run as prepared: a table it reads changed
// its columns ("cached plan must not change result type"), or the server forgot it.
bool staleStatement(const PGresult* result)
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string_view code = state ? state : "";
    return code == "0A000" || code == "26000";
}

DbErrorKind errorKind(const PGresult* result, PGconn* conn)
{
    if (PQstatus(conn) != CONNECTION_OK)
        return DbErrorKind::Connection;
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const std::string_view code = state ? state : "";
    // A stale prepared statement is prepared again when the transaction runs again.
    if (code == "40001" || code == "40P01" || code == "55P03" || staleStatement(result))
        return DbErrorKind::Transient;
    if (code.starts_with("23"))
        return DbErrorKind::Constraint;
    if (code.starts_with("08"))
        return DbErrorKind::Connection;
    return DbErrorKind::General;
}

// Raises DbError unless the result is a success.
void check(PGconn* conn, const PGresult* result, std::string_view sql)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY)
        return;
    std::string message = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    throw DbError(errorKind(result, conn), "PostgreSQL: " + sqlHead(sql) + ": " + message);
}

std::string floatText(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::to_string(value);
}

Variant readValue(const PGresult* result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return Variant::null();
    const std::string text(PQgetvalue(result, row, column), static_cast<std::size_t>(PQgetlength(result, row, column)));
    switch (PQftype(result, column)) {
    case boolOid: return Variant(text == "t" ? 1 : 0);
    case int2Oid:
    case int4Oid:
    case int8Oid: return Variant(static_cast<long long>(std::stoll(text)));
    case float4Oid:
    case float8Oid:
    case numericOid: {
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return Variant(value);
    }
    default: return Variant(text);
    }
}

// The results of one queued command of a pipeline: its first result, the rest read and dropped.
ResultPtr takeResult(PGconn* conn)
{
    ResultPtr first(PQgetResult(conn), &PQclear);
    while (PGresult* more = PQgetResult(conn))
        PQclear(more);
    return first;
}

// The rows (or the count of rows touched) of a successful result.
QueryResult toResult(const PGresult* result)
{
    QueryResult out;
    const int columns = PQnfields(result);
    auto names = std::make_shared<std::vector<std::string>>();
    names->reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        names->emplace_back(PQfname(result, c));
    out.columnNames = std::move(names);
    const int rows = PQntuples(result);
    out.rows.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        DbRow row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(readValue(result, r, c));
        out.rows.push_back(std::move(row));
    }
    const char* touched = PQcmdTuples(const_cast<PGresult*>(result));
    out.affected = touched && *touched && columns == 0 ? std::stoll(touched) : 0;
    return out;
}

// A statement with a name is prepared on the server together with its first run (one round
// trip) and only bound and run afterwards; one without is parsed and planned at every run.
class PostgresStatement : public Statement {
public:
    // names: where the connection's statement names come from; null for an unnamed statement.
    PostgresStatement(PGconn* conn, std::string sql, std::string native, PreparedNames* names = nullptr)
        : conn_(conn), sql_(std::move(sql)), native_(std::move(native)), names_(names),
          name_(names ? names->next() : std::string())
    {}
    ~PostgresStatement() override
    {
        if (prepared_)
            names_->dropped.push_back(name_);
    }

    const std::string& sql() const override { return sql_; }

    QueryResult run(std::span<const Variant> params) override
    {
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size());
        for (std::size_t i = 0; i < params.size(); ++i)
            values[i] = paramText(i, params[i], texts[i]);
        if (!names_) {
            ResultPtr result(PQexecParams(conn_, native_.c_str(), static_cast<int>(values.size()), nullptr,
                                          values.data(), nullptr, nullptr, 0),
                             &PQclear);
            check(conn_, result.get(), sql_);
            return toResult(result.get());
        }
        ResultPtr result = prepared_ ? runPrepared(values) : prepareAndRun(values);
        if (staleStatement(result.get())) {
            // Outside a transaction a stale statement is prepared again at once; inside one the
            // transaction is spoilt, and the error (transient) lets the caller run it again.
            forget();
            if (PQtransactionStatus(conn_) == PQTRANS_IDLE)
                result = prepareAndRun(values);
        }
        check(conn_, result.get(), sql_);
        return toResult(result.get());
    }

    // Queues a run in pipeline mode; its result is read later. Named statements only.
    void send(std::span<const Variant> params)
    {
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size());
        for (std::size_t i = 0; i < params.size(); ++i)
            values[i] = paramText(i, params[i], texts[i]);
        if (!PQsendQueryPrepared(conn_, name_.c_str(), static_cast<int>(params.size()), values.data(), nullptr, nullptr,
                                 0))
            check(conn_, nullptr, sql_);
    }

    void ensurePrepared()
    {
        if (prepared_)
            return;
        // Prepared statements outlive transactions, also rolled-back ones.
        ResultPtr made(PQprepare(conn_, name_.c_str(), native_.c_str(), 0, nullptr), &PQclear);
        check(conn_, made.get(), sql_);
        prepared_ = true;
    }

    // Gives up the server's statement: the next run prepares it again under a new name.
    void forget()
    {
        if (prepared_)
            names_->dropped.push_back(name_);
        prepared_ = false;
        name_ = names_->next();
    }

private:
    // Parameters travel as text and take their type from where they are used.
    const char* paramText(std::size_t index, const Variant& value, std::string& text) const
    {
        switch (value.type()) {
        case VariantType::Unassigned:
        case VariantType::Null: return nullptr;
        case VariantType::Boolean: text = value.asBoolean() ? "1" : "0"; break;
        case VariantType::Integer: text = std::to_string(value.asInteger()); break;
        case VariantType::Float: text = floatText(value.asFloat()); break;
        case VariantType::String:
            if (value.asString().find('\0') != std::string::npos)
                throw DbError(DbErrorKind::General, "PostgreSQL: " + sqlHead(sql_) + ": parameter " +
                                                        std::to_string(index + 1) + " holds a NUL byte");
            text = value.asString();
            break;
        case VariantType::Array:
        case VariantType::Dispatch:
            throw DbError(DbErrorKind::General,
                          "PostgreSQL: " + sqlHead(sql_) + ": parameter " + std::to_string(index + 1) + " is " +
                              std::string(typeName(value.type())) + "; only single values can be bound");
        }
        return text.c_str();
    }

    ResultPtr runPrepared(const std::vector<const char*>& values)
    {
        return ResultPtr(
            PQexecPrepared(conn_, name_.c_str(), static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0),
            &PQclear);
    }

    // Prepares and runs in one round trip; answers the run's result (or the refused
    // preparation's).
    ResultPtr prepareAndRun(const std::vector<const char*>& values)
    {
        if (!PQenterPipelineMode(conn_))
            check(conn_, nullptr, sql_);
        const bool sent = PQsendPrepare(conn_, name_.c_str(), native_.c_str(), 0, nullptr) &&
                          PQsendQueryPrepared(conn_, name_.c_str(), static_cast<int>(values.size()), values.data(),
                                              nullptr, nullptr, 0) &&
                          PQpipelineSync(conn_);
        ResultPtr made = sent ? takeResult(conn_) : ResultPtr(nullptr, &PQclear);
        ResultPtr ran = sent ? takeResult(conn_) : ResultPtr(nullptr, &PQclear);
        ResultPtr sync(sent ? PQgetResult(conn_) : nullptr, &PQclear);
        PQexitPipelineMode(conn_);
        if (!made || PQresultStatus(made.get()) != PGRES_COMMAND_OK)
            return made;
        prepared_ = true;
        return ran;
    }

    PGconn* conn_;
    std::string sql_;
    std::string native_;
    PreparedNames* names_;  // null for an unnamed statement
    std::string name_;      // server-side name; empty for an unnamed statement
    bool prepared_ = false; // the named statement exists on the server
};

// The kept statements of the runs, each prepared on the server, for sending in pipeline mode.
// Every kept statement is a named one of this backend.
std::vector<PostgresStatement*> preparedStatements(std::span<const ReusedRun> runs,
                                                   const std::function<Statement&(std::string_view)>& kept)
{
    std::vector<PostgresStatement*> statements;
    statements.reserve(runs.size());
    for (const ReusedRun& run : runs) {
        auto* statement = static_cast<PostgresStatement*>(&kept(run.sql));
        statement->ensurePrepared();
        statements.push_back(statement);
    }
    return statements;
}

// The results of one queued command: the first failure is kept (later commands of the pipeline
// only report that they were skipped). Answers whether the command failed as a stale statement.
bool collect(PGconn* conn, std::string_view sql, std::optional<DbError>& failure)
{
    bool stale = false;
    while (PGresult* raw = PQgetResult(conn)) {
        ResultPtr result(raw, &PQclear);
        if (failure || PQresultStatus(raw) == PGRES_PIPELINE_ABORTED)
            continue;
        stale = staleStatement(raw);
        try {
            check(conn, raw, sql);
        } catch (const DbError& e) {
            failure = e;
        }
    }
    return stale;
}

} // namespace

PostgresDatabase::PostgresDatabase(const std::string& connection)
{
    conn_ = PQconnectdb(connection.c_str());
    if (PQstatus(conn_) != CONNECTION_OK)
        giveUp("PostgreSQL: cannot connect: " + std::string(PQerrorMessage(conn_)));
    if (PQsetClientEncoding(conn_, "UTF8") != 0)
        giveUp("PostgreSQL: the server does not accept the UTF8 client encoding");
    // The kept statements are key lookups and writes whose best plan does not depend on the
    // values bound: plan each once per connection. Left to choose, the server planned them again
    // run after run (a customer's lookup joins eight tables: 2 ms of planning for 50 µs of work).
    const ResultPtr planning(PQexec(conn_, "SET plan_cache_mode = force_generic_plan"), &PQclear);
    if (PQresultStatus(planning.get()) != PGRES_COMMAND_OK)
        giveUp("PostgreSQL: cannot plan statements once per connection: " + std::string(PQerrorMessage(conn_)));
    const ResultPtr listening(PQexec(conn_, ("LISTEN " + std::string(PostgresDialect::writesChannel)).c_str()),
                              &PQclear);
    if (PQresultStatus(listening.get()) != PGRES_COMMAND_OK)
        giveUp("PostgreSQL: cannot listen for writes to the reference tables: " + std::string(PQerrorMessage(conn_)));
    // Notices ("no transaction in progress" ...) are not errors; keep them off stderr. A message
    // that comes while no statement runs is the server ending the session (shut down, or the
    // process terminated): a fatal one, or a warning of operator intervention (SQLSTATE 57P...).
    PQsetNoticeReceiver(
        conn_,
        [](void* self, const PGresult* notice) {
            const char* severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
            const char* state = PQresultErrorField(notice, PG_DIAG_SQLSTATE);
            const std::string_view level = severity ? severity : "";
            if (level == "FATAL" || level == "PANIC" || std::string_view(state ? state : "").starts_with("57P"))
                static_cast<PostgresDatabase*>(self)->ended_ = true;
        },
        this);
}

void PostgresDatabase::giveUp(std::string message)
{
    while (!message.empty() && message.back() == '\n')
        message.pop_back();
    PQfinish(conn_);
    conn_ = nullptr;
    throw DbError(DbErrorKind::Connection, message);
}

PostgresDatabase::~PostgresDatabase()
{
    dropStatements();
    PQfinish(conn_);
}

bool PostgresDatabase::usable() const
{
    return conn_ && !ended_ && PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) == PQTRANS_IDLE;
}

bool PostgresDatabase::alive()
{
    // Reads what came while the connection lay idle: a session the server ended has its last
    // message (noted by the notice receiver) or its closed socket (a broken status) among it.
    hearWrites();
    return !ended_ && PQstatus(conn_) == CONNECTION_OK;
}

std::unique_ptr<Statement> PostgresDatabase::prepare(std::string_view sql)
{
    // Bad SQL is reported when the statement runs: libpq checks the text on execution.
    return std::make_unique<PostgresStatement>(conn_, std::string(sql), dialect_.bindMarkers(sql));
}

std::unique_ptr<Statement> PostgresDatabase::prepareCached(std::string_view sql)
{
    if (!names_.dropped.empty() && PQtransactionStatus(conn_) == PQTRANS_IDLE)
        deallocateDropped();
    return std::make_unique<PostgresStatement>(conn_, std::string(sql), dialect_.bindMarkers(sql), &names_);
}

void PostgresDatabase::deallocateDropped()
{
    std::string script;
    for (const std::string& name : std::exchange(names_.dropped, {}))
        script += "DEALLOCATE " + name + ";";
    // A failure here (a statement the server forgot already) harms nothing outside a transaction.
    ResultPtr(PQexec(conn_, script.c_str()), &PQclear);
}

void PostgresDatabase::runThenFinish(std::span<const ReusedRun> runs, const std::string& finish)
{
    // Past the cache's size a later statement could push an earlier one out.
    if (runs.size() > statementCacheLimit)
        return Database::runThenFinish(runs, finish);
    const std::vector<PostgresStatement*> statements =
        preparedStatements(runs, [this](std::string_view sql) -> Statement& { return cachedStatement(sql); });
    if (runs.empty())
        return executeScript(finish);

    // The statements and the finishing command in one round trip. The answers are a few bytes
    // each, so sending everything before reading cannot fill the server's output buffer.
    if (!PQenterPipelineMode(conn_))
        check(conn_, nullptr, runs.front().sql);
    for (std::size_t i = 0; i < runs.size(); ++i)
        statements[i]->send(runs[i].params);
    if (!PQsendQueryParams(conn_, finish.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) || !PQpipelineSync(conn_))
        check(conn_, nullptr, finish);

    std::optional<DbError> failure;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (collect(conn_, runs[i].sql, failure))
            statements[i]->forget();
    }
    collect(conn_, finish, failure);
    ResultPtr sync(PQgetResult(conn_), &PQclear);
    PQexitPipelineMode(conn_);
    noteWritesHeard(); // the commit's own notice, before the commit is answered
    if (failure)
        throw *failure;
}

void PostgresDatabase::noteWritesHeard()
{
    bool heard = false;
    while (PGnotify* notice = PQnotifies(conn_)) {
        heard = true;
        PQfreemem(notice);
    }
    if (heard && referenceReads() != nullptr)
        referenceReads()->heard();
}

void PostgresDatabase::hearWrites()
{
    PQconsumeInput(conn_); // what arrived while the connection was idle; a broken one fails its next statement
    noteWritesHeard();
}

std::vector<QueryResult> PostgresDatabase::queryAll(std::span<const ReusedRun> reads)
{
    if (reads.size() < 2 || reads.size() > statementCacheLimit)
        return Database::queryAll(reads);
    const std::vector<PostgresStatement*> statements =
        preparedStatements(reads, [this](std::string_view sql) -> Statement& { return cachedStatement(sql); });
    if (!PQenterPipelineMode(conn_))
        check(conn_, nullptr, reads.front().sql);
    for (std::size_t i = 0; i < reads.size(); ++i)
        statements[i]->send(reads[i].params);
    if (!PQpipelineSync(conn_))
        check(conn_, nullptr, reads.front().sql);

    std::vector<QueryResult> results;
    results.reserve(reads.size());
    std::optional<DbError> failure;
    for (const ReusedRun& read : reads) {
        const ResultPtr result = takeResult(conn_);
        if (failure)
            continue; // skipped after the failure
        try {
            check(conn_, result.get(), read.sql);
            results.push_back(toResult(result.get()));
        } catch (const DbError& e) {
            failure = e;
        }
    }
    ResultPtr sync(PQgetResult(conn_), &PQclear);
    PQexitPipelineMode(conn_);
    if (!failure)
        return results;
    // Inside a transaction the failure has spoilt it either way. Outside one the reads run again
    // one by one, where a statement gone stale is prepared again and a real failure is named as
    // a single read names it.
    if (PQtransactionStatus(conn_) != PQTRANS_IDLE || transactionDepth() > 0)
        throw *failure;
    return Database::queryAll(reads);
}

void PostgresDatabase::executeScript(std::string_view sql)
{
    const std::string text(sql);
    ResultPtr result(PQexec(conn_, text.c_str()), &PQclear);
    noteWritesHeard(); // a COMMIT's own notice among them
    check(conn_, result.get(), sql);
}

bool PostgresDatabase::hasCompany(const std::string& companyDb)
{
    SqlDialect::checkIdentifier(companyDb, "company database");
    return !query("SELECT 1 FROM pg_namespace WHERE nspname = ?", {companyDb}).rows.empty();
}

void PostgresDatabase::ensureCompany(const std::string& companyDb)
{
    if (transactionDepth() > 0)
        throw DbError(DbErrorKind::General,
                      "PostgreSQL: company database '" + companyDb + "' cannot be created inside a transaction");
    if (known_.count(companyDb) > 0)
        return;
    if (!hasCompany(companyDb))
        executeScript("CREATE SCHEMA IF NOT EXISTS " + SqlDialect::quoteIdentifier(companyDb));
    known_.insert(companyDb);
}

} // namespace orvane
