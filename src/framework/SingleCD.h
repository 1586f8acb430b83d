#pragma once
// TdmSingle: the data module of a single-table form, and the base of the document modules. It
// adds automatic document numbers (the last key field filled by the server), the remembered
// key values of the current head, head values carried over into the next new record, preset
// values for every new head, the key condition that finds the head again, fetching all
// records, the decimals of a number field, combo display texts, and the reconcile handler that
// shows and logs each record the server refused.
//
// It also exports the records of a dataset to a spreadsheet file (slots 24 and 25).
// No window headers. Client thread only.

#include "framework/BaseCD.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

// An export file that could not be written; the text names the file, the step and the reason.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What ComboDisplayText needs of a grid: the items of the combo box that edits a column
// ("code:text<TAB>code" each), or null when the column has none.
class GridComboItems {
public:
    virtual ~GridComboItems() = default;
    virtual const std::vector<std::string>* comboItems(std::string_view field) const = 0;
};

class TdmSingle : public TdmBase {
public:
    // Diagnostic log source of the reconcile lines.
    static constexpr std::string_view reconcileLogSource = "Vozuraz";

    TdmSingle();
    ~TdmSingle() override;

    // Switches AutoNumber off (the number field stays chosen), restores the carried-over
    // values, then applies the preset values.
    void NewHeadDefaults() override; // 15
    // Also counts the keys and, with AutoNumber on and no number field yet, makes the last
    // key the number field.
    void SetKeyFields(std::string_view keyFields) override;   // 18
    virtual void SetAutoNumber(bool on);                      // 20
    virtual void ApplyPresetValues();                         // 21
    virtual void GetAutoNumberField(std::string& name) const; // 22
    virtual void StampLines();                                // 23: nothing here
    // The fetched records of dataSet to a file in the program's export folder, labels of the
    // visible fields first, then one row per record; the export dialogs show the progress, ask
    // whether to open the file and open it. Nothing happens for a closed or empty dataset or a
    // module without an owner or export dialogs. 24 writes a workbook (".xlsx"), 25 tab-separated
    // UTF-8 text (".xls"). Raises ExportError when the file cannot be written.
    virtual void ExportToSpreadsheet(ClientDataSet& dataSet);     // 24
    virtual void ExportToSpreadsheetText(ClientDataSet& dataSet); // 25
    virtual void FetchAllRecords(ClientDataSet& dataSet);         // 26
    virtual int DecimalsForField(std::string_view field) const;   // 27
    virtual void ComboDisplayText(const GridComboItems& grid, std::string_view field, std::string_view value,
                                  std::string& text) const; // 28

    // Opens as TdmBase does; the number field of an automatic number is not required.
    bool OpenData() override;
    // Saves; after a successful save in add mode the carry-over values are remembered.
    bool SaveData(ClientDataSet& dataSet) override;

    // Carry-over: the comma-separated names become the list, each with a blank placeholder.
    void SetCarryOverFields(std::string_view names);
    // Remembers the text of each carried field of cdsMain (null as empty text).
    void RememberCarryOverValues();
    // Sets every remembered value back to the blank placeholder.
    void ResetCarryOverValues();
    const std::vector<std::pair<std::string, std::string>>& CarryOverFields() const { return carryOver_; }

    // Reads the key fields of cdsMain's current record into KeyValues.
    void RememberKeyValues();
    // "TC001 = '2201' and TC002 = '2501200001'" for the current head (alias-qualified when
    // TableAlias is set; the owner's new number for the number field of a record being added
    // with AutoNumber on). True only while cdsMain browses and the text is not empty.
    bool KeyCondition(std::string& condition) const;
    // The same condition for the key values given in KeyFields order (texts quoted for string
    // fields); keys cdsMain lacks are left out.
    std::string KeyConditionOf(const std::vector<std::string>& values) const;

    bool AutoNumber() const { return autoNumber_; }
    const std::string& AutoNumberField() const { return autoNumberField_; }
    int KeyCount() const { return static_cast<int>(keys_.size()); }
    // The remembered key values, in KeyFields order (the first at index 0).
    const std::vector<std::string>& KeyValues() const { return keyValues_; }
    // Rows of (field name, value) along the first dimension, assigned to every new head.
    const Variant& PresetValues() const { return presetValues_; }
    void setPresetValues(Variant values) { presetValues_ = std::move(values); }
    const std::string& TableAlias() const { return tableAlias_; }
    void setTableAlias(std::string alias) { tableAlias_ = std::move(alias); }

protected:
    // Shows the server's error text through the owner and writes two diagnostic lines; the
    // action stays as handed in (the record stays as the user typed it).
    void cdsMainReconcileError(ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action);

    // The export file <client path>c_data/<program folder>/<program ID>_<yyyymmddhhnnss><extension>
    // with its folder made; empty (after telling the user) when the folder cannot be made.
    std::filesystem::path PrepareExportFile(std::string_view extension);

private:
    // Fetches all records and walks them under the progress window, calling row for
    // each record; then goes back to the record current before.
    void WalkExportRecords(ClientDataSet& dataSet, const std::function<void()>& row);
    // Asks whether to open the written file and opens it, telling the user when it fails.
    void OfferExportedFile(const std::filesystem::path& file, std::string_view question);
    // The last key becomes the number field, no longer required.
    void chooseNumberField();

    bool autoNumber_ = false;
    std::string autoNumberField_;                                // empty while AutoNumber is off
    std::vector<std::string> keys_;                              // KeyFields split
    std::vector<std::string> keyValues_;                         // one per key
    std::vector<std::pair<std::string, std::string>> carryOver_; // name, remembered text
    Variant presetValues_;
    std::string tableAlias_;
};

} // namespace orvane
