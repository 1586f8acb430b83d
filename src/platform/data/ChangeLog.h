#pragma once
// The change log of one record set: a typed list of changes (a record inserted, modified
// or deleted, or changed only in its nested details) in the order they were made. Small
// visitors revert it, merge it and turn it into a delta.

#include "platform/data/Record.h"

#include <cstddef>
#include <memory>
#include <variant>
#include <vector>

namespace orvane {

struct RecordInserted {
    Record* record;
};

struct RecordModified {
    Record* record;
    RecordBuffer original; // values before the first change since the last merge
};

struct RecordDeleted {
    std::unique_ptr<Record> record; // the log keeps the record until it is merged or reverted
    RecordBuffer original;          // values before any change since the last merge
    std::size_t position;           // index in the record set when it was deleted
};

// The record itself is unchanged; some of its detail records changed.
struct NestedChanged {
    Record* record;
};

using Change = std::variant<RecordInserted, RecordModified, RecordDeleted, NestedChanged>;

// The record a change is about.
Record& changedRecord(const Change& change);

class ChangeLog {
public:
    void add(Change change) { changes_.push_back(std::move(change)); }
    // Index of the change about `record`, or npos. Searches from the newest change.
    std::size_t find(const Record& record) const;
    Change take(std::size_t index);
    void replace(std::size_t index, Change change) { changes_[index] = std::move(change); }
    void clear() { changes_.clear(); }

    bool empty() const { return changes_.empty(); }
    std::size_t size() const { return changes_.size(); }
    std::vector<Change>& changes() { return changes_; }
    const std::vector<Change>& changes() const { return changes_; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::vector<Change> changes_;
};

} // namespace orvane
