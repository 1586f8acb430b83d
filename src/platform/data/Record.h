#pragma once
// One record of a client dataset: its field values in one buffer, the record sets of its
// nested detail fields, and its update status in the change log.

#include "platform/data/RecordLayout.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace orvane {

class RecordSet;

enum class UpdateStatus { Unmodified, Modified, Inserted, Deleted };

struct Record {
    Record();
    ~Record();
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::uint64_t id;                               // unique in the process; bookmarks and deltas use it
    RecordBuffer data;                              // current field values
    std::vector<std::shared_ptr<RecordSet>> nested; // one per nested-dataset field (cursors may share them)
    UpdateStatus status = UpdateStatus::Unmodified; // own change (not counting details)
    bool nestedLogged = false;                      // holds a NestedChanged entry in its set's log
};

} // namespace orvane
