#include "server/salesorder/OrderWriter.h"

#include "platform/data/DataSetError.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/db/DbError.h"
#include "server/db/Transaction.h"
#include "server/salesorder/OrderReader.h"
#include "server/salesorder/StoredValue.h"
#include "server/schema/SchemaBuilder.h"
#include "server/schema/Tables.h"
#include "server/services/SalesData.h"
#include "server/services/WorkflowJob.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace orvane {

namespace {

constexpr std::size_t none = static_cast<std::size_t>(-1);

const std::string& flagColumn()
{
    static const std::string name = "FLAG";
    return name;
}

// The columns the server sets on a new row whatever the client sent, and a change never
// writes: the audit columns (FLAG is counted apart), the approver, whom only a confirmation
// sets, and the lines' copy of their head's confirmation code.
constexpr const char* serverColumns[] = {"COMPANY",  "CREATOR",   "USR_GROUP", "CREATE_DATE",
                                         "MODIFIER", "MODI_DATE", "TC040",     "TD021"};

bool isServers(const std::string& column)
{
    return std::any_of(std::begin(serverColumns), std::end(serverColumns),
                       [&](const char* name) { return column == name; });
}

// Confirmed, failed and void orders are closed to saves but for un-voiding, the sign-off
// status and the transfer status, which their own commands save.
bool locksOrder(const std::string& state)
{
    return state == "Y" || state == "U" || state == "V";
}

bool changesOnLockedOrder(const std::string& column)
{
    return column == "TC027" || column == "TC048" || column == "TC050";
}

// "" and "N" both mean an order not confirmed.
bool isOpenState(const std::string& state)
{
    return state.empty() || state == "N";
}

bool sameState(const std::string& one, const std::string& other)
{
    return one == other || (isOpenState(one) && isOpenState(other));
}

// A save voids an open order or un-voids a void one; confirming and unconfirming go through
// the confirm command, which also sets the approver and the lines.
bool saveMayChangeState(const std::string& from, const std::string& to)
{
    return (isOpenState(from) && to == "V") || (from == "V" && isOpenState(to));
}

std::string stateText(const std::string& state)
{
    const std::string code = " (TC027 '" + state + "')";
    if (state == "Y")
        return "is confirmed" + code + ": unconfirm it";
    if (state == "U")
        return "failed its confirmation" + code + ": unconfirm it";
    return "is void" + code + ": un-void it";
}

// A line's quantities, each delivered quantity after the one it delivers of: the ordered and
// delivered quantity, the free quantity and its delivered part, and the same two in packages.
constexpr const char* lineQuantities[] = {"TD008", "TD009", "TD024", "TD025", "TD032", "TD033", "TD034", "TD035"};

// The column's place among lineQuantities; none for another column.
std::optional<std::size_t> lineQuantityIndex(const std::string& column)
{
    const auto at = std::find(std::begin(lineQuantities), std::end(lineQuantities), column);
    return at == std::end(lineQuantities) ? std::nullopt
                                          : std::optional(static_cast<std::size_t>(at - std::begin(lineQuantities)));
}

bool isLineQuantity(const std::string& column)
{
    return lineQuantityIndex(column).has_value();
}

// Nothing is delivered below 0 nor past what was ordered: the open amounts and the stock's
// figures count what is still to deliver, which would otherwise grow past the order or turn
// negative. A line with nothing delivered passes whatever its ordered quantity.
std::optional<std::string> deliveredRefusal(const std::string& context, const std::vector<double>& quantities)
{
    for (std::size_t i = 0; i + 1 < quantities.size(); i += 2) {
        const double ordered = quantities[i];
        const double delivered = quantities[i + 1];
        if (delivered >= 0 && (delivered == 0 || delivered <= ordered))
            continue;
        const std::string named =
            ": the delivered quantity " + std::string(lineQuantities[i + 1]) + " " + text::floatToText(delivered);
        const std::string orderedText = std::string(lineQuantities[i]) + " " + text::floatToText(ordered);
        return context + named +
               (delivered < 0 ? " is below 0 (ordered " + orderedText + ")"
                              : " is more than the ordered quantity " + orderedText);
    }
    return std::nullopt;
}

std::vector<std::string> lineQuantityColumns()
{
    return {std::begin(lineQuantities), std::end(lineQuantities)};
}

// A new line's quantities as its row (by stored column, fitted) holds them.
std::vector<double> newLineQuantities(const OrderLevel& lines, const std::vector<Variant>& row)
{
    std::vector<double> quantities;
    for (const char* name : lineQuantities)
        quantities.push_back(storedNumber(row[static_cast<std::size_t>(lines.storedIndex(name))]));
    return quantities;
}

// The stored line's quantities with the values a change writes over them.
std::vector<double> changedLineQuantities(std::vector<double> quantities, const std::vector<std::string>& columns,
                                          const std::vector<Variant>& values)
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (const auto at = lineQuantityIndex(columns[c]))
            quantities[*at] = storedNumber(values[c]);
    }
    return quantities;
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
    std::size_t depth = 0;            // 0 heads, 1 lines, 2 sub-lines
    std::vector<int> column;          // per delta field: index into order->stored(), or -1
    std::vector<int> packetIndex;     // per delta field: index among the packet fields, or -1 (nested)
    std::vector<int> keyField;        // per key column: its delta field, or -1
    int flagField = -1;               // the delta field of FLAG, or -1
    std::vector<int> insertColumns;   // stored columns a new record writes: the delta's, the key and FLAG
    std::size_t numberSlot = 0;       // position among insertColumns of the head's number
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

