#pragma once
// TDDField: the field dictionary of one program object applied to a data module and its form.
// For every field row of the object (MN002, any case) whose dataset (MN003) the module holds and
// whose field (MN004) that dataset defines: the display label (MN006), the display width (MN007,
// 0 when null; "0" also hides the field), the value kind (MN005: "DATE" gets the date mask and
// the date handlers the field lacks, "PERCENT" the percentage mask), the position (MN008) among
// the dataset's grid columns, the value list (MP005/MP006) as the items of a bound combo box and
// the MN009 text as the bound control's tool tip. Rows that do not fit are skipped and logged.
// Without both files nothing is applied. The root form keeps the object (DictionaryObject) as
// long as it lives. Client (GUI) thread only.

#include "platform/data/Field.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

class QComboBox;

namespace orvane {

class DictionaryRows;
class TdmVozuraz;

class TDDField {
public:
    // One applied field.
    struct FieldRecord {
        std::string name;                // up to 10 characters
        std::string dataSet;             // the dataset component's name
        int position = 0;                // MN008, or the field's own position
        std::string kind;                // MN005
        std::vector<std::string> values; // MP005 of the value-list rows
        std::vector<std::string> texts;  // MP006 of the value-list rows
        std::string note;                // MN009
        QPointer<QWidget> control;       // the control bound to the field; null when none
    };

    // Builds the dictionary of objectName in langType from the client's C_DATA folder and
    // applies it to module's datasets and form's controls; the date masks and handlers come
    // from the module.
    TDDField(std::string_view langType, std::string_view objectName, QWidget& form, TdmVozuraz& module);
    // The same over the dictionary files of folder.
    TDDField(const std::string& folder, std::string_view langType, std::string_view objectName, QWidget& form,
             TdmVozuraz& module);

    const std::vector<FieldRecord>& records() const { return records_; }
    const FieldRecord* record(std::string_view dataSet, std::string_view field) const;
    // False when a file was missing or damaged (nothing was applied).
    bool loaded() const { return loaded_; }

private:
    void apply(const DictionaryRows& fields, const DictionaryRows& lists);
    void applyRow(const DictionaryRows& fields, std::size_t row, const DictionaryRows& lists);
    void gatherValueList(const DictionaryRows& fields, std::size_t row, const DictionaryRows& lists,
                         FieldRecord& record) const;
    void applyKind(Field& field, const std::string& kind) const;
    QWidget* boundControl(const Field& field) const;
    static void fillValueList(QComboBox& combo, const FieldRecord& record);
    void applyControls();
    void applyPositions();
    void skip(std::string_view what, std::string_view why) const;

    QWidget& form_;
    TdmVozuraz& module_;
    std::string objectName_;
    std::string dateMask_;
    std::string percentMask_;
    Field::GetText dateGetText_;
    Field::SetText dateSetText_;
    Field::Notify dateValidate_;
    std::vector<FieldRecord> records_;
    bool loaded_ = false;
};

} // namespace orvane
