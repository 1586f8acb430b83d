#pragma once
// What a provider answers to applyUpdates: whether the changes were committed, how many
// records failed, and one error per failed record. Encodes losslessly to a Variant:
//
//   result = [applied, errorCount, errors]
//   error  = [record id, kind, message, context, previous error code, current values]
//
// `current values` are the server's values of the record when it knows them (a
// concurrency conflict), else empty; the reconcile action Refresh uses them.

#include "platform/data/Record.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

struct ApplyError {
    std::uint64_t recordId = 0;
    UpdateStatus kind = UpdateStatus::Modified;
    std::string message;
    std::string context;
    int previousError = 0;
    std::vector<Variant> currentValues;
};

struct ApplyResult {
    bool applied = true; // false when the provider rolled every change back
    int errorCount = 0;
    std::vector<ApplyError> errors;

    Variant toVariant() const;
    // Raises PacketError naming the faulty element for anything else.
    static ApplyResult fromVariant(const Variant& value);
};

} // namespace orvane
