#include "server/salesorder/OrderWriter.h"

#include "platform/data/DataSetError.h"
#include "platform/data/RecordSchema.h"
#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/salesorder/OrderReader.h"
#include "server/salesorder/StoredValue.h"
#include "server/schema/SchemaBuilder.h"

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

constexpr std::size_t none = static_cast<std::size_t>(-1);

const std::string& flagColumn()
{
    static const std::string name = "FLAG";
    return name;
}

// The FLAG after one more change: 1..999, then 0.
double nextFlag(double stored)
{
    return static_cast<double>((std::llround(stored) + 1) % 1000);
}

std::string joinedColumns(const std::vector<std::string>& columns, const char* suffix, const char* separator)
{
    std::string out;
    for (std::size_t i = 0; i < columns.size(); ++i)
        out += (i ? separator : "") + columns[i] + suffix;
    return out;
}

} // namespace

// How the fields of one level of the delta map onto an order level.
struct OrderWriter::Level {
    const OrderLevel* order = nullptr;
    std::vector<int> column;          // per delta field: index into order->stored(), or -1
    std::vector<int> packetIndex;     // per delta field: index among the packet fields, or -1 (nested)
    std::vector<int> keyField;        // per key column: its delta field, or -1
    int flagField = -1;               // the delta field of FLAG, or -1
    std::size_t nestedOrdinal = none; // ordinal of the child's field among the delta's DataSet fields
    std::unique_ptr<Level> child;
};

// A record that cannot be written; the rest of the delta goes on.
struct OrderWriter::Refusal {
    std::string message;
    std::vector<Variant> currentValues; // the server's record, for a concurrent change
};

std::string recordContext(const OrderLevel& level, const std::vector<Variant>& key)
{
    std::string text = level.name();
    for (std::size_t i = 0; i < key.size() && i < level.key().size(); ++i)
        text += (i ? ", " : " ") + level.key()[i] + "=" + key[i].toString();
    return text;
}

OrderWriter::OrderWriter(Database& db, std::string companyDb, bool numbering, FaultHook faultHook)
    : db_(db), companyDb_(std::move(companyDb)), numbering_(numbering), faultHook_(std::move(faultHook)),
      numberer_("COPTC")
{
}

OrderWriter::~OrderWriter() = default;

void OrderWriter::apply(const Delta& delta, ApplyResult& result)
{
    const auto top = mapLevel(orderHeads(), delta.fields);
    applyLevel(*top, delta.records, {}, result);
}

std::unique_ptr<OrderWriter::Level> OrderWriter::mapLevel(const OrderLevel& order,
                                                          const std::vector<FieldDef>& fields) const
{
    auto level = std::make_unique<Level>();
    level->order = &order;
    const std::vector<FieldDef> packetFields = order.fields();
    std::size_t ordinal = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& def = fields[i];
        level->column.push_back(def.isNested() ? -1 : order.storedIndex(def.name));
        const auto packet = std::find_if(packetFields.begin(), packetFields.end(), [&](const FieldDef& f) {
            return !f.isNested() && sameFieldName(f.name, def.name);
        });
        level->packetIndex.push_back(packet == packetFields.end() ? -1
                                                                  : static_cast<int>(packet - packetFields.begin()));
        if (!def.isNested())
            continue;
        if (!order.child() || !sameFieldName(def.name, order.nestedName()))
            throw PacketError("Delta of " + order.name() + ": '" + def.name + "' is not a nested level of the order");
        level->nestedOrdinal = ordinal++;
        level->child = mapLevel(*order.child(), def.nested);
    }
    for (const int keyColumn : order.keyIndexes()) {
        const auto it = std::find(level->column.begin(), level->column.end(), keyColumn);
        level->keyField.push_back(it == level->column.end() ? -1 : static_cast<int>(it - level->column.begin()));
    }
    const auto flag = std::find(level->column.begin(), level->column.end(), order.storedIndex(flagColumn()));
    level->flagField = flag == level->column.end() ? -1 : static_cast<int>(flag - level->column.begin());
    return level;
}

void OrderWriter::applyLevel(const Level& level, const std::vector<DeltaRecord>& records,
                             const std::vector<Variant>& parentKey, ApplyResult& result)
{
    for (const DeltaRecord& record : records)
        applyRecord(level, record, parentKey, result);
}

