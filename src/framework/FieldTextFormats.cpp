#include "framework/FieldTextFormats.h"

#include "platform/data/DataSet.h"
#include "platform/data/SilentAbort.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/text/FieldTextRules.h"
#include "services/Brokers.h"

#include <array>

namespace orvane {

namespace {

bool editing(const Field& field)
{
    const DataSetState state = field.dataSet().state();
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

// The code a pick list resolves to: the first column of the first row; nothing when there is
// no row or the code is empty.
std::optional<std::string> firstCell(const LookupAnswer& answer)
{
    if (answer.rows.empty() || answer.rows[0].empty())
        return std::nullopt;
    const Variant& cell = answer.rows[0][0];
    if (cell.isArray() || cell.isDispatch() || cell.isEmpty())
        return std::nullopt;
    return cell.toString();
}

// Number-conversion errors of typed text name the field they were typed into.
template <typename Convert>
auto convertTyped(const Field& field, Convert convert)
{
    try {
        return convert();
    } catch (const ConversionError& error) {
        throw ConversionError("Field '" + field.displayLabel() + "': " + error.what());
    }
}

} // namespace

FieldTextFormats::FieldTextFormats() : currentYear_([] { return text::decodeDate(text::today()).year; }) {}

FieldTextFormats::~FieldTextFormats() = default;

void FieldTextFormats::setDateStyle(int style)
{
    dateStyle_ = text::knownDateStyle(style);
}

Field::GetText FieldTextFormats::getText(GetTextHandler handler)
{
    return [this, handler](Field& field, std::string& text, bool displayText) {
        (this->*handler)(field, text, displayText);
    };
}

Field::SetText FieldTextFormats::setText(SetTextHandler handler)
{
    return [this, handler](Field& field, std::string_view text) { (this->*handler)(field, text); };
}

Field::Notify FieldTextFormats::validate(ValidateHandler handler)
{
    return [this, handler](Field& field) { (this->*handler)(field); };
}

void FieldTextFormats::refuse(Field& field, std::string_view code) const
{
    if (messages_ != nullptr && editing(field)) {
        const std::array<Variant, 1> values{Variant("")};
        messages_->ShowMessageCode("E", code, false, values);
    }
    abortSilently();
}

// Full dates.

std::string FieldTextFormats::DateFieldEditMask() const
{
    return text::dateEditMask(dateStyle_, dateSeparator_);
}

void FieldTextFormats::DateFieldGetText(Field& field, std::string& text, bool)
{
    text.clear();
    if (field.isNull())
        return;
    if (field.type() == FieldType::Date) {
        const double value = field.asFloat();
        if (value != 0)
            text = text::dateDisplayText(text::decodeDate(value), dateStyle_, dateSeparator_);
        return;
    }
    text = DateDisplayText(field.asString());
}

std::string FieldTextFormats::DateDisplayText(std::string_view stored) const
{
    const auto date = text::storedDateParts(stored);
    return date ? text::dateDisplayText(*date, dateStyle_, dateSeparator_) : std::string();
}

void FieldTextFormats::DateFieldSetText(Field& field, std::string_view text)
{
    if (text::isBlankMaskText(text, dateSeparator_)) {
        field.clear();
        return;
    }
    // Text that does not read as a date is refused rather than taken as no date: clearing would
    // lose the value the field had without a word.
    if (text::isYearCutShort(text, dateStyle_, dateSeparator_))
        refuse(field, "000005");
    if (field.type() == FieldType::Date) {
        const auto value = text::typedDateValue(text, dateStyle_, dateSeparator_);
        if (!value || *value <= 0)
            refuse(field, "000005");
        field.setAsFloat(*value);
        return;
    }
    const std::string stored = text::dateStorageText(text, dateStyle_, dateSeparator_);
    if (stored.size() != 8)
        refuse(field, "000005");
    field.setAsString(stored);
}

void FieldTextFormats::DateFieldValidate(Field& field)
{
    if (!editing(field) || field.type() == FieldType::Date)
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isValidStoredDate(value))
        refuse(field, "000005");
}

// Year-month periods.

std::string FieldTextFormats::YMFieldEditMask() const
{
    return text::yearMonthEditMask(dateStyle_, dateSeparator_);
}

void FieldTextFormats::YMFieldGetText(Field& field, std::string& text, bool)
{
    text = text::yearMonthDisplayText(field.asString(), dateStyle_, dateSeparator_);
}

void FieldTextFormats::YMFieldSetText(Field& field, std::string_view text)
{
    if (text::isBlankMaskText(text, dateSeparator_)) {
        field.setAsString("");
        return;
    }
    // A year or month left out is refused: storing no period would lose the field's value unsaid.
    const std::string stored = text::yearMonthStorageText(text, dateStyle_, dateSeparator_);
    if (stored.size() != 6 || text::isPeriodYearCutShort(text, dateStyle_, dateSeparator_))
        refuse(field, "100002");
    field.setAsString(stored);
}

void FieldTextFormats::YMFieldValidate(Field& field)
{
    if (!editing(field))
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isValidYearMonth(value))
        refuse(field, "100002");
}