std::string changedByAnotherUser(const OrderLevel& level, const std::vector<Variant>& key)
{
    return "资料已被其他用户更改 (changed by another user): " + recordContext(level, key);
}

std::string deletedByAnotherUser(const OrderLevel& level, const std::vector<Variant>& key)
{
    return "资料已被其他用户删除 (deleted by another user): " + recordContext(level, key);
}

double nextFlag(double stored)
{
    return static_cast<double>((std::llround(stored) + 1) % 1000);
}

bool sameFlag(const Variant& read, double stored)
{
    return read.isNumeric() && std::llround(read.toFloat()) == std::llround(stored);
}

OrderWriter::OrderWriter(Database& db, std::string companyDb, const SaveSession& session, WriteMode mode,
                         bool numbering, FaultHook faultHook)
    : db_(db), companyDb_(std::move(companyDb)), session_(session), today_(todayText()), mode_(mode),
      numbering_(numbering), faultHook_(std::move(faultHook)), numberer_("COPTC")
{}

OrderWriter::~OrderWriter() = default;

Database& OrderWriter::db()
{
    if (!transaction_)
        transaction_.emplace(db_);
    return db_;
}

void OrderWriter::commit()
{
    if (!transaction_)
        return;
    try {
        transaction_->commitAfter(std::exchange(keptRuns_, {}));
    } catch (const DbError& e) {
        if (mode_ != WriteMode::AllOrNothing || e.kind() != DbErrorKind::Constraint)
            throw;
        throw Refused(e.what());
    }
}

void OrderWriter::rollback()
{
    if (transaction_)
        transaction_->rollback();
}

void OrderWriter::apply(const Delta& delta, ApplyResult& result)
{
    const auto top = mapLevel(orderHeads(), delta.fields, 0);
    makeBatches(*top);
    if (mode_ == WriteMode::PerRecord) {
        applyLevel(*top, delta.records, {}, result);
        return;
    }
    try {
        applyLevel(*top, delta.records, {}, result);
        numberKept();
    } catch (const Refusal& refusal) {
        throw Refused(refusal.message);
    } catch (const NumberingError& e) {
        throw Refused(e.what());
    } catch (const DbError& e) {
        if (e.kind() != DbErrorKind::Constraint)
            throw;
        throw Refused(e.what());
    }
}

