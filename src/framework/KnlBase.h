#pragma once
// KnlBase: the text settings data modules are configured with: field lists
// ("cdsMain:TC029,TC030;cdsBody1:TD012") and the twelve number groups with their decimals and
// display and edit formats. Pure values, no datasets: the data modules apply them.
// Any thread.

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

// One item of a field list: a dataset component name and its fields.
struct FieldListItem {
    std::string dataSet;
    std::vector<std::string> fields;
};
// The items of "dataset:field,field;dataset:field"; an item without ":" names no dataset.
std::vector<FieldListItem> parseFieldList(std::string_view text);
// True when the list names field under dataSet (both compared without regard to case).
bool fieldListHas(std::string_view text, std::string_view dataSet, std::string_view field);

// Display format of a group of `decimals` decimals: "#,##0.##" for 2; the default number
// format for a negative count.
std::string numberDisplayFormat(int decimals);
// Edit format likewise: "##0.##" for 2.
std::string numberEditFormat(int decimals);

// The twelve number groups (FNumberFields, FNumberLength): which fields of which datasets hold
// numbers of one precision, and how many decimals that precision has.
class NumberGroups {
public:
    static constexpr int count = 12;

    // Groups 0..4 with 0..4 decimals, 5..10 with the default formats (-1), 11 with 7.
    NumberGroups();

    // Index errors (outside 0..11) raise std::out_of_range "Variant array index out of bounds
    // -- FNumberFields" (or FNumberLength).
    const std::string& fields(int group) const;
    void setFields(int group, std::string text);
    int length(int group) const;
    void setLength(int group, int decimals);

    // The first group whose text names field under dataSet; -1 when none does.
    int groupOf(std::string_view dataSet, std::string_view field) const;
    // The decimals of the first group naming field under any dataset; 0 when none does.
    int decimalsFor(std::string_view field) const;

private:
    static std::size_t checked(int group, const char* property);

    // The first group whose parsed list names field, under dataSet unless anyDataSet.
    int firstGroupNaming(std::string_view dataSet, std::string_view field, bool anyDataSet) const;
    // firstGroupNaming, answered from the groups' answers kept since their texts last changed.
    int keptGroupNaming(std::string_view dataSet, std::string_view field, bool anyDataSet) const;

    std::array<std::string, count> fields_;
    std::array<std::vector<FieldListItem>, count> parsed_; // fields_ parsed once: asked on every number assigned
    std::array<int, count> lengths_{0, 1, 2, 3, 4, -1, -1, -1, -1, -1, -1, 7};
    // Every number a clerk types asks its field's group: the answers by dataset and field name.
    mutable std::unordered_map<std::string, int> answers_;
};

} // namespace orvane
