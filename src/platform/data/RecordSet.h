#pragma once
// The records of one dataset level in their natural order (as fetched, then as inserted),
// with the change log of that level. The top level belongs to a client dataset (shared
// with its clone cursors); each record owns one record set per nested field.
//
// Every edit goes through insert/modify/remove so that the log stays exact. The version
// counter moves on every change, so cursors over the same records can see that their
// view is stale. Single-threaded (the client's interface thread).

#include "platform/data/ChangeLog.h"
#include "platform/data/RecordSchema.h"

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

namespace orvane {

class RecordSet {
public:
    // `owner` is the record whose nested field this set is (null for a top level);
    // `ownerSet` the set holding that record.
    RecordSet(std::shared_ptr<const RecordSchema> schema, Record* owner = nullptr, RecordSet* ownerSet = nullptr);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    const RecordSchema& schema() const { return *schema_; }
    const std::shared_ptr<const RecordSchema>& schemaPtr() const { return schema_; }
    // A new record with every field null and empty nested sets, not yet in the set.
    std::unique_ptr<Record> newRecord();

    std::size_t size() const { return records_.size(); }
    Record& at(std::size_t index) const { return *records_[index]; }
    // Natural index of `record`, trying `hint` first; npos when it is not in the set.
    std::size_t indexOf(const Record& record, std::size_t hint = 0) const;
    std::uint64_t version() const { return version_; }

    // A fetched record: appended without a change entry.
    void load(std::unique_ptr<Record> record);
    // A new record posted at natural index `position` (clamped to the end).
    Record& insert(std::unique_ptr<Record> record, std::size_t position);
    // New values for a record of the set.
    void modify(Record& record, RecordBuffer data);
    // Deletes a record of the set; an inserted record is simply dropped.
    void remove(Record& record, std::size_t hint = 0);

    const ChangeLog& log() const { return log_; }
    // Number of changed records, details included.
    int changeCount() const;
    bool hasChanges() const { return changeCount() > 0; }

    // Every change of this set and its details undone.
    void cancelUpdates();
    // Every change accepted as the new original values, except the records whose ids
    // are in `keep` (they stay pending, with their details).
    void mergeChangeLog(const std::unordered_set<std::uint64_t>& keep = {});
    // The changes of one record (and its details) undone; false when it had none.
    bool revertRecord(Record& record);
    // Finds the record with the given id in this set or below it, deleted ones included.
    Record* findById(std::uint64_t id);
    // The set holding the record with the given id, in this set or below it.
    RecordSet* setOf(std::uint64_t id);

    // Primitives for the change visitors.
    void restore(std::unique_ptr<Record> record, std::size_t position);
    std::unique_ptr<Record> detach(Record& record, std::size_t hint = 0);
    void touch() { ++version_; }
    // The owner record is gone: the set lives on alone for the cursors still showing it.
    void orphan()
    {
        owner_ = nullptr;
        ownerSet_ = nullptr;
    }

private:
    // A change was logged here: the owner record's set must log it as a nested change.
    void noteChange();
    void noteNestedChange(Record& record);

    std::shared_ptr<const RecordSchema> schema_;
    Record* owner_;
    RecordSet* ownerSet_;
    std::vector<std::unique_ptr<Record>> records_;
    ChangeLog log_;
    std::uint64_t version_ = 0;
};

} // namespace orvane