std::unique_ptr<OrderWriter::Level> OrderWriter::mapLevel(const OrderLevel& order, const std::vector<FieldDef>& fields,
                                                          std::size_t depth) const
{
    auto level = std::make_unique<Level>();
    level->order = &order;
    level->depth = depth;
    const std::vector<FieldDef> packetFields = order.fields();
    std::size_t ordinal = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& def = fields[i];
        level->column.push_back(def.isNested() ? -1 : order.storedIndex(def.name));
        const auto packet = std::find_if(packetFields.begin(), packetFields.end(), [&](const FieldDef& f) {
            return !f.isNested() && text::equalsIgnoringAsciiCase(f.name, def.name);
        });
        level->packetIndex.push_back(packet == packetFields.end() ? -1
                                                                  : static_cast<int>(packet - packetFields.begin()));
        if (!def.isNested())
            continue;
        if (!order.child() || !text::equalsIgnoringAsciiCase(def.name, order.nestedName()))
            throw PacketError("Delta of " + order.name() + ": '" + def.name + "' is not a nested level of the order");
        level->nestedOrdinal = ordinal++;
        level->child = mapLevel(*order.child(), def.nested, depth + 1);
    }
    for (const int keyColumn : order.keyIndexes()) {
        const auto it = std::find(level->column.begin(), level->column.end(), keyColumn);
        level->keyField.push_back(it == level->column.end() ? -1 : static_cast<int>(it - level->column.begin()));
    }
    const int flagIndex = order.storedIndex(flagColumn());
    const auto flag = std::find(level->column.begin(), level->column.end(), flagIndex);
    level->flagField = flag == level->column.end() ? -1 : static_cast<int>(flag - level->column.begin());

    // Every level's key starts with the head's key, so the head's number is at the same key position.
    const int numberColumn = order.keyIndexes()[orderHeads().key().size() - 1];
    const auto& keys = order.keyIndexes();
    for (int c = 0; c < static_cast<int>(order.stored().size()); ++c) {
        const bool written = c == flagIndex || isServers(order.stored()[static_cast<std::size_t>(c)].name) ||
                             std::find(keys.begin(), keys.end(), c) != keys.end() ||
                             std::find(level->column.begin(), level->column.end(), c) != level->column.end();
        if (!written)
            continue;
        if (c == numberColumn)
            level->numberSlot = level->insertColumns.size();
        level->insertColumns.push_back(c);
    }
    return level;
}

void OrderWriter::makeBatches(const Level& level)
{
    std::vector<std::string> columns;
    for (const int c : level.insertColumns)
        columns.push_back(level.order->stored()[static_cast<std::size_t>(c)].name);
    levels_.push_back(&level);
    batches_.emplace_back(tableOf(*level.order), std::move(columns));
    if (level.child)
        makeBatches(*level.child);
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
    std::string number;
    if (mode_ == WriteMode::AllOrNothing) {
        writeRecord(level, record, parentKey, context, number, result);
        return;
    }
    Transaction savepoint(db());
    const std::size_t writtenBefore = written_.size();
    try {
        writeRecord(level, record, parentKey, context, number, result);
        savepoint.commit();
        if (!number.empty())
            numbers_.push_back(number);
    } catch (Refusal& refusal) {
        savepoint.rollback();
        written_.resize(writtenBefore);
        result.errors.push_back(
            {record.recordId, record.kind, std::move(refusal.message), context, 0, std::move(refusal.currentValues)});
    } catch (const NumberingError& e) {
        savepoint.rollback();
        written_.resize(writtenBefore);
        result.errors.push_back({record.recordId, record.kind, e.what(), context, 0, {}});
    } catch (const DbError& e) {
        if (e.kind() != DbErrorKind::Constraint)
            throw;
        savepoint.rollback();
        written_.resize(writtenBefore);
        result.errors.push_back(
            {record.recordId, record.kind, "The key is already in use (" + context + "): " + e.what(), context, 0, {}});
    }
}

void OrderWriter::writeRecord(const Level& level, const DeltaRecord& record, const std::vector<Variant>& parentKey,
                              std::string& context, std::string& number, ApplyResult& result)
{
    if (faultHook_)
        faultHook_(level.order->name());
    if (level.depth == 0)
        pending_.reset();
    std::vector<Variant> key;
    if (record.kind == UpdateStatus::Inserted) {
        key = insert(level, record, parentKey, number, context);
    } else {
        key = originalKey(level, record, parentKey);
        context = recordContext(*level.order, key);
        if (record.kind == UpdateStatus::Deleted) {
            remove(level, record, key);
            return;
        }
        if (record.kind == UpdateStatus::Modified)
            key = update(level, record, key);
        else
            lockStored(level, key, OrderChange::Edit); // its lines change
    }
    if (level.child && level.nestedOrdinal < record.nested.size())
        applyLevel(*level.child, record.nested[level.nestedOrdinal], key, result);
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
    if (order.linkCount() == 0)
        numberHead(row, number);
    stampNew(order, row);
    row[static_cast<std::size_t>(order.storedIndex(flagColumn()))] = 1.0;

    // Unassigned and Null become the column's empty text or 0, as the column's default would.
    std::vector<Variant> values;
    values.reserve(level.insertColumns.size());
    for (const int c : level.insertColumns) {
        const auto column = static_cast<std::size_t>(c);
        StoredFit fit = fitColumn(stored[column], row[column]);
        if (!fit.problem.empty())
            throw Refusal{fit.problem, {}};
        row[column] = fit.value;
        values.push_back(std::move(fit.value));
    }
    std::vector<Variant> key;
    for (const int index : keyIndexes) {
        const Variant& value = row[static_cast<std::size_t>(index)];
        if (value.toString().empty())
            throw Refusal{"Field " + stored[static_cast<std::size_t>(index)].name + " (a key) must have a value", {}};
        key.push_back(value);
    }
    context = recordContext(order, key);
    if (order.linkCount() == 0) {
        if (!session_.rights.allows(OrderChange::Add))
            throw Refusal{noRightText(OrderChange::Add, context), {}};
        const std::string state = row[static_cast<std::size_t>(order.storedIndex("TC027"))].toString();
        if (!state.empty() && state != "N")
            throw Refusal{context + ": a new order's TC027 must be 'N' or empty, not '" + state +
                              "'; confirming goes through the confirm command",
                          {}};
        head_ = {context, state, {}};
        checkSignOffValue(row[static_cast<std::size_t>(order.storedIndex("TC048"))].toString());
    } else {
        checkOpen("changing its lines");
        if (&order == orderHeads().child())
            checkDelivered(context, newLineQuantities(order, row));
    }
    keep(level, std::move(values));
    return key;
}

