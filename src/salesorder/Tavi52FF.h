#pragma once
// Tavi52FF: TfrmTavi52FF, the option lines window of the order window: a body-only grid over
// dmTavi52.cdsFoot, the feature and option parts chosen for the current order line with their
// components. It builds a line's option lines from the item's structure, offers the lookups of
// the option fields (F2, F3; a double-click on a cell opens its lookup too), lets the user pick
// the options of a feature in TfrmTavi52GF (F3 on TM006), checks a row before it is posted
// (one row per feature, one row per feature and option, the process required) while the order
// window's sub-line switch is on, and gives every option line its line's keys before a new
// order is saved. The order window makes it once and shows it for the current line.
// Client (GUI) thread only.

#include "framework/ZtSimpleBodyCF.h"

#include <string>
#include <string_view>
#include <vector>

class QComboBox;

namespace orvane {

class TdmTavi52;

class TfrmTavi52FF : public TfrmSimpleBody {
    Q_OBJECT
public:
    // The grid runs over module's dsFoot; owner lends the module and must hold it. moduleFile
    // is the owner's module file, so that the window starts as part of the owner's loaded
    // module (empty: the running file).
    TfrmTavi52FF(TfrmVozuraz* owner, TdmTavi52& module, std::string moduleFile = {});

    // The line quantity in the item's stock unit, handed in by the order window: component
    // quantities are computed for it, as the structure counts the item in its stock unit.
    double quantity() const { return quantity_; }
    void setQuantity(double quantity) { quantity_ = quantity; }

    // Appends the option lines of the current order line from its item's structure: the parts
    // the structure chooses by default, with their quantities for the line quantity.
    void BuildOptionLines();
    // Lets the user pick the options of the current row's feature (F3 on TM006): "E" "000003"
    // without a feature; nothing for an option row. OK replaces the feature's rows.
    void ChooseOptions();
    // Gives every option line of the current order line the line's keys (the order's save).
    void StampSubLines();

    bool ValidateDataSet(DataSet& dataSet) override; // 81
    void StampNewRow() override;                     // 87: TM008 "****" after the inherited defaults

    // The grid's editors, by field: lookups (TM004, TM006, TM008, TM011) and lists (TM005, TM009).
    QComboBox* cboTM004G = nullptr;
    QComboBox* cboTM006G = nullptr;
    QComboBox* cboTM008G = nullptr;
    QComboBox* cboTM011G = nullptr;
    QComboBox* cboTM009G = nullptr;
    QComboBox* cboTM005G = nullptr;

protected:
    std::string ModuleFileName() const override;
    // Titled by its own name and the order line whose option lines it shows.
    void FormShow() override;
    void OpenF2Window(int& key, QWidget* control) override; // 56
    void OpenF3Window(int& key, QWidget* control) override; // 57
    bool FormKeyDown(QKeyEvent& event) override;

private:
    QComboBox* editor(const char* name, const char8_t* hint, std::initializer_list<const char8_t*> items = {});
    // The lookup a cell of field opens (the custom dialog of a grid editor).
    void SimpleBodyCustomDlg(Field& field);
    // The field whose lookup a key in control opens: the grid's selected field while rows may
    // change; null otherwise.
    Field* lookupField(const QWidget* control) const;
    // The features and options of the line's item into field.
    void lookupFeature(Field& field);
    // The lookup window of table and kind over keys; the chosen row's first column into field.
    void lookupInto(Field& field, std::string_view table, std::string_view kind, const Variant& keys);
    // The common phrases of TM011 inserted into its cell.
    void insertPhrase();
    // The rows of the structure query for the current line (of one feature, or all for "").
    std::vector<std::vector<Variant>> structureRows(const std::string& feature);
    // Appends one option line: TM004, TM005 and the option fields from a structure row.
    void appendOption(const std::vector<Variant>& row);
    // True when another option line than the current one has the values in the fields.
    bool usedElsewhere(std::initializer_list<std::pair<const char*, std::string>> values);
    Field* selectedField() const;
    bool editable() const;

    TdmTavi52& module_;
    double quantity_ = 0;
    std::string moduleFile_;
};

} // namespace orvane
