#include "platform/data/RecordSet.h"

#include "platform/data/ChangeVisitors.h"

#include <algorithm>
#include <atomic>

namespace orvane {

namespace {

std::uint64_t nextRecordId()
{
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

} // namespace

Record::Record() : id(nextRecordId()) {}

Record::~Record()
{
    for (auto& set : nested) {
        set->orphan();
    }
}

RecordSet::RecordSet(std::shared_ptr<const RecordSchema> schema, Record* owner, RecordSet* ownerSet)
    : schema_(std::move(schema)), owner_(owner), ownerSet_(ownerSet)
{}

RecordSet::~RecordSet() = default;

std::unique_ptr<Record> RecordSet::newRecord()
{
    auto record = std::make_unique<Record>();
    record->data = schema_->layout().newBuffer();
    const int nestedCount = schema_->layout().nestedCount();
    record->nested.reserve(static_cast<std::size_t>(nestedCount));
    for (int i = 0; i < nestedCount; ++i) {
        record->nested.push_back(std::make_shared<RecordSet>(schema_->nested(i), record.get(), this));
    }
    return record;
}

std::size_t RecordSet::indexOf(const Record& record, std::size_t hint) const
{
    if (hint < records_.size() && records_[hint].get() == &record) {
        return hint;
    }
    for (std::size_t i = records_.size(); i-- > 0;) {
        if (records_[i].get() == &record) {
            return i;
        }
    }
    return ChangeLog::npos;
}

void RecordSet::load(std::unique_ptr<Record> record)
{
    records_.push_back(std::move(record));
    ++version_;
}

Record& RecordSet::insert(std::unique_ptr<Record> record, std::size_t position)
{
    Record& inserted = *record;
    inserted.status = UpdateStatus::Inserted;
    position = std::min(position, records_.size());
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(position), std::move(record));
    log_.add(RecordInserted{&inserted});
    ++version_;
    noteChange();
    return inserted;
}

void RecordSet::modify(Record& record, RecordBuffer data)
{
    ++version_;
    if (record.status != UpdateStatus::Unmodified) {
        record.data = std::move(data);
        return;
    }
    Change change = RecordModified{&record, std::move(record.data)};
    record.data = std::move(data);
    record.status = UpdateStatus::Modified;
    if (record.nestedLogged) {
        log_.replace(log_.find(record), std::move(change));
        record.nestedLogged = false;
        return;
    }
    log_.add(std::move(change));
    noteChange();
}

void RecordSet::remove(Record& record, std::size_t hint)
{
    const std::size_t position = indexOf(record, hint);
    if (position == ChangeLog::npos) {
        return;
    }
    if (record.status == UpdateStatus::Inserted) {
        log_.take(log_.find(record));
        detach(record, position);
        return;
    }
    std::unique_ptr<Record> owned = std::move(records_[position]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(position));
    ++version_;
    const std::size_t existing = log_.find(record);
    RecordBuffer original = record.data;
    if (record.status == UpdateStatus::Modified) {
        original = std::move(std::get<RecordModified>(log_.changes()[existing]).original);
    }
    record.status = UpdateStatus::Deleted;
    record.nestedLogged = false;
    Change change = RecordDeleted{std::move(owned), std::move(original), position};
    if (existing != ChangeLog::npos) {
        log_.replace(existing, std::move(change));
        return;
    }
    log_.add(std::move(change));
    noteChange();
}

int RecordSet::changeCount() const
{
    int count = 0;
    for (const Change& change : log_.changes()) {
        const Record& record = changedRecord(change);
        if (!std::holds_alternative<NestedChanged>(change)) {
            ++count;
        }
        for (const auto& nested : record.nested) {
            count += nested->changeCount();
        }
    }
    return count;
}

void RecordSet::cancelUpdates()
{
    auto& changes = log_.changes();
    for (std::size_t i = changes.size(); i-- > 0;) {
        std::visit(ChangeReverter{*this}, changes[i]);
    }
    log_.clear();
    ++version_;
}

void RecordSet::mergeChangeLog(const std::unordered_set<std::uint64_t>& keep)
{
    ChangeLog kept;
    for (Change& change : log_.changes()) {
        if (ChangeMerger{*this, keep}(change)) {
            kept.add(std::move(change));
        }
    }
    log_ = std::move(kept);
    ++version_;
}

bool RecordSet::revertRecord(Record& record)
{
    const std::size_t index = log_.find(record);
    if (index == ChangeLog::npos) {
        return false;
    }
    Change change = log_.take(index);
    std::visit(ChangeReverter{*this}, change);
    ++version_;
    return true;
}

Record* RecordSet::findById(std::uint64_t id)
{
    RecordSet* set = setOf(id);
    if (set == nullptr) {
        return nullptr;
    }
    for (const auto& record : set->records_) {
        if (record->id == id) {
            return record.get();
        }
    }
    for (const Change& change : set->log_.changes()) {
        if (changedRecord(change).id == id) {
            return &changedRecord(change);
        }
    }
    return nullptr;
}

RecordSet* RecordSet::setOf(std::uint64_t id)
{
    const auto holds = [id](const Record& r) { return r.id == id; };
    for (const auto& record : records_) {
        if (holds(*record)) {
            return this;
        }
    }
    for (const Change& change : log_.changes()) {
        if (holds(changedRecord(change))) {
            return this;
        }
    }
    const auto searchBelow = [id](Record& record) -> RecordSet* {
        for (auto& nested : record.nested) {
            if (RecordSet* found = nested->setOf(id)) {
                return found;
            }
        }
        return nullptr;
    };
    for (const auto& record : records_) {
        if (RecordSet* found = searchBelow(*record)) {
            return found;
        }
    }
    for (const Change& change : log_.changes()) {
        if (std::holds_alternative<RecordDeleted>(change)) {
            if (RecordSet* found = searchBelow(changedRecord(change))) {
                return found;
            }
        }
    }
    return nullptr;
}

void RecordSet::restore(std::unique_ptr<Record> record, std::size_t position)
{
    position = std::min(position, records_.size());
    records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(position), std::move(record));
    ++version_;
}

std::unique_ptr<Record> RecordSet::detach(Record& record, std::size_t hint)
{
    const std::size_t position = indexOf(record, hint);
    if (position == ChangeLog::npos) {
        return nullptr;
    }
    std::unique_ptr<Record> owned = std::move(records_[position]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(position));
    ++version_;
    return owned;
}

void RecordSet::noteChange()
{
    if (owner_ != nullptr && ownerSet_ != nullptr) {
        ownerSet_->noteNestedChange(*owner_);
    }
}

void RecordSet::noteNestedChange(Record& record)
{
    if (record.status != UpdateStatus::Unmodified || record.nestedLogged) {
        return;
    }
    if (indexOf(record) == ChangeLog::npos) {
        return; // a record not yet posted: its insert entry will cover the details
    }
    record.nestedLogged = true;
    log_.add(NestedChanged{&record});
    noteChange();
}

} // namespace orvane