void OrderWriter::stampNew(const OrderLevel& order, std::vector<Variant>& row) const
{
    const std::string values[] = {session_.companyId, session_.userId, session_.userGroup, today_, "", "", "",
                                  head_.state};
    for (std::size_t i = 0; i < std::size(serverColumns); ++i) {
        if (const int index = order.storedIndex(serverColumns[i]); index >= 0)
            row[static_cast<std::size_t>(index)] = values[i];
    }
}

void OrderWriter::numberHead(std::vector<Variant>& row, std::string& number)
{
    const OrderLevel& order = orderHeads();
    const std::string type = row[static_cast<std::size_t>(order.keyIndexes().front())].toString();
    // The rule is read again under the counter's lock when the number is taken.
    const auto rule = numberer_.rule(db_, companyDb_, type);
    if (!rule)
        return;
    const std::string date = documentDate(row[static_cast<std::size_t>(order.storedIndex("TC039"))].toString());
    Variant& numberValue = row[static_cast<std::size_t>(order.keyIndexes().back())];
    if (!numbering_ || !rule->automatic()) {
        // An empty number is refused as an empty key.
        if (!numberValue.isUnassignedOrNull() && !numberValue.toString().empty())
            DocumentNumbering::checkTypedNumber(*rule, type, date, numberValue.toString());
        return;
    }
    if (mode_ == WriteMode::PerRecord) {
        number = numberer_.nextNumber(db(), companyDb_, type, date);
        numberValue = number;
        return;
    }
    // A stand-in that fits the column, replaced by the number before anything is written.
    numberValue = std::string("*");
    pending_ = pendingNumbers_.size();
    pendingNumbers_.push_back({type, date, {}});
}

void OrderWriter::keep(const Level& level, std::vector<Variant> values)
{
    InsertBatch& batch = batches_[level.depth];
    const std::size_t row = batch.add(std::move(values));
    if (mode_ == WriteMode::PerRecord)
        batch.write(db());
    else if (pending_)
        pendingNumbers_[*pending_].rows.emplace_back(level.depth, row);
}

void OrderWriter::numberKept()
{
    for (const PendingNumber& pending : pendingNumbers_) {
        const std::string number = numberer_.nextNumber(db(), companyDb_, pending.type, pending.date);
        for (const auto& [depth, row] : pending.rows)
            batches_[depth].value(row, levels_[depth]->numberSlot) = number;
        numbers_.push_back(number);
    }
    // Heads before lines before sub-lines: each row's parent is written first.
    for (InsertBatch& batch : batches_) {
        for (ReusedRun& run : batch.takeRuns())
            keptRuns_.push_back(std::move(run));
    }
    if (!keptRuns_.empty())
        db(); // the rows are written inside this writer's transaction
}

