#pragma once
// A field of a dataset: one column of its records, with the display properties and the
// events a data module attaches (validate, change, get-text, set-text). Reads and writes
// go to the dataset's current record, or to its edit buffer while it is edited or
// inserted. Events are plain public members, so code can detach them and put them back.
// Client thread only.

#include "platform/data/FieldDef.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

class DataSet;

class Field {
public:
    using Notify = std::function<void(Field& field)>;
    // Produces the text shown (displayText true) or edited (false).
    using GetText = std::function<void(Field& field, std::string& text, bool displayText)>;
    // Stores typed text into the field.
    using SetText = std::function<void(Field& field, std::string_view text)>;

    Field(DataSet& dataSet, int index, const FieldDef& def);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    DataSet& dataSet() const { return dataSet_; }
    const std::string& name() const { return name_; }
    FieldType type() const { return type_; }
    int index() const { return index_; }
    // String capacity in bytes; 0 for other types.
    int size() const { return size_; }
    bool isNumeric() const;

    const std::string& displayLabel() const { return displayLabel_.empty() ? name_ : displayLabel_; }
    void setDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
    int displayWidth() const { return displayWidth_; }
    void setDisplayWidth(int width) { displayWidth_ = width; }
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool required() const { return required_; }
    void setRequired(bool required) { required_ = required; }
    const std::string& editMask() const { return editMask_; }
    void setEditMask(std::string mask) { editMask_ = std::move(mask); }
    const std::string& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(std::string format) { displayFormat_ = std::move(format); }
    const std::string& editFormat() const { return editFormat_; }
    void setEditFormat(std::string format) { editFormat_ = std::move(format); }

    // Typed reads of the current value. A null value reads as "", 0, 0.0 or false.
    // asInteger/asFloat of text that is not a number raise ConversionError naming the field.
    bool isNull() const;
    std::string asString() const;
    std::int64_t asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    Variant value() const; // Null when null

    // Typed writes, converted to the field's type. Each write runs the validate event
    // with the new value in place (an exception puts the old value back and passes on),
    // keeps the value and then runs the change event. Raises DataSetError when the
    // dataset is not in edit or insert state or the field is read-only.
    void setAsString(std::string_view value);
    void setAsInteger(std::int64_t value);
    void setAsFloat(double value);
    void setAsBoolean(bool value);
    void setValue(const Variant& value);
    void clear();

    // The text shown in grids and labels: the get-text event, else the value formatted
    // by type (floats with the display format when set, else 15 significant digits).
    std::string displayText() const;
    std::string text() const { return displayText(); }
    // The text put into an edit control: the get-text event, else the value formatted
    // by type (floats with the edit format when set).
    std::string editText() const;
    // Stores typed text: the set-text event, else a conversion by type (empty text
    // clears a non-string field; bad text raises ConversionError naming the field).
    void setText(std::string_view text);

    Notify onValidate; // runs before a new value is kept; throw (or abortSilently) to refuse it
    Notify onChange;   // runs after a new value is kept
    GetText onGetText;
    SetText onSetText;

private:
    const std::byte* buffer() const;
    template <typename Store>
    void write(Store store);
    std::string formattedText(const std::string& format) const;
    [[noreturn]] void conversionFailed(std::string_view text, std::string_view kind) const;

    DataSet& dataSet_;
    int index_;
    std::string name_;
    FieldType type_;
    int size_;
    std::string displayLabel_;
    int displayWidth_;
    bool visible_;
    bool readOnly_;
    bool required_;
    std::string editMask_;
    std::string displayFormat_;
    std::string editFormat_;
};

} // namespace orvane
