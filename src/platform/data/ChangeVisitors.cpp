#include "platform/data/ChangeVisitors.h"

#include "platform/data/RecordSet.h"

namespace orvane {

namespace {

void cancelNested(Record& record)
{
    for (auto& nested : record.nested) {
        nested->cancelUpdates();
    }
    record.nestedLogged = false;
}

// Merges the details of a record; true when some of them stay pending.
bool mergeNested(Record& record, const std::unordered_set<std::uint64_t>& keep)
{
    bool pending = false;
    for (auto& nested : record.nested) {
        nested->mergeChangeLog(keep);
        pending = pending || !nested->log().empty();
    }
    return pending;
}

} // namespace

void ChangeReverter::operator()(RecordInserted& change) const
{
    set.detach(*change.record);
}

void ChangeReverter::operator()(RecordModified& change) const
{
    Record& record = *change.record;
    record.data = std::move(change.original);
    record.status = UpdateStatus::Unmodified;
    cancelNested(record);
}

void ChangeReverter::operator()(RecordDeleted& change) const
{
    Record& record = *change.record;
    record.data = std::move(change.original);
    record.status = UpdateStatus::Unmodified;
    cancelNested(record);
    set.restore(std::move(change.record), change.position);
}

void ChangeReverter::operator()(NestedChanged& change) const
{
    cancelNested(*change.record);
}

bool ChangeMerger::operator()(Change& change) const
{
    Record& record = changedRecord(change);
    if (keep.contains(record.id)) {
        return true;
    }
    if (std::holds_alternative<RecordDeleted>(change)) {
        return false;
    }
    const bool pending = mergeNested(record, keep);
    record.status = UpdateStatus::Unmodified;
    record.nestedLogged = pending;
    if (pending) {
        change = NestedChanged{&record};
    }
    return pending;
}

} // namespace orvane