std::vector<Variant> OrderWriter::update(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    const Stored stored = lockStored(level, key, OrderChange::Edit);
    checkFlag(level, record, key, stored);
    const bool head = order.linkCount() == 0;
    if (!head)
        checkOpen("changing its lines");

    const int flagIndex = order.storedIndex(flagColumn());
    const auto& keyIndexes = order.keyIndexes();
    std::vector<Variant> newKey = key;
    std::string date = stored.date;
    std::optional<std::string> newState;
    std::vector<std::string> columns;
    std::vector<Variant> values;
    for (std::size_t i = 0; i < level.column.size() && i < record.current.size(); ++i) {
        const int column = level.column[i];
        if (column < 0 || column == flagIndex || record.current[i].isUnassigned() ||
            isServers(order.stored()[static_cast<std::size_t>(column)].name))
            continue;
        const auto keyAt = std::find(keyIndexes.begin(), keyIndexes.end(), column) - keyIndexes.begin();
        const bool isKey = static_cast<std::size_t>(keyAt) < keyIndexes.size();
        if (isKey && static_cast<std::size_t>(keyAt) < order.linkCount())
            continue;
        const ColumnDef& def = order.stored()[static_cast<std::size_t>(column)];
        if (head && !changesOnLockedOrder(def.name))
            checkOpen("changing " + def.name);
        else if (head)
            checkNotInSignOff("changing " + def.name);
        StoredFit fit = fitColumn(def, record.current[i]);
        if (!fit.problem.empty())
            throw Refusal{fit.problem, {}};
        if (head && def.name == "TC027") {
            checkStateChange(stored, fit.value.toString());
            newState = fit.value.toString();
        }
        if (head && def.name == "TC048")
            checkSignOffValue(fit.value.toString());
        if (head && def.name == "TC039")
            date = fit.value.toString();
        if (isKey) {
            if (fit.value.toString().empty())
                throw Refusal{"Field " + def.name + " (a key) must have a value", {}};
            newKey[static_cast<std::size_t>(keyAt)] = fit.value;
        }
        columns.push_back(def.name);
        values.push_back(std::move(fit.value));
    }
    if (head && newKey != key)
        checkNewNumber(newKey, date);
    if (std::any_of(columns.begin(), columns.end(), isLineQuantity))
        checkDelivered(recordContext(order, key), changedLineQuantities(stored.quantities, columns, values));
    for (const auto& [column, value] : {std::pair{"MODIFIER", session_.userId}, std::pair{"MODI_DATE", today_}}) {
        columns.emplace_back(column);
        values.emplace_back(value);
    }
    columns.push_back(flagColumn());
    values.emplace_back(nextFlag(stored.flag));
    values.insert(values.end(), key.begin(), key.end());
    values.emplace_back(stored.flag);
    const std::string& version = versionColumn().name;
    const std::int64_t changed =
        db().execute("UPDATE " + tableOf(order) + " SET " + joinedColumns(columns, " = ?", ", ") + ", " + version +
                         " = " + version + " + 1 WHERE " + whereKey(order, key.size()) + " AND FLAG = ?",
                     values);
    if (changed != 1)
        throw conflict(level, key);
    written_.push_back({&order, newKey, stored.version + 1});
    if (newState && !sameState(head_.state, *newState))
        copyStateToLines(order, newKey, *newState);
    return newKey;
}

void OrderWriter::copyStateToLines(const OrderLevel& heads, const std::vector<Variant>& key, const std::string& state)
{
    // The lines' copy of the code is the server's own: no FLAG or version counts on, so a client's
    // lines stay current.
    std::vector<Variant> values{Variant(state)};
    values.insert(values.end(), key.begin(), key.end());
    db().execute("UPDATE " + tableOf(*heads.child()) + " SET TD021 = ? WHERE " + whereKey(*heads.child(), key.size()),
                 values);
}

void OrderWriter::remove(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    const Stored stored = lockStored(level, key, OrderChange::Delete);
    checkFlag(level, record, key, stored);
    checkOpen(order.linkCount() == 0 ? "deleting it" : "changing its lines");
    std::vector<const OrderLevel*> descendants;
    for (const OrderLevel* d = order.child(); d; d = d->child())
        descendants.push_back(d);
    for (auto it = descendants.rbegin(); it != descendants.rend(); ++it) {
        db().execute("DELETE FROM " + tableOf(**it) + " WHERE " + whereKey(**it, key.size()), key);
    }
    std::vector<Variant> values = key;
    values.emplace_back(stored.flag);
    db().execute("DELETE FROM " + tableOf(order) + " WHERE " + whereKey(order, key.size()) + " AND FLAG = ?", values);
}