// Month-days.

std::string FieldTextFormats::MDFieldEditMask() const
{
    return text::monthDayEditMask(dateSeparator_);
}

void FieldTextFormats::MDFieldGetText(Field& field, std::string& text, bool)
{
    text = text::monthDayDisplayText(field.asString(), dateStyle_, dateSeparator_);
}

void FieldTextFormats::MDFieldSetText(Field& field, std::string_view text)
{
    const auto stored = text::monthDayStorageText(text, dateStyle_, dateSeparator_);
    if (!stored) {
        field.clear();
        return;
    }
    if (stored->size() != 4)
        refuse(field, "000005");
    field.setAsString(*stored);
}

void FieldTextFormats::MDFieldValidate(Field& field)
{
    if (!editing(field))
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isValidStoredDate(text::zeroPadded(currentYear_(), 4) + value))
        refuse(field, "000005");
}

// Years.

std::string FieldTextFormats::YearFieldEditMask() const
{
    return text::yearEditMask(dateStyle_);
}

void FieldTextFormats::YearFieldGetText(Field& field, std::string& text, bool)
{
    text = text::yearDisplayText(field.asString(), dateStyle_);
}

void FieldTextFormats::YearFieldSetText(Field& field, std::string_view text)
{
    if (text::isLoneYearCutShort(text, dateStyle_))
        refuse(field, "000005");
    if (const auto stored = text::yearStorageText(text, dateStyle_))
        field.setAsString(*stored);
    else
        field.clear();
}

// Times of day.

std::string FieldTextFormats::TimeFieldEditMask() const
{
    return std::string(text::timeEditMask);
}

void FieldTextFormats::TimeFieldGetText(Field& field, std::string& text, bool)
{
    text = text::timeDisplayText(field.asString());
}

void FieldTextFormats::TimeFieldSetText(Field& field, std::string_view text)
{
    const auto stored = text::timeStorageText(text);
    if (!stored) {
        field.clear();
        return;
    }
    if (stored->size() != 4)
        refuse(field, "100187");
    field.setAsString(*stored);
}

void FieldTextFormats::TimeFieldValidate(Field& field)
{
    if (!editing(field))
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isValidTime(value))
        refuse(field, "100187");
}

// Days and months.

std::string FieldTextFormats::DayFieldEditMask() const
{
    return std::string(text::dayMonthEditMask);
}

void FieldTextFormats::DayFieldSetText(Field& field, std::string_view text)
{
    const std::string stored = convertTyped(field, [&] { return text::dayMonthStorageText(text); });
    if (stored.empty()) {
        field.clear();
        return;
    }
    if (stored.size() != 2)
        refuse(field, "000005");
    field.setAsString(stored);
}

void FieldTextFormats::DayFieldValidate(Field& field)
{
    if (!editing(field))
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isIntegerWithin(value, 1, 31))
        refuse(field, "000005");
}

std::string FieldTextFormats::MonthFieldEditMask() const
{
    return std::string(text::dayMonthEditMask);
}

void FieldTextFormats::MonthFieldSetText(Field& field, std::string_view text)
{
    const std::string stored = convertTyped(field, [&] { return text::dayMonthStorageText(text); });
    if (stored.empty()) {
        field.clear();
        return;
    }
    if (stored.size() != 2)
        refuse(field, "100002");
    field.setAsString(stored);
}

void FieldTextFormats::MonthFieldValidate(Field& field)
{
    if (!editing(field))
        return;
    const std::string value = field.asString();
    if (!value.empty() && !text::isIntegerWithin(value, 1, 12))
        refuse(field, "100002");
}

// Durations.

std::string FieldTextFormats::SecondFieldEditMask() const
{
    return std::string(text::durationEditMask);
}

void FieldTextFormats::SecondFldGetText(Field& field, std::string& text, bool)
{
    text = field.isNull() ? std::string() : text::durationText(field.asInteger());
}

void FieldTextFormats::SecondFldSetText(Field& field, std::string_view text)
{
    const auto seconds = text::durationSeconds(text);
    if (!seconds)
        refuse(field, "100187");
    field.setAsInteger(*seconds);
}

