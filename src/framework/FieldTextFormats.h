#pragma once
// FieldTextFormats: the field event handlers every data module inherits for dates, periods,
// times, durations, percentages, numbers, the interface-language text conversion of string
// fields and code entry through the pick list. Data modules attach them to dataset fields
// (getText/setText/validate make the field events); forms ask the mask providers for the masks
// of their edit controls.
//
// Checks report a coded "E" message through the message service and abort silently, and only
// while the field's dataset is being edited or inserted. A typed value that would not fit its
// storage form (a 3-digit month, a 5-digit year) is refused the same way rather than cut.
//
// No window headers. Client thread only.

#include "platform/data/Field.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

class MessageCodeService;
class TBrokers;

class FieldTextFormats {
public:
    // Display and reverse conversion of a stored text for the interface code page.
    struct TextConversion {
        std::function<Variant(const Variant&)> display; // stored text to the text shown
        std::function<Variant(const Variant&)> reverse; // typed text to the text stored
    };
    using GetTextHandler = void (FieldTextFormats::*)(Field&, std::string&, bool);
    using SetTextHandler = void (FieldTextFormats::*)(Field&, std::string_view);
    using ValidateHandler = void (FieldTextFormats::*)(Field&);

    FieldTextFormats();
    FieldTextFormats(const FieldTextFormats&) = delete;
    FieldTextFormats& operator=(const FieldTextFormats&) = delete;
    virtual ~FieldTextFormats();

    // Field events calling a handler of this object (which must outlive the field's use of them).
    Field::GetText getText(GetTextHandler handler);
    Field::SetText setText(SetTextHandler handler);
    Field::Notify validate(ValidateHandler handler);

    // Full dates ("YYYYMMDD" string fields, or native date fields).
    std::string DateFieldEditMask() const;
    void DateFieldGetText(Field& field, std::string& text, bool displayText);
    // A stored "YYYYMMDD" as the date fields show it; empty when it is no date.
    std::string DateDisplayText(std::string_view stored) const;
    void DateFieldSetText(Field& field, std::string_view text);
    void DateFieldValidate(Field& field);
    // Year-month periods ("YYYYMM").
    std::string YMFieldEditMask() const;
    void YMFieldGetText(Field& field, std::string& text, bool displayText);
    void YMFieldSetText(Field& field, std::string_view text);
    void YMFieldValidate(Field& field);
    // Month-days ("MMDD"), checked against the current year.
    std::string MDFieldEditMask() const;
    void MDFieldGetText(Field& field, std::string& text, bool displayText);
    void MDFieldSetText(Field& field, std::string_view text);
    void MDFieldValidate(Field& field);
    // Years ("YYYY").
    std::string YearFieldEditMask() const;
    void YearFieldGetText(Field& field, std::string& text, bool displayText);
    void YearFieldSetText(Field& field, std::string_view text);
    // Times of day ("HHMM").
    std::string TimeFieldEditMask() const;
    void TimeFieldGetText(Field& field, std::string& text, bool displayText);
    void TimeFieldSetText(Field& field, std::string_view text);
    void TimeFieldValidate(Field& field);
    // Days and months ("DD", "MM").
    std::string DayFieldEditMask() const;
    void DayFieldSetText(Field& field, std::string_view text);
    void DayFieldValidate(Field& field);
    std::string MonthFieldEditMask() const;
    void MonthFieldSetText(Field& field, std::string_view text);
    void MonthFieldValidate(Field& field);
    // Durations (integer seconds shown as "HHHH:MM:SS").
    std::string SecondFieldEditMask() const;
    void SecondFldGetText(Field& field, std::string& text, bool displayText);
    void SecondFldSetText(Field& field, std::string_view text);
    // Percentages (fractions shown as "5.00%").
    std::string PercentFieldEditMask() const;
    void PercentFieldGetText(Field& field, std::string& text, bool displayText);
    void PercentFieldSetText(Field& field, std::string_view text);
    // Default number patterns of numeric fields.
    std::string NumberFieldDisplayFormat() const;
    std::string NumberFieldEditFormat() const;
    // Interface-language conversion of string fields.
    void DOGetText(Field& field, std::string& text, bool displayText);
    void DOSetText(Field& field, std::string_view text);
    // Code entry resolved through the pick list (customers, suppliers, accounts, items).
    void CustomerFieldSetText(Field& field, std::string_view text);
    void ProviderFieldSetText(Field& field, std::string_view text);
    void CostFieldSetText(Field& field, std::string_view text);
    void BarCodeFieldSetText(Field& field, std::string_view text);

    int DateStyle() const { return dateStyle_; }
    // A style outside 1..5 is taken as style 1 (text::knownDateStyle).
    void setDateStyle(int style);
    const std::string& DateSeparator() const { return dateSeparator_; }
    void setDateSeparator(std::string separator) { dateSeparator_ = std::move(separator); }
    TBrokers* brokers() const { return brokers_; }
    void setBrokers(TBrokers* brokers) { brokers_ = brokers; }
    MessageCodeService* messageService() const { return messages_; }
    void setMessageService(MessageCodeService* messages) { messages_ = messages; }
    void setTextConversion(TextConversion conversion) { conversion_ = std::move(conversion); }
    // Called after code entry has shown a pick list, to give the field's edit control focus back.
    void setFocusReturn(std::function<void(Field&)> focusReturn) { focusReturn_ = std::move(focusReturn); }
    // The clock month-days are checked against; the local clock's year by default.
    void setCurrentYear(std::function<int()> currentYear) { currentYear_ = std::move(currentYear); }

private:
    // Shows message "E" code with one empty argument and aborts silently, while the field's
    // dataset is edited or inserted; does nothing otherwise.
    void refuse(Field& field, std::string_view code) const;
    std::string displayConverted(std::string_view text) const;
    std::string reverseConverted(std::string_view text) const;
    // A code the pick list resolved typed text to, and whether a list was shown for it (a whole code
    // or a bar code is taken without one).
    struct PickedCode {
        std::string code;
        bool listShown = true;
    };
    // The pick-list lookup on table and kind; the first column of the chosen row, or nothing. Text
    // that matches nothing opens no list and says nothing.
    std::optional<PickedCode> pickCode(std::string_view table, std::string_view kind, const std::string& typed) const;
    // Stores the typed code, or the code the pick list resolves it to; focus comes back to the field
    // when a list took it (the key that left the field moves on when none was shown).
    void enterCode(Field& field, std::string_view text, std::string_view parameter,
                   const std::function<std::optional<PickedCode>(const std::string&)>& lookup);

    int dateStyle_ = 1;                       // system parameter SYS001
    std::string dateSeparator_;               // system parameter SYS002
    TBrokers* brokers_ = nullptr;             // the owner form's; null: codes are stored as typed
    MessageCodeService* messages_ = nullptr;  // null: checks abort without a message
    TextConversion conversion_;               // empty functions: texts pass unchanged
    std::function<void(Field&)> focusReturn_; // may be empty
    std::function<int()> currentYear_;        // the local clock unless replaced
};

} // namespace orvane
