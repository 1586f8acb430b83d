#include "platform/data/RecordSchema.h"

#include "platform/text/ByteText.h"

#include <algorithm>

namespace orvane {

namespace {

const FieldDef* findDef(const std::vector<FieldDef>* defs, std::string_view name)
{
    if (defs == nullptr) {
        return nullptr;
    }
    const auto it = std::find_if(defs->begin(), defs->end(),
                                 [&](const FieldDef& d) { return text::equalsIgnoringAsciiCase(d.name, name); });
    return it == defs->end() ? nullptr : &*it;
}

} // namespace

RecordSchema::RecordSchema(std::vector<FieldDef> fields, const std::vector<FieldDef>* packetFields)
    : fields_(std::move(fields)), layout_(fields_)
{
    inPacket_.reserve(fields_.size());
    for (const FieldDef& def : fields_) {
        const FieldDef* packetDef = findDef(packetFields, def.name);
        inPacket_.push_back(packetFields == nullptr || packetDef != nullptr);
        if (def.isNested()) {
            const std::vector<FieldDef>* nestedPacket = packetFields == nullptr ? nullptr
                                                        : packetDef != nullptr  ? &packetDef->nested
                                                                                : &def.nested;
            nested_.push_back(std::make_shared<const RecordSchema>(def.nested, nestedPacket));
        }
    }
}

int RecordSchema::indexOf(std::string_view name) const
{
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(fields_[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace orvane
