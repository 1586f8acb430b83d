#include "framework/SingleCD.h"

#include "platform/text/ByteText.h"
#include "platform/text/LocalText.h"
#include "services/LibSys.h"

namespace orvane {

namespace {

// The blank that stands for a carried value not remembered yet; remembered values end with it
// too, so an empty value still holds its place.
constexpr std::string_view carryPlaceholder = " ";

// A text in single quotes, its own quotes doubled.
std::string sqlQuoted(std::string_view value)
{
    std::string result = "'";
    for (const char c : value) {
        result += c;
        if (c == '\'')
            result += '\'';
    }
    return result + "'";
}

// The code after the tab of a combo item ("A:text<TAB>A" gives "A").
std::string_view itemCode(std::string_view item)
{
    const std::size_t tab = item.find('\t');
    return tab == std::string_view::npos ? std::string_view() : item.substr(tab + 1);
}

// The text shown for a combo item: the item cut at its tab.
std::string_view itemDisplay(std::string_view item)
{
    return item.substr(0, item.find('\t'));
}

} // namespace

TdmSingle::TdmSingle()
{
    cdsMain.onReconcileError = [this](ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action) {
        cdsMainReconcileError(dataSet, error, action);
    };
}

TdmSingle::~TdmSingle() = default;

void TdmSingle::NewHeadDefaults()
{
    TdmBase::NewHeadDefaults();
    autoNumber_ = false;
    for (const auto& [name, value] : carryOver_)
        SetFieldText(cdsMain.findField(name), text::trim(value), true);
    ApplyPresetValues();
}

void TdmSingle::SetKeyFields(std::string_view keyFields)
{
    TdmBase::SetKeyFields(keyFields);
    keys_ = splitList(KeyFields(), ',');
    keyValues_.assign(keys_.size(), std::string());
    if (autoNumber_ && autoNumberField_.empty())
        chooseNumberField();
}

void TdmSingle::SetAutoNumber(bool on)
{
    if (on == autoNumber_)
        return;
    autoNumber_ = on;
    autoNumberField_.clear();
    if (on)
        chooseNumberField();
}

void TdmSingle::chooseNumberField()
{
    if (keys_.empty())
        return;
    autoNumberField_ = keys_.back();
    if (Field* field = cdsMain.findField(autoNumberField_))
        field->setRequired(false);
}

void TdmSingle::ApplyPresetValues()
{
    if (presetValues_.dimensions() != 2)
        return;
    const int nameColumn = presetValues_.lowBound(2);
    if (presetValues_.highBound(2) <= nameColumn)
        return;
    for (int row = presetValues_.lowBound(1); row <= presetValues_.highBound(1); ++row) {
        const Variant& value = presetValues_.at(row, nameColumn + 1);
        SetFieldText(cdsMain.findField(presetValues_.at(row, nameColumn).toString()), value.toString(), true);
    }
}

void TdmSingle::GetAutoNumberField(std::string& name) const
{
    name = autoNumberField_;
}

void TdmSingle::StampLines() {}

void TdmSingle::FetchAllRecords(ClientDataSet& dataSet)
{
    while (dataSet.getNextPacket() > 0) {
    }
    dataSet.first();
}

int TdmSingle::DecimalsForField(std::string_view field) const
{
    return numberGroups().decimalsFor(field);
}

void TdmSingle::ComboDisplayText(const GridComboItems& grid, std::string_view field, std::string_view value,
                                 std::string& text) const
{
    text = value;
    const std::vector<std::string>* items = grid.comboItems(field);
    if (items == nullptr || value.empty())
        return;
    for (const std::string& item : *items) {
        if (itemCode(item) == value) {
            text = itemDisplay(item);
            return;
        }
    }
    for (const std::string& item : *items) {
        if (item.find(value) != std::string::npos) {
            text = itemDisplay(item);
            return;
        }
    }
}

bool TdmSingle::OpenData()
{
    const bool opened = TdmBase::OpenData();
    if (autoNumber_)
        chooseNumberField();
    return opened;
}

bool TdmSingle::SaveData(ClientDataSet& dataSet)
{
    const bool saved = TdmBase::SaveData(dataSet);
    if (saved && ownerMode() == RecordMode::Add)
        RememberCarryOverValues();
    return saved;
}

void TdmSingle::SetCarryOverFields(std::string_view names)
{
    carryOver_.clear();
    for (std::string& name : splitList(names, ','))
        if (!name.empty())
            carryOver_.emplace_back(std::move(name), std::string(carryPlaceholder));
}

void TdmSingle::RememberCarryOverValues()
{
    for (auto& [name, value] : carryOver_) {
        const Field* field = cdsMain.findField(name);
        if (field == nullptr)
            continue;
        value = field->isNull() ? std::string() : field->asString() + std::string(carryPlaceholder);
    }
}

void TdmSingle::ResetCarryOverValues()
{
    for (auto& entry : carryOver_)
        entry.second.assign(1, ' ');
}

void TdmSingle::RememberKeyValues()
{
    for (std::size_t i = 0; i < keys_.size(); ++i)
        keyValues_[i] = cdsMain.fieldByName(keys_[i]).asString();
}

bool TdmSingle::KeyCondition(std::string& condition) const
{
    condition.clear();
    for (const std::string& key : keys_) {
        const Field* field = cdsMain.findField(key);
        if (field == nullptr)
            continue;
        std::string value;
        if (autoNumber_ && ownerMode() == RecordMode::Add && text::equalsIgnoringCase(key, autoNumberField_))
            value = sqlQuoted(owner() != nullptr ? owner()->newNumber() : std::string());
        else if (field->type() == FieldType::String)
            value = sqlQuoted(field->asString());
        else
            value = field->asString();
        if (!condition.empty())
            condition += " and ";
        condition += (tableAlias_.empty() ? key : tableAlias_ + "." + key) + " = " + value;
    }
    return cdsMain.state() == DataSetState::Browse && !condition.empty();
}

void TdmSingle::cdsMainReconcileError(ClientDataSet& /*dataSet*/, const ReconcileError& error,
                                      ReconcileAction& /*action*/)
{
    if (owner() != nullptr)
        owner()->ShowConvertedMessage(error.message);
    // The box has told the user; a log that cannot be written must not turn the refusal into
    // a different failure halfway through the reconcile.
    try {
        WriteLog(reconcileLogSource, LOCAL_TEXT(u8"Single保存失败 Context :") + error.context, "D");
        WriteLog(reconcileLogSource, LOCAL_TEXT(u8"Single保存失败 PreviousError :") + std::to_string(error.previousError),
                 "D");
    } catch (const std::exception&) {
    }
}

} // namespace orvane
