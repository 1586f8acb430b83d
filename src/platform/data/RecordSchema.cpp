#include "platform/data/RecordSchema.h"

#include <algorithm>
#include <cctype>

namespace orvane {

bool sameFieldName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

namespace {

const FieldDef* findDef(const std::vector<FieldDef>* defs, std::string_view name)
{
    if (defs == nullptr) {
        return nullptr;
    }
    const auto it =
        std::find_if(defs->begin(), defs->end(), [&](const FieldDef& d) { return sameFieldName(d.name, name); });
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
        if (sameFieldName(fields_[i].name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace orvane
