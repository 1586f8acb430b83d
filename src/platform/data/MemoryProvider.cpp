#include "platform/data/MemoryProvider.h"

#include "platform/data/DataSetError.h"
#include "platform/data/FilterExpression.h"
#include "platform/data/PacketShape.h"
#include "platform/text/ByteText.h"

#include <algorithm>

namespace orvane {

namespace {

int fieldIndex(const std::vector<FieldDef>& fields, std::string_view name)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(fields[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Ordinal of field `index` among the DataSet fields.
std::size_t nestedOrdinal(const std::vector<FieldDef>& fields, std::size_t index)
{
    return static_cast<std::size_t>(std::count_if(fields.begin(), fields.begin() + static_cast<std::ptrdiff_t>(index),
                                                  [](const FieldDef& f) { return f.isNested(); }));
}

PacketRow emptyRow(const std::vector<FieldDef>& fields)
{
    PacketRow row;
    for (const FieldDef& def : fields) {
        row.values.push_back(def.isNested() ? Variant() : Variant::null());
    }
    row.nested.resize(packet::nestedFieldCount(fields));
    return row;
}

bool sameValue(const Variant& a, const Variant& b)
{
    if (a.isUnassignedOrNull() || b.isUnassignedOrNull()) {
        return a.isUnassignedOrNull() == b.isUnassignedOrNull();
    }
    if (a.isNumeric() && b.isNumeric()) {
        return a.toFloat() == b.toFloat();
    }
    return a == b;
}

class PacketRowView : public FilterRow {
public:
    explicit PacketRowView(const PacketRow& row) : row_(row) {}
    Variant value(int field) const override { return row_.values[static_cast<std::size_t>(field)]; }

private:
    const PacketRow& row_;
};

struct OrderKey {
    int field;
    bool descending;
};

std::vector<OrderKey> parseOrder(const std::vector<FieldDef>& fields, std::string_view order)
{
    std::vector<OrderKey> keys;
    for (const std::string& item : text::splitList(order, ',', text::ListItems::TrimmedNonEmpty)) {
        const std::size_t blank = item.find(' ');
        std::string name = item.substr(0, blank);
        const std::string direction = blank == std::string::npos ? "" : text::trim(item.substr(blank));
        if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) {
            name.erase(0, dot + 1);
        }
        const int field = fieldIndex(fields, name);
        if (field < 0 || !(direction.empty() || text::equalsIgnoringAsciiCase(direction, "asc") ||
                           text::equalsIgnoringAsciiCase(direction, "desc"))) {
            throw DataSetError("Order '" + std::string(order) + "': cannot order by '" + item + "'");
        }
        keys.push_back({field, text::equalsIgnoringAsciiCase(direction, "desc")});
    }
    return keys;
}

std::string keyText(const std::vector<FieldDef>& fields, const std::vector<int>& keys, const PacketRow& row)
{
    std::string text;
    for (const int key : keys) {
        if (!text.empty()) {
            text += ", ";
        }
        const Variant& value = row.values[static_cast<std::size_t>(key)];
        text +=
            fields[static_cast<std::size_t>(key)].name + "=" + (value.isUnassignedOrNull() ? "null" : value.toString());
    }
    return text;
}

// Text of a row's key values, for the key index of a level.
std::string keyOf(const std::vector<int>& keys, const PacketRow& row)
{
    std::string key;
    for (const int field : keys) {
        const Variant& value = row.values[static_cast<std::size_t>(field)];
        key += value.isUnassignedOrNull() ? std::string("\x1e") : value.toString();
        key += '\x1f';
    }
    return key;
}

} // namespace

// A level of the stored table as a delta sees it.
struct MemoryProvider::Level {
    std::string path;
    const std::vector<FieldDef>* storeFields;
    const std::vector<FieldDef>* deltaFields;
    std::vector<int> storeIndex; // per delta field
    std::vector<int> keys;       // store indexes; empty: match on every delta field
    std::vector<Level> nested;   // per delta DataSet field
};

MemoryProvider::MemoryProvider(std::vector<FieldDef> fields) : fields_(std::move(fields)) {}

void MemoryProvider::setKeyFields(const std::string& level, std::vector<std::string> names)
{
    const std::lock_guard lock(mutex_);
    keyNames_[level] = std::move(names);
}

void MemoryProvider::setFailureHook(FailureHook hook)
{
    const std::lock_guard lock(mutex_);
    failureHook_ = std::move(hook);
}

void MemoryProvider::addRow(PacketRow row)
{
    if (row.values.size() != fields_.size() || row.nested.size() != packet::nestedFieldCount(fields_)) {
        throw PacketError("MemoryProvider: a row needs " + std::to_string(fields_.size()) + " values");
    }
    const std::lock_guard lock(mutex_);
    rows_.push_back(std::move(row));
}

DataPacket MemoryProvider::getRecords(int count, const Variant& params, bool reset)
{
    const std::lock_guard lock(mutex_);
    if (reset) {
        std::string condition;
        std::string order;
        if (params.isArray() && params.array().dimensions() == 1) {
            const auto elements = params.array().elements();
            condition = elements.size() > 0 && elements[0].isString() ? elements[0].asString() : "";
            order = elements.size() > 1 && elements[1].isString() ? elements[1].asString() : "";
        }
        const auto filter =
            FilterExpression::parse(condition, [this](std::string_view name) { return fieldIndex(fields_, name); });
        selected_.clear();
        for (const PacketRow& row : rows_) {
            if (filter.matches(PacketRowView(row))) {
                selected_.push_back(row);
            }
        }
        const auto keys = parseOrder(fields_, order);
        std::stable_sort(selected_.begin(), selected_.end(), [&keys](const PacketRow& a, const PacketRow& b) {
            for (const OrderKey& key : keys) {
                const Variant& x = a.values[static_cast<std::size_t>(key.field)];
                const Variant& y = b.values[static_cast<std::size_t>(key.field)];
                if (sameValue(x, y)) {
                    continue;
                }
                const bool less =
                    x.isUnassignedOrNull() ||
                    (!y.isUnassignedOrNull() &&
                     (x.isNumeric() && y.isNumeric() ? x.toFloat() < y.toFloat() : x.toString() < y.toString()));
                return key.descending ? !less : less;
            }
            return false;
        });
        nextRow_ = 0;
    }
    DataPacket packet;
    packet.fields = fields_;
    const std::size_t remaining = selected_.size() - std::min(nextRow_, selected_.size());
    const std::size_t take = count < 0 ? remaining : std::min(remaining, static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < take; ++i) {
        packet.rows.push_back(selected_[nextRow_++]);
    }
    packet.endOfData = nextRow_ >= selected_.size();
    return packet;
}

MemoryProvider::Level MemoryProvider::levelFor(const std::vector<FieldDef>& storeFields,
                                               const std::vector<FieldDef>& deltaFields, const std::string& path) const
{
    Level level{path, &storeFields, &deltaFields, {}, {}, {}};
    for (const FieldDef& def : deltaFields) {
        const int index = fieldIndex(storeFields, def.name);
        if (index < 0 || storeFields[static_cast<std::size_t>(index)].isNested() != def.isNested()) {
            throw PacketError("Delta: field '" + def.name + "' is not a field of " +
                              (path.empty() ? std::string("the table") : "level " + path));
        }
        level.storeIndex.push_back(index);
        if (def.isNested()) {
            const std::string child = path.empty() ? def.name : path + "." + def.name;
            level.nested.push_back(levelFor(storeFields[static_cast<std::size_t>(index)].nested, def.nested, child));
        }
    }
    if (const auto it = keyNames_.find(path); it != keyNames_.end()) {
        for (const std::string& name : it->second) {
            const int index = fieldIndex(storeFields, name);
            if (index < 0) {
                throw DataSetError("MemoryProvider: key field '" + name + "' is not a field of level '" + path + "'");
            }
            level.keys.push_back(index);
        }
    }
    return level;
}

ApplyResult MemoryProvider::applyUpdates(const Delta& delta, int maxErrors)
{
    const std::lock_guard lock(mutex_);
    const Level top = levelFor(fields_, delta.fields, "");
    std::vector<PacketRow> working = rows_;
    ApplyResult result;
    applyLevel(top, working, delta.records, result);
    result.errorCount = static_cast<int>(result.errors.size());
    result.applied = maxErrors < 0 || result.errorCount <= maxErrors;
    if (result.applied) {
        rows_ = std::move(working);
    }
    return result;
}

void MemoryProvider::applyLevel(const Level& level, std::vector<PacketRow>& rows,
                                const std::vector<DeltaRecord>& records, ApplyResult& result) const
{
    LevelRows store{rows, {}, std::vector<bool>(rows.size(), false)};
    if (!level.keys.empty()) {
        store.index.reserve(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            store.index.emplace(keyOf(level.keys, rows[i]), i);
        }
    }
    for (const DeltaRecord& record : records) {
        applyRecord(level, store, record, result);
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!store.erased[i]) {
            if (kept != i) {
                rows[kept] = std::move(rows[i]);
            }
            ++kept;
        }
    }
    rows.resize(kept);
}

void MemoryProvider::applyNested(const Level& level, PacketRow& row, const DeltaRecord& record,
                                 ApplyResult& result) const
{
    std::size_t ordinal = 0;
    for (std::size_t i = 0; i < level.storeIndex.size(); ++i) {
        if (!(*level.deltaFields)[i].isNested()) {
            continue;
        }
        if (ordinal < record.nested.size()) {
            const std::size_t storeOrdinal =
                nestedOrdinal(*level.storeFields, static_cast<std::size_t>(level.storeIndex[i]));
            applyLevel(level.nested[ordinal], row.nested[storeOrdinal], record.nested[ordinal], result);
        }
        ++ordinal;
    }
}

bool MemoryProvider::applyRecord(const Level& level, LevelRows& store, const DeltaRecord& record,
                                 ApplyResult& result) const
{
    const auto fail = [&](std::string message, std::string context, const PacketRow* stored) {
        ApplyError error{record.recordId, record.kind, std::move(message), std::move(context), 0, {}};
        if (stored != nullptr) {
            for (const int index : level.storeIndex) {
                error.currentValues.push_back(stored->values[static_cast<std::size_t>(index)]);
            }
        }
        result.errors.push_back(std::move(error));
        return false;
    };
    const std::string where = level.path.empty() ? "table" : level.path;
    if (failureHook_) {
        if (auto message = failureHook_(record)) {
            return fail(std::move(*message), where, nullptr);
        }
    }
    // The stored form of the record's original (or, for an insert, new) values.
    PacketRow probe = emptyRow(*level.storeFields);
    const std::vector<Variant>& source = record.kind == UpdateStatus::Inserted ? record.current : record.original;
    for (std::size_t i = 0; i < level.storeIndex.size() && i < source.size(); ++i) {
        probe.values[static_cast<std::size_t>(level.storeIndex[i])] = source[i];
    }
    const auto matchesAllValues = [&](const PacketRow& row) {
        for (std::size_t i = 0; i < level.storeIndex.size(); ++i) {
            const auto index = static_cast<std::size_t>(level.storeIndex[i]);
            if (!(*level.deltaFields)[i].isNested() && !sameValue(row.values[index], probe.values[index])) {
                return false;
            }
        }
        return true;
    };
    std::vector<PacketRow>& rows = store.rows;
    PacketRow* found = nullptr;
    std::size_t foundAt = 0;
    if (!level.keys.empty()) {
        if (const auto it = store.index.find(keyOf(level.keys, probe));
            it != store.index.end() && !store.erased[it->second]) {
            foundAt = it->second;
            found = &rows[foundAt];
        }
    } else {
        for (std::size_t i = 0; i < rows.size() && found == nullptr; ++i) {
            if (!store.erased[i] && matchesAllValues(rows[i])) {
                foundAt = i;
                found = &rows[i];
            }
        }
    }
    const std::string context = where + " " + keyText(*level.storeFields, level.keys, probe);
    if (record.kind == UpdateStatus::Inserted) {
        if (!level.keys.empty() && found != nullptr) {
            return fail("Key violation: the record already exists", context, found);
        }
        if (!level.keys.empty()) {
            store.index[keyOf(level.keys, probe)] = rows.size();
        }
        rows.push_back(std::move(probe));
        store.erased.push_back(false);
        applyNested(level, rows.back(), record, result);
        return true;
    }
    if (found == nullptr) {
        return fail("The record was changed or deleted by another user", context, nullptr);
    }
    if (record.kind != UpdateStatus::Unmodified) {
        for (std::size_t i = 0; i < level.storeIndex.size(); ++i) {
            const auto index = static_cast<std::size_t>(level.storeIndex[i]);
            if (!(*level.deltaFields)[i].isNested() && !sameValue(found->values[index], probe.values[index])) {
                return fail("The record was changed by another user (field " + (*level.deltaFields)[i].name + ")",
                            context, found);
            }
        }
    }
    if (record.kind == UpdateStatus::Deleted) {
        store.erased[foundAt] = true;
        return true;
    }
    if (record.kind == UpdateStatus::Modified) {
        for (std::size_t i = 0; i < level.storeIndex.size() && i < record.current.size(); ++i) {
            if (!record.current[i].isUnassigned()) {
                found->values[static_cast<std::size_t>(level.storeIndex[i])] = record.current[i];
            }
        }
    }
    applyNested(level, *found, record, result);
    return true;
}

} // namespace orvane
