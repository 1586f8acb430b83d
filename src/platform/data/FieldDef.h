#pragma once
// The definition of a dataset field: what a data module declares for each column and what
// a data packet carries as metadata (name, type, size, required, nested fields).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class FieldType { String, SmallInt, Integer, Float, Boolean, Date, DataSet };

// Name of a field type as written in packets and error texts ("String", "Float", ...).
std::string_view fieldTypeName(FieldType type);
// The type named by text, as written by fieldTypeName; nothing for an unknown name.
std::optional<FieldType> fieldTypeFromName(std::string_view name);

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;             // strings: capacity in bytes (0 is taken as 20)
    bool required = false;    // posting a record with this field null fails
    std::string displayLabel; // empty: the name
    int displayWidth = 0;     // characters; 0: the size for strings, 10 otherwise
    bool visible = true;
    bool readOnly = false;
    std::vector<FieldDef> nested; // fields of the detail records of a DataSet field

    bool isNested() const { return type == FieldType::DataSet; }
    // The string capacity actually used: size, or 20 when none was given.
    int effectiveSize() const;
    // Shorthands for declaring fields in code.
    static FieldDef string(std::string name, int size = 20);
    static FieldDef of(std::string name, FieldType type);
    static FieldDef dataSet(std::string name, std::vector<FieldDef> nested = {});
};

} // namespace orvane
