#include "server/salesorder/ApplyRequests.h"

#include "platform/data/DataSetError.h"
#include "platform/rpc/VariantCodec.h"
#include "platform/text/Base64.h"

#include <algorithm>

namespace orvane {

namespace {

// Kept answers hold no objects.
class NoHandles final : public HandleMapper {
public:
    std::uint64_t handleFor(const DispatchPtr&) override
    {
        throw RpcError(RpcErrorCode::InvalidArguments, "A kept answer holds no objects");
    }
    DispatchPtr objectFor(std::uint64_t) override
    {
        throw RpcError(RpcErrorCode::UnknownHandle, "A kept answer holds no objects");
    }
};

std::int64_t secondsNow()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The result as the wire would carry it, in base64: text both backends store as it is.
std::string encoded(const ApplyResult& result)
{
    NoHandles handles;
    const RpcLimits limits;
    wire::Buffer buffer;
    VariantCodec(handles, limits, TextCodec{}).encode(buffer, result.toVariant());
    return text::toBase64(std::string_view(buffer.data(), buffer.size()));
}

ApplyResult decoded(const std::string& text)
{
    const std::optional<std::string> bytes = text::fromBase64(text);
    if (!bytes)
        throw PacketError("APPLY_REQUEST: a kept answer is not base64");
    NoHandles handles;
    const RpcLimits limits;
    const msgpack::object_handle unpacked = wire::unpackWhole(*bytes, limits, "kept answer");
    return ApplyResult::fromVariant(VariantCodec(handles, limits, TextCodec{}).decode(unpacked.get()));
}

} // namespace

ApplyRequests::ApplyRequests(std::string companyDb, std::string userId, std::chrono::seconds keep)
    : companyDb_(std::move(companyDb)), userId_(std::move(userId)), keep_(keep)
{}

void ApplyRequests::checkId(const std::string& id)
{
    const bool printable = std::all_of(id.begin(), id.end(), [](char c) { return c > ' ' && c < 0x7f; });
    if (id.size() > maxIdLength || !printable)
        throw PacketError("The request identifier of a save must be at most " + std::to_string(maxIdLength) +
                          " printable ASCII characters");
}

std::optional<KeptAnswer> ApplyRequests::find(Database& db, const std::string& id) const
{
    const std::vector<Variant> params{userId_, id, cutoff()};
    const QueryResult found = db.query(
        "SELECT ANSWER, SEQNO FROM " + table(db) + " WHERE USER_ID = ? AND REQUEST_ID = ? AND KEPT_AT >= ?", params);
    if (found.rows.empty())
        return std::nullopt;
    return KeptAnswer{decoded(found.rows[0][0].toString()), found.rows[0][1].toString()};
}

bool ApplyRequests::claim(Database& db, const std::string& id) const
{
    // An answer past its time no longer stands in the way.
    const std::vector<Variant> expired{userId_, id, cutoff()};
    db.execute("DELETE FROM " + table(db) + " WHERE USER_ID = ? AND REQUEST_ID = ? AND KEPT_AT < ?", expired);
    const std::vector<Variant> row{userId_, id, secondsNow()};
    return db.execute(db.dialect().insertIfMissing(table(db), {"USER_ID", "REQUEST_ID", "KEPT_AT"}), row) == 1;
}

void ApplyRequests::keep(Database& db, const std::string& id, const KeptAnswer& answer) const
{
    const std::vector<Variant> values{encoded(answer.result), answer.number, secondsNow(), userId_, id};
    db.execute("UPDATE " + table(db) + " SET ANSWER = ?, SEQNO = ?, KEPT_AT = ? WHERE USER_ID = ? AND REQUEST_ID = ?",
               values);
}

void ApplyRequests::purge(Database& db) const
{
    db.execute("DELETE FROM " + table(db) + " WHERE KEPT_AT < ?", {cutoff()});
}

std::int64_t ApplyRequests::cutoff() const
{
    return secondsNow() - keep_.count();
}

std::string ApplyRequests::table(Database& db) const
{
    return db.dialect().companyTable(companyDb_, "APPLY_REQUEST");
}

} // namespace orvane
