#include "server/services/CallReads.h"

#include "server/db/DbError.h"
#include "server/schema/Tables.h"

namespace orvane {

namespace {

// The company's count of writes to the kept tables.
const std::string& countSql()
{
    static const std::string sql =
        "SELECT " + std::string(writeCountColumn) + " FROM {" + std::string(writeCountTable) + "} WHERE ID = 1";
    return sql;
}

} // namespace

CallReads::CallReads(Database& db, std::string companyDb, KeptReads* reads)
    : db_(db), companyDb_(std::move(companyDb)), reads_(reads)
{}

ReferenceReads* CallReads::sharedFor(std::string_view sql) const
{
    ReferenceReads* shared = db_.referenceReads();
    if (shared == nullptr || db_.transactionDepth() > 0 || !readsKeptTablesOnly(sql, companyDb_))
        return nullptr;
    return shared;
}

std::optional<std::int64_t> CallReads::trustedCount()
{
    if (!db_.hearsWrites())
        return std::nullopt;
    db_.hearWrites();
    return db_.referenceReads()->trusted(companyDb_);
}

std::int64_t CallReads::countOf(const QueryResult& read, std::uint64_t heardBefore)
{
    const std::int64_t count = read.rows.empty() ? -1 : read.rows[0][0].toIntegerOrZero();
    if (count >= 0 && db_.hearsWrites())
        db_.referenceReads()->trust(companyDb_, count, heardBefore);
    return count;
}

std::int64_t CallReads::writeCount()
{
    std::optional<std::int64_t>& known = count();
    if (!known)
        known = trustedCount();
    if (!known) {
        const std::uint64_t heardBefore = db_.referenceReads()->heardSoFar();
        known = countOf(db_.query(db_.dialect().companyTables(countSql(), companyDb_)), heardBefore);
    }
    return *known;
}

SharedResult CallReads::read(std::string_view sql, std::span<const Variant> params)
{
    ReferenceReads* shared = sharedFor(sql);
    const std::int64_t count = shared != nullptr ? writeCount() : -1;
    if (count >= 0)
        if (SharedResult kept = shared->find(companyDb_, count, sql, params))
            return kept;
    auto answer = std::make_shared<const QueryResult>(db_.query(db_.dialect().companyTables(sql, companyDb_), params));
    if (count >= 0)
        shared->keep(companyDb_, count, sql, params, answer);
    return answer;
}

void CallReads::readAhead(std::vector<ReusedRun> reads)
{
    std::erase_if(reads, [&](const ReusedRun& read) { return reads_->find(read.sql, read.params) != nullptr; });
    // What the shared answers hold at the count last seen is left out; when the count read
    // with the rest has moved on, read() reads it after all.
    ReferenceReads* shared = db_.transactionDepth() == 0 ? db_.referenceReads() : nullptr;
    if (shared != nullptr && !reads_->writeCount)
        reads_->writeCount = trustedCount();
    const bool countRead = shared != nullptr && !reads_->writeCount;
    const std::uint64_t heardBefore = shared != nullptr ? shared->heardSoFar() : 0;
    if (shared != nullptr) {
        const std::int64_t last = reads_->writeCount ? *reads_->writeCount : shared->keptAt(companyDb_);
        std::erase_if(reads, [&](const ReusedRun& read) {
            return sharedFor(read.sql) != nullptr && shared->find(companyDb_, last, read.sql, read.params) != nullptr;
        });
    }
    std::vector<ReusedRun> statements;
    statements.reserve(reads.size() + 1);
    if (countRead)
        statements.push_back({db_.dialect().companyTables(countSql(), companyDb_), {}});
    for (const ReusedRun& read : reads)
        statements.push_back({db_.dialect().companyTables(read.sql, companyDb_), read.params});
    if (statements.empty())
        return;
    std::vector<QueryResult> answers;
    try {
        answers = db_.queryAll(statements);
    } catch (const DbError&) {
        return;
    }
    if (countRead)
        reads_->writeCount = countOf(answers[0], heardBefore);
    const std::size_t first = countRead ? 1 : 0;
    for (std::size_t i = 0; i < reads.size(); ++i) {
        auto answer = std::make_shared<const QueryResult>(std::move(answers[first + i]));
        if (ReferenceReads* keeper = sharedFor(reads[i].sql); keeper != nullptr && *reads_->writeCount >= 0)
            keeper->keep(companyDb_, *reads_->writeCount, reads[i].sql, reads[i].params, answer);
        reads_->keep(reads[i].sql, std::move(reads[i].params), std::move(answer));
    }
}

} // namespace orvane