OrderWriter::Stored OrderWriter::lockStored(const Level& level, const std::vector<Variant>& key, OrderChange change)
{
    const OrderLevel& order = *level.order;
    const bool head = order.linkCount() == 0;
    const bool line = &order == orderHeads().child();
    const std::string levelColumns = head   ? ", TC027, TC039, TC048"
                                     : line ? ", " + joinedColumns(lineQuantityColumns(), "", ", ")
                                            : "";
    const std::string sql = "SELECT FLAG, CREATOR, USR_GROUP, " + versionColumn().name + levelColumns + " FROM " +
                            tableOf(order) + " WHERE " + whereKey(order, key.size()) + " " +
                            std::string(db_.dialect().forUpdate());
    const QueryResult found = db().query(sql, key);
    if (found.rows.empty())
        throw Refusal{deletedByAnotherUser(order, key), {}};
    const DbRow& row = found.rows[0];
    Stored stored{row[0].isNumeric() ? row[0].toFloat() : 0.0, row[1].toString(), row[2].toString(),
                  row[3].toIntegerOrZero()};
    if (line) {
        for (std::size_t i = 0; i < std::size(lineQuantities); ++i)
            stored.quantities.push_back(storedNumber(row[4 + i]));
    }
    if (!head)
        return stored;
    stored.date = row[5].toString();
    head_ = {recordContext(order, key), row[4].toString(), text::trim(row[6].toString())};
    // The lines of an order go with it: the head's rights decide for them.
    if (!session_.rights.allows(change, stored.creator, stored.group))
        throw Refusal{noRightText(change, head_.context), {}};
    return stored;
}

void OrderWriter::checkOpen(const std::string& what) const
{
    checkNotInSignOff(what);
    if (locksOrder(head_.state))
        throw Refusal{head_.context + " " + stateText(head_.state) + " before " + what, {}};
}

void OrderWriter::checkNotInSignOff(const std::string& what) const
{
    if (signOffPending(head_.signOff))
        throw Refusal{head_.context + " is in sign-off (TC048 '" + head_.signOff +
                          "'): its job must be decided or cancelled before " + what,
                      {}};
}

void OrderWriter::checkDelivered(const std::string& context, const std::vector<double>& quantities)
{
    if (auto refusal = deliveredRefusal(context, quantities))
        throw Refusal{std::move(*refusal), {}};
}

void OrderWriter::checkSignOffValue(const std::string& status) const
{
    if (!signOffSavable(text::trim(status)))
        throw Refusal{head_.context + ": a save cannot set TC048 to '" + status +
                          "'; only the sign-off workflow moves an order into sign-off or approves it",
                      {}};
}

void OrderWriter::checkStateChange(const Stored& stored, const std::string& state) const
{
    if (sameState(head_.state, state))
        return;
    if (!saveMayChangeState(head_.state, state))
        throw Refusal{head_.context + ": a save cannot change TC027 from '" + head_.state + "' to '" + state +
                          "'; confirming and unconfirming go through the confirm command, a save only voids (N to "
                          "V) or un-voids (V to N)",
                      {}};
    if (!session_.rights.allows(OrderChange::Void, stored.creator, stored.group))
        throw Refusal{noRightText(OrderChange::Void, head_.context), {}};
}

void OrderWriter::checkNewNumber(const std::vector<Variant>& key, const std::string& date)
{
    const std::string type = key.front().toString();
    if (const auto rule = numberer_.rule(db(), companyDb_, type))
        DocumentNumbering::checkTypedNumber(*rule, type, documentDate(date), key.back().toString());
}

std::string OrderWriter::documentDate(const std::string& date) const
{
    return date.empty() ? today_ : date;
}

void OrderWriter::checkFlag(const Level& level, const DeltaRecord& record, const std::vector<Variant>& key,
                            const Stored& stored)
{
    const OrderLevel& order = *level.order;
    if (level.flagField < 0)
        throw Refusal{"The delta of " + order.name() + " carries no FLAG, so changes by other users cannot be detected",
                      {}};
    const Variant& read = static_cast<std::size_t>(level.flagField) < record.original.size()
                              ? record.original[static_cast<std::size_t>(level.flagField)]
                              : Variant();
    if (sameFlag(read, stored.flag) &&
        !(session_.versions && session_.versions->wrappedSince(order, key, stored.version)))
        return;
    // The refusal hands the client the current values: the version it then has.
    refreshed_.push_back({&order, key, stored.version});
    throw conflict(level, key);
}

OrderWriter::Refusal OrderWriter::conflict(const Level& level, const std::vector<Variant>& key)
{
    const OrderLevel& order = *level.order;
    Refusal refusal{changedByAnotherUser(order, key), {}};
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

std::string OrderWriter::tableOf(const OrderLevel& order) const
{
    return db_.dialect().companyTable(companyDb_, order.name());
}

} // namespace orvane
