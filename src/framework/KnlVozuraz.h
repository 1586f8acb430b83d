#pragma once
// KnlVozuraz: the root data module's helpers, which every data module and form calls: field
// assignment that lifts the read-only mark, code checks against master tables through the
// validator, the audit fields (recognising, showing, labelling) and the fill-in of empty fields
// of a new record.
//
// No window headers. Client thread only.

#include "platform/data/DataSet.h"
#include "platform/variant/Variant.h"

#include <array>
#include <string>
#include <string_view>

namespace orvane {

class FieldTextFormats;
class MessageCodeService;
class TBrokers;

// The seven audit fields, in table order.
inline constexpr std::array<std::string_view, 7> auditFieldNames{"COMPANY",  "CREATOR",   "USR_GROUP", "CREATE_DATE",
                                                                 "MODIFIER", "MODI_DATE", "FLAG"};

// Assigns text to field even when it is read-only (the mark is restored afterwards, also on
// failure). With useEditText and a numeric field the text goes through the field's set-text
// path; otherwise it is stored as the field's string value, cut so that no double-byte
// character is split. False, doing nothing, when field is null.
bool SetFieldText(Field* field, std::string_view text, bool useEditText);

// True for the name of an audit field, in any case.
bool IsAuditField(std::string_view name);
// Sets visible and read-only of every audit field of dataSet to show.
void ShowAuditFields(DataSet& dataSet, bool show);
// For interface language "CHT": the audit fields' labels, and the date text handler of the two
// date fields from formats; other languages keep the labels as they are.
void LabelAuditFields(DataSet& dataSet, std::string_view language, FieldTextFormats& formats);
// Every null field of the current record gets empty text (strings) or 0 (numbers), with its
// change handler detached meanwhile; fields of other types stay null.
void FillEmptyFields(DataSet& dataSet);

// The code checks against master tables: the validator's "CheckValue" by table and kind.
// Message types: "E" shows "E" "000001" and aborts silently; "W" shows "W" "000004" and aborts
// unless the user answers OK (then the check just answers false); "N" or any other letter is
// silent. Messages carry the field's display label.
class CodeChecks {
public:
    // messages may be null: the checks then refuse without showing anything.
    CodeChecks(TBrokers& brokers, MessageCodeService* messages) : brokers_(brokers), messages_(messages) {}

    // Checks field's code (or keyValues when they hold something) and, while the field's
    // dataset is edited or inserted, copies the columns of the row found into the
    // comma-separated targetFields in order (an empty name skips a column). An empty code asks
    // nothing, clears the targets while editing and passes.
    bool CodeLookup(Field& field, std::string_view table, std::string_view messageType, std::string_view targetFields,
                    std::string_view kind, const Variant& keyValues = Variant()) const;
    // The same check without any message or copying of companions.
    bool CodeExists(Field& field, std::string_view table, std::string_view kind,
                    const Variant& keyValues = Variant()) const;
    // The check made with the values of keyFields (comma-separated) of field's dataset: true
    // when no record holds that key. A key in use shows "E" "000002" (and aborts) or "W"
    // "000005" (aborts unless the user answers OK).
    bool CheckKeyUnique(Field& field, std::string_view table, std::string_view messageType, std::string_view keyFields,
                        std::string_view kind) const;

private:
    // "CheckValue" on the server; row receives the companion values when found.
    bool found(std::string_view table, std::string_view kind, const Variant& keys, Variant& row) const;
    // Shows code for field when messageType asks for a message; aborts as the type says.
    void refuse(const Field& field, std::string_view messageType, std::string_view errorCode,
                std::string_view warningCode) const;

    TBrokers& brokers_;
    MessageCodeService* messages_;
};

} // namespace orvane
