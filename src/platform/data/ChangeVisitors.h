#pragma once
// Visitors over the change log of a record set: each handles one kind of change.

#include "platform/data/ChangeLog.h"

#include <cstdint>
#include <unordered_set>

namespace orvane {

class RecordSet;

// Undoes one change: an inserted record disappears, a modified one gets its original
// values back, a deleted one returns to its place; details are undone with it.
struct ChangeReverter {
    RecordSet& set;
    void operator()(RecordInserted& change) const;
    void operator()(RecordModified& change) const;
    void operator()(RecordDeleted& change) const;
    void operator()(NestedChanged& change) const;
};

// Accepts one change as the new original state; `keep` lists the record ids that stay
// pending. Returns true when the change must stay in the log (kept, or details still
// pending), after rewriting it when needed.
struct ChangeMerger {
    RecordSet& set;
    const std::unordered_set<std::uint64_t>& keep;
    bool operator()(Change& change) const;
};

} // namespace orvane
