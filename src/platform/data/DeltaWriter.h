#pragma once
// Writes the change log of a record set, with its nested levels, as a delta: a visitor
// that turns each change into a delta record. Only fields carried by the provider's
// packets are written.

#include "platform/data/ChangeLog.h"
#include "platform/data/Delta.h"
#include "platform/data/RecordSet.h"

#include <optional>
#include <vector>

namespace orvane {

class DeltaWriter {
public:
    explicit DeltaWriter(const RecordSchema& schema);

    Delta write(const RecordSet& set) const;

    // One delta record per change; nothing for a nested change whose details net out.
    std::optional<DeltaRecord> operator()(const RecordInserted& change) const;
    std::optional<DeltaRecord> operator()(const RecordModified& change) const;
    std::optional<DeltaRecord> operator()(const RecordDeleted& change) const;
    std::optional<DeltaRecord> operator()(const NestedChanged& change) const;

private:
    std::vector<DeltaRecord> records(const RecordSet& set) const;
    std::vector<Variant> values(const RecordBuffer& buffer) const;
    std::vector<std::vector<DeltaRecord>> nestedRecords(const Record& record) const;

    const RecordSchema& schema_;
    std::vector<int> fields_;         // schema index per delta field
    std::vector<DeltaWriter> nested_; // per delta DataSet field
    std::vector<int> nestedOrdinals_; // record nested ordinal per entry of nested_
    std::vector<FieldDef> deltaFields_;
};

} // namespace orvane