void OrderWriter::applyRecord(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                              ApplyResult& result)
{
    std::string context = level.order->name();
    Transaction savepoint(db_);
    try {
        if (faultHook_)
            faultHook_(level.order->name());
        std::string number;
        std::vector<Variant> key;
        if (record.kind == UpdateStatus::Inserted) {
            key = insert(level, record, parentKey, number, context);
        } else {
            key = originalKey(level, record, parentKey);
            context = recordContext(*level.order, key);
            if (record.kind == UpdateStatus::Deleted) {
                remove(level, record, key);
                savepoint.commit();
                return;
            }
            if (record.kind == UpdateStatus::Modified)
                key = update(level, record, key);
            else
                lockStored(level, key);
        }
        if (level.child && level.nestedOrdinal < record.nested.size())
            applyLevel(*level.child, record.nested[level.nestedOrdinal], key, result);
        savepoint.commit();
        if (!number.empty())
            numbers_.push_back(number);
    } catch (Refusal& refusal) {
        savepoint.rollback();
        result.errors.push_back({record.recordId, record.kind, std::move(refusal.message), context, 0,
                                 std::move(refusal.currentValues)});
    } catch (const NumberingError& e) {
        savepoint.rollback();
        result.errors.push_back({record.recordId, record.kind, e.what(), context, 0, {}});
    } catch (const DbError& e) {
        if (e.kind() != DbErrorKind::Constraint)
            throw;
        savepoint.rollback();
        result.errors.push_back(
            {record.recordId, record.kind, "The key is already in use (" + context + "): " + e.what(), context, 0, {}});
    }
}

std::vector<Variant> OrderWriter::insert(const Level& level, const DeltaRecord& record,
                                         const std::vector<Variant>& parentKey, std::string& number,
                                         std::string& context)
{
    const OrderLevel& order = *level.order;
    const auto& stored = order.stored();
    std::vector<Variant> row(stored.size());
    for (std::size_t i = 0; i < level.column.size() && i < record.current.size(); ++i) {
        if (level.column[i] >= 0)
            row[static_cast<std::size_t>(level.column[i])] = record.current[i];
    }
    const auto& keyIndexes = order.keyIndexes();
    for (std::size_t k = 0; k < order.linkCount(); ++k)
        row[static_cast<std::size_t>(keyIndexes[k])] = parentKey[k];
    if (numbering_ && order.linkCount() == 0) {
        number = assignNumber(row);
        if (!number.empty())
            row[static_cast<std::size_t>(keyIndexes.back())] = number;
    }
    row[static_cast<std::size_t>(order.storedIndex(flagColumn()))] = 1.0;

    std::vector<std::string> columns;
    std::vector<Variant> values;
    for (std::size_t c = 0; c < stored.size(); ++c) {
        if (row[c].isUnassignedOrNull())
            continue;
        StoredFit fit = fitColumn(stored[c], row[c]);
        if (!fit.problem.empty())
            throw Refusal{fit.problem, {}};
        row[c] = fit.value;
        columns.push_back(stored[c].name);
        values.push_back(std::move(fit.value));
    }
    std::vector<Variant> key;
    for (const int index : keyIndexes) {
        const Variant& value = row[static_cast<std::size_t>(index)];
        if (value.isUnassignedOrNull() || value.toString().empty())
            throw Refusal{"Field " + stored[static_cast<std::size_t>(index)].name + " (a key) must have a value", {}};
        key.push_back(value);
    }
    context = recordContext(order, key);
    db_.execute("INSERT INTO " + db_.dialect().companyTable(companyDb_, order.name()) + " (" +
                    joinedColumns(columns, "", ", ") + ") VALUES (" +
                    joinedColumns(std::vector<std::string>(columns.size(), "?"), "", ", ") + ")",
                values);
    return key;
}

std::string OrderWriter::assignNumber(const std::vector<Variant>& row)
{
    const OrderLevel& order = orderHeads();
    const std::string type = row[static_cast<std::size_t>(order.keyIndexes().front())].toString();
    const auto rule = numberer_.rule(db_, companyDb_, type);
    if (!rule || !rule->automatic())
        return {};
    const Variant& dateValue = row[static_cast<std::size_t>(order.storedIndex("TC039"))];
    const std::string date = dateValue.isUnassignedOrNull() || dateValue.toString().empty() ? todayText()
                                                                                            : dateValue.toString();
    return numberer_.nextNumber(db_, companyDb_, type, date, NumberUse::Reserve);
}

