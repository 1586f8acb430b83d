#include "server/salesorder/OrderProvider.h"

#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/query/ClientQuery.h"
#include "server/salesorder/OrderReader.h"
#include "server/services/ServiceError.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace orvane {

namespace {

// Whole applies retried when the database reports a transient failure (busy, deadlock).
constexpr int applyAttempts = 5;

struct Request {
    std::string condition;
    std::string order;
};

std::string requestText(const Variant& value, const char* what)
{
    if (value.isUnassignedOrNull())
        return {};
    if (!value.isString())
        throw ServiceError(std::string("pvdMain: the ") + what + " must be text, not " +
                           std::string(typeName(value.type())));
    return value.asString();
}

// The opening request: [condition, order], a condition alone, or nothing for every head.
Request requestOf(const Variant& params)
{
    if (!params.isArray())
        return {requestText(params, "condition"), {}};
    if (params.dimensions() != 1)
        throw ServiceError("pvdMain: the request must be a one-dimensional array [condition, order]");
    const auto elements = params.array().elements();
    return {elements.size() > 0 ? requestText(elements[0], "condition") : std::string(),
            elements.size() > 1 ? requestText(elements[1], "order") : std::string()};
}

} // namespace

OrderProvider::OrderProvider(std::shared_ptr<ServiceContext> context, SessionLogin login, const UserRights& rights,
                             std::chrono::seconds keepAnswers)
    : context_(std::move(context)), login_(std::move(login)),
      requests_(login_.companyDb, login_.userId, keepAnswers), session_{login_.companyId, login_.userId,
                                                                        rights.userGroup,
                                                                        SaveRights(rights.powerData, login_.userId,
                                                                                   rights.groupList),
                                                                        &versions_}
{}

void OrderProvider::setRowLimit(int limit)
{
    const std::lock_guard lock(mutex_);
    rowLimit_ = limit;
}

void OrderProvider::setNumbering(bool on)
{
    const std::lock_guard lock(mutex_);
    numbering_ = on;
}

std::string OrderProvider::lastNumber() const
{
    const std::lock_guard lock(mutex_);
    return lastNumber_;
}

void OrderProvider::setFaultHook(OrderWriter::FaultHook hook)
{
    const std::lock_guard lock(mutex_);
    faultHook_ = std::move(hook);
}

DataPacket OrderProvider::getRecords(int count, const Variant& params, bool reset)
{
    const std::lock_guard lock(mutex_);
    if (reset) {
        selected_ = selectKeys(params);
        next_ = 0;
    }
    DataPacket packet;
    packet.fields = orderHeads().fields();
    const std::size_t remaining = selected_.size() - std::min(next_, selected_.size());
    const std::size_t take = count < 0 ? remaining : std::min(remaining, static_cast<std::size_t>(count));
    if (take > 0) {
        const std::vector<std::vector<Variant>> keys(selected_.begin() + static_cast<std::ptrdiff_t>(next_),
                                                     selected_.begin() + static_cast<std::ptrdiff_t>(next_ + take));
        next_ += take;
        packet.rows = context_->withCompany(
            login_, [&](Database& db) { return OrderReader(db, login_.companyDb, &versions_).heads(keys); });
    }
    packet.endOfData = next_ >= selected_.size();
    return packet;
}

std::vector<std::vector<Variant>> OrderProvider::selectKeys(const Variant& params)
{
    const Request request = requestOf(params);
    return context_->withCompany(login_, [&](Database& db) {
        const QueryScope scope = QueryScope::forTables("COPTC", "COPTD", login_.companyDb);
        const ClientQuery query = bindClientQuery(scope, db.dialect(), request.condition, request.order);
        std::string sql =
            "SELECT COPTC.TC001, COPTC.TC002 FROM " + db.dialect().companyTable(login_.companyDb, "COPTC");
        if (!query.where.empty())
            sql += " WHERE " + query.where;
        // The key breaks ties, so that every opening with the same request pages the same way.
        sql += " ORDER BY " + (query.orderBy.empty() ? std::string() : query.orderBy + ", ");
        sql += "COPTC.TC001, COPTC.TC002";
        std::vector<Variant> values = query.params;
        if (rowLimit_ > 0) {
            sql += " LIMIT ?";
            values.emplace_back(rowLimit_);
        }
        std::vector<std::vector<Variant>> keys;
        for (DbRow& row : db.query(sql, values).rows)
            keys.push_back(std::move(row));
        return keys;
    });
}

ApplyResult OrderProvider::applyUpdates(const Delta& delta, int maxErrors)
{
    return applyUpdates(delta, maxErrors, {});
}

ApplyResult OrderProvider::applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId)
{
    ApplyRequests::checkId(requestId);
    const std::lock_guard lock(mutex_);
    return context_->withCompany(login_, [&](Database& db) {
        purgeKeptAnswers(db);
        if (!requestId.empty()) {
            if (const auto kept = requests_.find(db, requestId))
                return replay(*kept);
        }
        for (int attempt = 1;; ++attempt) {
            try {
                if (maxErrors == 0) {
                    try {
                        return applyOnce(db, delta, maxErrors, WriteMode::AllOrNothing, requestId);
                    } catch (const OrderWriter::Refused&) {
                        // Written again record by record below, which lists every refused record.
                    }
                }
                return applyOnce(db, delta, maxErrors, WriteMode::PerRecord, requestId);
            } catch (const DbError& e) {
                if (!e.transient() || attempt >= applyAttempts)
                    throw;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
        }
    });
}

ApplyResult OrderProvider::applyOnce(Database& db, const Delta& delta, int maxErrors, WriteMode mode,
                                     const std::string& requestId)
{
    ApplyResult result;
    OrderWriter writer(db, login_.companyDb, session_, mode, numbering_, faultHook_);
    // Claimed first: a second save with the same identifier waits here for this one.
    if (!requestId.empty() && !requests_.claim(writer.db(), requestId)) {
        writer.rollback();
        const auto kept = requests_.find(db, requestId);
        if (!kept)
            throw ServiceError("pvdMain: the save with request identifier '" + requestId +
                               "' committed, but its answer is gone");
        return replay(*kept);
    }
    writer.apply(delta, result);
    for (const WrittenVersion& seen : writer.refreshed())
        versions_.remember(*seen.level, seen.key, seen.version);
    result.errorCount = static_cast<int>(result.errors.size());
    result.applied = maxErrors < 0 || result.errorCount <= maxErrors;
    if (!result.applied) {
        writer.rollback();
        return result;
    }
    const std::string number = writer.numbers().empty() ? std::string() : writer.numbers().back();
    if (!requestId.empty())
        requests_.keep(writer.db(), requestId, {result, number});
    writer.commit();
    for (const WrittenVersion& written : writer.written())
        versions_.remember(*written.level, written.key, written.version);
    if (!number.empty())
        lastNumber_ = number;
    return result;
}

ApplyResult OrderProvider::replay(const KeptAnswer& kept)
{
    if (!kept.number.empty())
        lastNumber_ = kept.number;
    return kept.result;
}

void OrderProvider::purgeKeptAnswers(Database& db) const
{
    static std::atomic<std::int64_t> lastPurge{0};
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    std::int64_t last = lastPurge.load();
    if (now - last < 60 || !lastPurge.compare_exchange_strong(last, now))
        return;
    requests_.purge(db);
}

} // namespace orvane