// Percentages and numbers.

std::string FieldTextFormats::PercentFieldEditMask() const
{
    return std::string(text::percentEditMask);
}

void FieldTextFormats::PercentFieldGetText(Field& field, std::string& text, bool)
{
    text = field.isNull() ? std::string() : text::percentText(field.asFloat());
}

void FieldTextFormats::PercentFieldSetText(Field& field, std::string_view text)
{
    const auto fraction = convertTyped(field, [&] { return text::percentFraction(text); });
    if (fraction)
        field.setAsFloat(*fraction);
    else
        field.clear();
}

std::string FieldTextFormats::NumberFieldDisplayFormat() const
{
    return std::string(text::numberDisplayFormat);
}

std::string FieldTextFormats::NumberFieldEditFormat() const
{
    return std::string(text::numberEditFormat);
}

// Interface-language conversion.

std::string FieldTextFormats::displayConverted(std::string_view text) const
{
    return conversion_.display ? conversion_.display(Variant(text)).toString() : std::string(text);
}

std::string FieldTextFormats::reverseConverted(std::string_view text) const
{
    return conversion_.reverse ? conversion_.reverse(Variant(text)).toString() : std::string(text);
}

void FieldTextFormats::DOGetText(Field& field, std::string& text, bool)
{
    text = displayConverted(field.asString());
}

void FieldTextFormats::DOSetText(Field& field, std::string_view text)
{
    field.setAsString(reverseConverted(text));
}

// Code entry.

std::optional<FieldTextFormats::PickedCode> FieldTextFormats::pickCode(std::string_view table, std::string_view kind,
                                                                       const std::string& typed) const
{
    // The first row is asked for without a window: text that matches nothing is left to the field's
    // own check, which is the one to tell the clerk (a "nothing matches" box before it would be one
    // box too many), and a whole code or a bar code is taken as it stands. Only text that leaves a
    // choice opens the list.
    const auto ask = [&](bool takeFirstRow) -> std::optional<LookupAnswer> {
        Variant chosen;
        brokers_->F2GetData(Variant(table), Variant(kind), Variant::arrayOf({typed}), takeFirstRow, Variant(typed), 0,
                            false, chosen);
        if (chosen.isUnassigned())
            return std::nullopt;
        return LookupAnswer::fromVariant(chosen);
    };
    std::optional<LookupAnswer> answer = ask(true);
    if (!answer || !firstCell(*answer))
        return std::nullopt;
    if (!answer->takeSingleMatch)
        answer = ask(false);
    const std::optional<std::string> code = answer ? firstCell(*answer) : std::nullopt;
    if (!code)
        return std::nullopt;
    return PickedCode{*code, !answer->takeSingleMatch};
}

void FieldTextFormats::enterCode(Field& field, std::string_view text, std::string_view parameter,
                                 const std::function<std::optional<PickedCode>(const std::string&)>& lookup)
{
    const std::string typed = reverseConverted(text);
    if (brokers_ == nullptr || text::trim(text).empty() || brokers_->SystemParameter(parameter) == "1") {
        field.setAsString(typed);
        return;
    }
    const auto picked = lookup(typed);
    field.setAsString(picked ? picked->code : typed);
    if (focusReturn_ && (!picked || picked->listShown))
        focusReturn_(field);
}

void FieldTextFormats::CustomerFieldSetText(Field& field, std::string_view text)
{
    enterCode(field, text, "SYS054", [this](const std::string& typed) {
        return pickCode("COPMA", brokers_->SystemParameter("SYS054") == "2" ? "62" : "61", typed);
    });
}

void FieldTextFormats::ProviderFieldSetText(Field& field, std::string_view text)
{
    enterCode(field, text, "SYS055", [this](const std::string& typed) { return pickCode("PURMA", "61", typed); });
}

void FieldTextFormats::CostFieldSetText(Field& field, std::string_view text)
{
    enterCode(field, text, "SYS056", [this](const std::string& typed) { return pickCode("ACTMA", "66", typed); });
}

void FieldTextFormats::BarCodeFieldSetText(Field& field, std::string_view text)
{
    // "2": bar codes only; "3": a bar code first, then items by bar code or partial code;
    // otherwise items by bar code or partial code.
    enterCode(field, text, "SYS053", [this](const std::string& typed) {
        const std::string mode = brokers_->SystemParameter("SYS053");
        if (mode == "2")
            return pickCode("INVMH", "01", typed);
        if (mode == "3") {
            if (auto code = pickCode("INVMH", "01", typed))
                return code;
        }
        return pickCode("INVMB", "63", typed);
    });
}

} // namespace orvane
