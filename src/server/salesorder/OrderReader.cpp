#include "server/salesorder/OrderReader.h"

#include "server/salesorder/StoredValue.h"

#include <algorithm>
#include <unordered_map>

namespace orvane {

namespace {

// Key tuples per statement: enough for a packet of heads in one go, few enough markers
// for every backend.
constexpr std::size_t chunkSize = 100;

// Hands each child row to the parent whose key its leading columns repeat; rows whose
// parent is not among parents (removed meanwhile) are dropped.
void adopt(const OrderLevel& parentLevel, std::vector<PacketRow>& parents, std::vector<PacketRow>& children)
{
    const std::size_t keyCount = parentLevel.key().size();
    std::unordered_map<std::string, PacketRow*> byKey;
    byKey.reserve(parents.size());
    for (PacketRow& parent : parents)
        byKey.emplace(keyText(parent.values, keyCount), &parent);
    for (PacketRow& child : children) {
        const auto it = byKey.find(keyText(child.values, keyCount));
        if (it != byKey.end())
            it->second->nested[0].push_back(std::move(child));
    }
}

// A condition matching the given key tuples, with its parameters. Tuples that share their
// leading columns are asked for as one "last column IN (...)": an OR of full tuples that all
// repeat the document type lets the planner use only the type's part of the key and read every
// document (and line) of that type for each packet.
std::string keyMatch(const OrderLevel& level, std::size_t columns, const std::vector<std::vector<Variant>>& tuples,
                     std::size_t first, std::size_t count, std::vector<Variant>& params)
{
    const auto valueOf = [&](std::size_t t, std::size_t c) {
        return c < tuples[t].size() ? tuples[t][c] : Variant(std::string());
    };
    const std::size_t last = columns - 1;
    std::vector<std::vector<std::size_t>> groups; // tuple indexes sharing the leading columns
    std::unordered_map<std::string, std::size_t> groupOf;
    for (std::size_t t = first; t < first + count; ++t) {
        std::vector<Variant> leading;
        for (std::size_t c = 0; c < last; ++c)
            leading.push_back(valueOf(t, c));
        const auto [it, added] = groupOf.emplace(keyText(leading, last), groups.size());
        if (added)
            groups.emplace_back();
        groups[it->second].push_back(t);
    }
    std::string match;
    for (const std::vector<std::size_t>& group : groups) {
        match += match.empty() ? "(" : " OR (";
        for (std::size_t c = 0; c < last; ++c) {
            match += level.name() + "." + level.key()[c] + " = ? AND ";
            params.push_back(valueOf(group.front(), c));
        }
        match += level.name() + "." + level.key()[last] + " IN (";
        for (std::size_t i = 0; i < group.size(); ++i) {
            match += i ? ", ?" : "?";
            params.push_back(valueOf(group[i], last));
        }
        match += "))";
    }
    return match;
}

} // namespace

std::string keyText(const std::vector<Variant>& values, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count && i < values.size(); ++i) {
        text += values[i].isUnassignedOrNull() ? std::string("\x1e") : values[i].toString();
        text += '\x1f';
    }
    return text;
}

OrderReader::OrderReader(Database& db, std::string companyDb, RowVersions* versions)
    : db_(db), companyDb_(std::move(companyDb)), versions_(versions)
{}

std::vector<PacketRow> OrderReader::heads(const std::vector<std::vector<Variant>>& keys)
{
    const OrderLevel& head = orderHeads();
    const std::size_t keyCount = head.key().size();
    std::vector<const OrderLevel*> levels;
    std::vector<std::vector<PacketRow>> rows;
    for (const OrderLevel* level = &head; level; level = level->child()) {
        levels.push_back(level);
        rows.push_back(rowsOf(*level, keyCount, keys));
    }
    for (std::size_t i = rows.size() - 1; i > 0; --i)
        adopt(*levels[i - 1], rows[i - 1], rows[i]);

    std::unordered_map<std::string, std::size_t> position;
    for (std::size_t i = 0; i < keys.size(); ++i)
        position.emplace(keyText(keys[i], keyCount), i);
    std::vector<PacketRow>& heads = rows.front();
    std::sort(heads.begin(), heads.end(), [&](const PacketRow& a, const PacketRow& b) {
        return position[keyText(a.values, keyCount)] < position[keyText(b.values, keyCount)];
    });
    return std::move(heads);
}

std::optional<PacketRow> OrderReader::record(const OrderLevel& level, const std::vector<Variant>& key)
{
    auto rows = rowsOf(level, key.size(), {key});
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::vector<PacketRow> OrderReader::rowsOf(const OrderLevel& level, std::size_t columns,
                                           const std::vector<std::vector<Variant>>& tuples)
{
    std::vector<PacketRow> rows;
    for (std::size_t first = 0; first < tuples.size(); first += chunkSize)
        readChunk(level, columns, tuples, first, std::min(chunkSize, tuples.size() - first), rows);
    return rows;
}

void OrderReader::readChunk(const OrderLevel& level, std::size_t columns,
                            const std::vector<std::vector<Variant>>& tuples, std::size_t first, std::size_t count,
                            std::vector<PacketRow>& rows)
{
    std::vector<Variant> params;
    std::string sql =
        level.selectSql(db_.dialect(), companyDb_) + " WHERE " + keyMatch(level, columns, tuples, first, count, params);
    sql += " ORDER BY ";
    for (std::size_t k = 0; k < level.key().size(); ++k)
        sql += (k ? ", " : "") + level.name() + "." + level.key()[k];

    const QueryResult result = db_.query(sql, params);
    const auto& stored = level.stored();
    const auto& companions = level.companions();
    const auto fields = level.fields();
    for (const DbRow& dbRow : result.rows) {
        PacketRow row;
        row.values.reserve(fields.size());
        for (std::size_t i = 0; i < stored.size() + companions.size(); ++i)
            row.values.push_back(packetValue(dbRow[i], fields[i].type));
        if (versions_) {
            std::vector<Variant> key;
            for (const int index : level.keyIndexes())
                key.push_back(dbRow[static_cast<std::size_t>(index)]);
            versions_->remember(level, key, dbRow[stored.size() + companions.size()].toIntegerOrZero());
        }
        if (level.child()) {
            row.values.emplace_back();
            row.nested.resize(1);
        }
        rows.push_back(std::move(row));
    }
}

} // namespace orvane
