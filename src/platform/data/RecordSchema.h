#pragma once
// The shape of the records of one dataset level: field definitions, their byte layout,
// the schemas of nested detail levels, and which fields the provider's packets carry
// (only those travel back in deltas; the others are companion fields kept locally).
// Immutable once built; shared by every record set of the level.

#include "platform/data/FieldDef.h"
#include "platform/data/RecordLayout.h"

#include <memory>
#include <string_view>
#include <vector>

namespace orvane {

class RecordSchema {
public:
    // Builds the schema of `fields` and, recursively, of their nested definitions. With
    // `packetFields` given, a field is sent in deltas only when a packet field of the same
    // name (any case) exists; without, every field is.
    explicit RecordSchema(std::vector<FieldDef> fields, const std::vector<FieldDef>* packetFields = nullptr);

    const std::vector<FieldDef>& fields() const { return fields_; }
    const RecordLayout& layout() const { return layout_; }
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    // Index of the field named `name` (any case), -1 when there is none.
    int indexOf(std::string_view name) const;
    bool inPacket(int field) const { return inPacket_[field]; }
    // Schema of the records of the nested field with the given nested ordinal.
    const std::shared_ptr<const RecordSchema>& nested(int ordinal) const { return nested_[ordinal]; }

private:
    std::vector<FieldDef> fields_;
    RecordLayout layout_;
    std::vector<bool> inPacket_;
    std::vector<std::shared_ptr<const RecordSchema>> nested_;
};

} // namespace orvane
