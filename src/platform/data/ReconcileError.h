#pragma once
// A record the provider refused while applying updates, as the reconcile event sees it,
// and what the event may decide to do with it.

#include "platform/data/Record.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

enum class ReconcileAction {
    Skip,    // keep the record as the user typed it, still pending (the default)
    Abort,   // as Skip, and ask about no further records
    Merge,   // take the record's values as the new original values
    Correct, // the handler corrected the values; keep them pending for the next apply
    Cancel,  // undo the record's changes
    Refresh, // undo the record's changes and take the server's current values
};

struct ReconcileError {
    std::string message;   // the server's error text
    std::string context;   // where it happened (level and key values)
    int previousError = 0; // the server's previous error code
    UpdateStatus updateKind = UpdateStatus::Modified;
    std::uint64_t recordId = 0;
    std::vector<Variant> values;       // the record's values as sent, in delta field order
    std::vector<Variant> serverValues; // the server's current values when it knows them
};

} // namespace orvane