std::vector<Variant> OrderWriter::update(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    const double stored = lockStored(level, key);
    checkFlag(level, record, key, stored);

    const int flagIndex = order.storedIndex(flagColumn());
    const auto& keyIndexes = order.keyIndexes();
    std::vector<Variant> newKey = key;
    std::vector<std::string> columns;
    std::vector<Variant> values;
    for (std::size_t i = 0; i < level.column.size() && i < record.current.size(); ++i) {
        const int column = level.column[i];
        if (column < 0 || column == flagIndex || record.current[i].isUnassigned())
            continue;
        const auto keyAt = std::find(keyIndexes.begin(), keyIndexes.end(), column) - keyIndexes.begin();
        const bool isKey = static_cast<std::size_t>(keyAt) < keyIndexes.size();
        if (isKey && static_cast<std::size_t>(keyAt) < order.linkCount())
            continue;
        const ColumnDef& def = order.stored()[static_cast<std::size_t>(column)];
        StoredFit fit = fitColumn(def, record.current[i]);
        if (!fit.problem.empty())
            throw Refusal{fit.problem, {}};
        if (isKey) {
            if (fit.value.toString().empty())
                throw Refusal{"Field " + def.name + " (a key) must have a value", {}};
            newKey[static_cast<std::size_t>(keyAt)] = fit.value;
        }
        columns.push_back(def.name);
        values.push_back(std::move(fit.value));
    }
    columns.push_back(flagColumn());
    values.emplace_back(nextFlag(stored));
    values.insert(values.end(), key.begin(), key.end());
    values.emplace_back(stored);
    const std::int64_t changed =
        db_.execute("UPDATE " + db_.dialect().companyTable(companyDb_, order.name()) + " SET " +
                        joinedColumns(columns, " = ?", ", ") + " WHERE " + whereKey(order, key.size()) +
                        " AND FLAG = ?",
                    values);
    if (changed != 1)
        throw conflict(level, key);
    return newKey;
}

void OrderWriter::remove(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    const double stored = lockStored(level, key);
    checkFlag(level, record, key, stored);
    std::vector<const OrderLevel*> descendants;
    for (const OrderLevel* d = order.child(); d; d = d->child())
        descendants.push_back(d);
    for (auto it = descendants.rbegin(); it != descendants.rend(); ++it) {
        db_.execute("DELETE FROM " + db_.dialect().companyTable(companyDb_, (*it)->name()) + " WHERE " +
                        whereKey(**it, key.size()),
                    key);
    }
    std::vector<Variant> values = key;
    values.emplace_back(stored);
    db_.execute("DELETE FROM " + db_.dialect().companyTable(companyDb_, order.name()) + " WHERE " +
                    whereKey(order, key.size()) + " AND FLAG = ?",
                values);
}

double OrderWriter::lockStored(const Level& level, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    const std::string sql = "SELECT FLAG FROM " + db_.dialect().companyTable(companyDb_, order.name()) + " WHERE " +
                            whereKey(order, key.size()) + " " + std::string(db_.dialect().forUpdate());
    const QueryResult found = db_.query(sql, key);
    if (found.rows.empty())
        throw Refusal{"资料已被其他用户删除 (deleted by another user): " + recordContext(order, key), {}};
    return found.rows[0][0].isNumeric() ? found.rows[0][0].toFloat() : 0.0;
}

void OrderWriter::checkFlag(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key,
                            double stored)
{
    const OrderLevel& order = *level.order;
    if (level.flagField < 0)
        throw Refusal{"The delta of " + order.name() + " carries no FLAG, so changes by other users cannot be detected",
                      {}};
    const Variant& read = static_cast<std::size_t>(level.flagField) < record.original.size()
                              ? record.original[static_cast<std::size_t>(level.flagField)]
                              : Variant();
    if (!read.isNumeric() || std::llround(read.toFloat()) != std::llround(stored))
        throw conflict(level, key);
}

OrderWriter::Refusal OrderWriter::conflict(const Level& level, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    Refusal refusal{"资料已被其他用户更改 (changed by another user): " + recordContext(order, key), {}};
    if (const auto current = OrderReader(db_, companyDb_).record(order, key)) {
        for (const int index : level.packetIndex)
            refusal.currentValues.push_back(index >= 0 ? current->values[static_cast<std::size_t>(index)] : Variant());
    }
    return refusal;
}

std::vector<Variant> OrderWriter::originalKey(const Level& level, const DeltaRecord& record,
                                              const std::vector<Variant>& parentKey) const
{
    const OrderLevel& order = *level.order;
    std::vector<Variant> key;
    for (std::size_t k = 0; k < order.key().size(); ++k) {
        if (k < order.linkCount()) {
            key.push_back(parentKey[k]);
            continue;
        }
        const int field = level.keyField[k];
        if (field < 0 || static_cast<std::size_t>(field) >= record.original.size())
            throw Refusal{"The delta of " + order.name() + " lacks the key field " + order.key()[k], {}};
        key.emplace_back(record.original[static_cast<std::size_t>(field)].toString());
    }
    return key;
}

std::string OrderWriter::whereKey(const OrderLevel& order, std::size_t columns) const
{
    std::vector<std::string> names(order.key().begin(), order.key().begin() + static_cast<std::ptrdiff_t>(columns));
    return joinedColumns(names, " = ?", " AND ");
}

} // namespace orvane
