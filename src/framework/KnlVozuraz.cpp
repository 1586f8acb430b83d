#include "framework/KnlVozuraz.h"

#include "framework/FieldTextFormats.h"
#include "framework/KnlBase.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/LocalText.h"
#include "services/Brokers.h"

#include <algorithm>

namespace orvane {

namespace {

// Puts a field's read-only mark back however the assignment ends.
class ReadOnlyLift {
public:
    explicit ReadOnlyLift(Field& field) : field_(field), readOnly_(field.readOnly()) { field.setReadOnly(false); }
    ~ReadOnlyLift() { field_.setReadOnly(readOnly_); }
    ReadOnlyLift(const ReadOnlyLift&) = delete;
    ReadOnlyLift& operator=(const ReadOnlyLift&) = delete;

private:
    Field& field_;
    bool readOnly_;
};

// Puts a field's change handler back however the assignment ends.
class ChangeHandlerDetach {
public:
    explicit ChangeHandlerDetach(Field& field) : field_(field), handler_(std::move(field.onChange))
    {
        field.onChange = nullptr;
    }
    ~ChangeHandlerDetach() { field_.onChange = std::move(handler_); }
    ChangeHandlerDetach(const ChangeHandlerDetach&) = delete;
    ChangeHandlerDetach& operator=(const ChangeHandlerDetach&) = delete;

private:
    Field& field_;
    Field::Notify handler_;
};

bool isNumberType(FieldType type)
{
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::Float;
}

// Key values worth sending: not unassigned, null, an empty array or blank text.
bool holdsKeys(const Variant& keys)
{
    if (keys.isUnassignedOrNull())
        return false;
    if (keys.isArray())
        return !keys.array().empty();
    if (keys.isString())
        return !text::trim(keys.asString()).empty();
    return true;
}

// The traditional Chinese labels of the audit fields, in auditFieldNames order. They are
// written in traditional characters, which both Big5 and GBK hold, so a Big5 installation
// shows them whole.
const std::string& auditLabel(std::size_t index)
{
    switch (index) {
    case 0: return LOCAL_TEXT(u8"公司編號");
    case 1: return LOCAL_TEXT(u8"錄入者");
    case 2: return LOCAL_TEXT(u8"組編號");
    case 3: return LOCAL_TEXT(u8"錄入日期");
    case 4: return LOCAL_TEXT(u8"更改者");
    case 5: return LOCAL_TEXT(u8"更改日期");
    default: return LOCAL_TEXT(u8"標識");
    }
}

} // namespace

bool SetFieldText(Field* field, std::string_view text, bool useEditText)
{
    if (field == nullptr)
        return false;
    const ReadOnlyLift lift(*field);
    if (useEditText && isNumberType(field->type()))
        field->setText(text);
    else if (field->type() == FieldType::String && field->size() > 0)
        field->setAsString(text::cutToBytes(text, static_cast<std::size_t>(field->size())));
    else
        field->setAsString(text);
    return true;
}

bool IsAuditField(std::string_view name)
{
    return std::ranges::any_of(auditFieldNames,
                               [&](std::string_view audit) { return text::equalsIgnoringCase(audit, name); });
}

void ShowAuditFields(DataSet& dataSet, bool show)
{
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field& field = dataSet.field(i);
        if (IsAuditField(field.name())) {
            field.setVisible(show);
            field.setReadOnly(show);
        }
    }
}

void LabelAuditFields(DataSet& dataSet, std::string_view language, FieldTextFormats& formats)
{
    if (!text::equalsIgnoringCase(language, "CHT"))
        return;
    for (std::size_t i = 0; i < auditFieldNames.size(); ++i) {
        Field* field = dataSet.findField(auditFieldNames[i]);
        if (field == nullptr)
            continue;
        field->setDisplayLabel(auditLabel(i));
        if (auditFieldNames[i] == "CREATE_DATE" || auditFieldNames[i] == "MODI_DATE")
            field->onGetText = formats.getText(&FieldTextFormats::DateFieldGetText);
    }
}

void FillEmptyFields(DataSet& dataSet)
{
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field& field = dataSet.field(i);
        if (!field.isNull())
            continue;
        if (field.type() == FieldType::String) {
            const ChangeHandlerDetach detach(field);
            SetFieldText(&field, "", false);
        } else if (isNumberType(field.type())) {
            const ChangeHandlerDetach detach(field);
            SetFieldText(&field, "0", false);
        }
    }
}

bool CodeChecks::found(std::string_view table, std::string_view kind, const Variant& keys, Variant& row) const
{
    return brokers_.CheckValue(table, kind, keys, row);
}

void CodeChecks::refuse(const Field& field, std::string_view messageType, std::string_view errorCode,
                        std::string_view warningCode) const
{
    const Variant label[] = {Variant(field.displayLabel())};
    if (messageType == "E") {
        if (messages_ != nullptr)
            messages_->ShowMessageCode("E", errorCode, false, label);
        abortSilently();
    }
    if (messageType == "W") {
        const int answer = messages_ != nullptr ? messages_->ShowMessageCode("W", warningCode, false, label) : 0;
        if (answer != 1)
            abortSilently();
    }
}

bool CodeChecks::CodeLookup(Field& field, std::string_view table, std::string_view messageType,
                            std::string_view targetFields, std::string_view kind, const Variant& keyValues) const
{
    const std::vector<std::string> targets = text::splitList(targetFields, ',', text::ListItems::Trimmed);
    DataSet& dataSet = field.dataSet();
    const std::string code = field.asString();
    if (code.empty()) {
        if (isEditing(dataSet)) {
            for (const std::string& name : targets)
                if (!name.empty())
                    SetFieldText(dataSet.findField(name), "", false);
        }
        return true;
    }
    Variant row;
    if (!found(table, kind, holdsKeys(keyValues) ? keyValues : Variant::arrayOf({Variant(code)}), row)) {
        refuse(field, messageType, "000001", "000004");
        return false;
    }
    if (!isEditing(dataSet) || !row.isArray())
        return true;
    const int low = row.lowBound();
    for (std::size_t i = 0; i < targets.size() && low + static_cast<int>(i) <= row.highBound(); ++i) {
        if (!targets[i].empty())
            SetFieldText(dataSet.findField(targets[i]), row[low + static_cast<int>(i)].toString(), false);
    }
    return true;
}

bool CodeChecks::CodeExists(Field& field, std::string_view table, std::string_view kind, const Variant& keyValues) const
{
    return CodeLookup(field, table, "N", "", kind, keyValues);
}

bool CodeChecks::CheckKeyUnique(Field& field, std::string_view table, std::string_view messageType,
                                std::string_view keyFields, std::string_view kind) const
{
    std::vector<Variant> keys;
    for (const std::string& name : text::splitList(keyFields, ',', text::ListItems::Trimmed))
        keys.emplace_back(field.dataSet().fieldByName(name).asString());
    Variant row;
    if (!found(table, kind, Variant::arrayOf(std::move(keys)), row))
        return true;
    refuse(field, messageType, "000002", "000005");
    return false;
}

} // namespace orvane
