#pragma once
// ZtSimpleBodyCF: TfrmSimpleBody, a window with one editable grid over a dataset of another
// window's data module, as a rule the nested sub-rows of a document's current line. It borrows
// that window's module (it owns none), finds the body dataset's parent and the outermost master
// (the top), and keeps the borrowed rows right while the user adds, changes and deletes them:
// audit fields stamped, keys copied from the parent (the twenty-"~" placeholder while the parent
// is new, the parent's real keys written into its rows before the parent is posted), head-to-row
// fields copied. Rows change only while the top is edited and maintenance mode is on.
//
// The program sets DBGrid's data source before PrepareProgram, and frees this window (with
// TZtForm::Free) before the window whose module it borrows: it gives the datasets their own
// event handlers back when it goes. Client (GUI) thread only.

#include "framework/BaseCF.h"

#include <string>
#include <utility>
#include <vector>

namespace orvane {

class TfrmSimpleBody : public TfrmBase {
    Q_OBJECT
public:
    // owner lends its data module when that module holds the grid's dataset.
    explicit TfrmSimpleBody(TfrmVozuraz* owner = nullptr);
    ~TfrmSimpleBody() override;

    // Refuses to open without a data source on the grid ("E" "000032", the window closes);
    // otherwise finds the datasets, borrows the module, reads the key lists and the owner's
    // rights, installs the row handlers in front of the datasets' own and builds the copy.
    void FetchRights() override;          // 62
    void UpdateCommandStates() override;  // 67: the enabling table over the top and body
    bool AddRecord(bool reset) override;  // 69: needs the parent's keys ("E" "1000063")
    bool EditRecord() override;           // 70: true, nothing to do
    bool DeleteRecord(bool ask) override; // 71
    bool SaveRecord() override;           // 74: posts a pending row with its open cell editor's text
    bool CancelRecord(bool ask) override; // 75
    // The body's key fields are required, then the program's required fields.
    bool ValidateDataSet(DataSet& dataSet) override; // 81
    virtual void RefreshCopyDataSet();               // 86: "simple body clone error!!" on failure
    virtual void StampNewRow();                      // 87: audit fields, parent keys, head-to-row fields
    virtual void StampRows();                        // 88: the parent's keys into every row, in FLAG order

    // Maintenance mode: the grid takes typing (posting a pending row when switched).
    void setMaintenance(bool on);
    bool maintenance() const { return maintenance_; }

    ClientDataSet* bodyDataSet() const { return body_; }
    ClientDataSet* parentDataSet() const { return parent_; }
    ClientDataSet* topDataSet() const { return top_; }
    // The rows as they were last posted, for previous-row values.
    ClientDataSet& copyDataSet() { return rowCopy_; }

    // Comma-separated keys: ParentKeyFields of the parent fill BodyKeyFields of a row, by position.
    std::string ParentKeyFields;
    std::string BodyKeyFields;
    // "PARENTFIELD->ROWFIELD,...": row fields that take the parent's value in a new row.
    std::string HeadToRowFields;

    QWidget* Panel1 = nullptr;
    orvane::DBGrid* DBGrid = nullptr;
    QToolButton* btnRedact = nullptr;
    QAction* miRedact = nullptr;
    QAction* miOK = nullptr;
    QAction* miCancel = nullptr;

protected:
    void FormShow() override;
    bool FormKeyDown(QKeyEvent& event) override;
    bool FormKeyPress(QKeyEvent& event) override;
    bool FormCloseQuery() override;
    void changeEvent(QEvent* event) override;
    void miFirstClick() override;
    void miPriorClick() override;
    void miNextClick() override;
    void miLastClick() override;

private:
    void btnRedactClick();
    // Finds the body, parent and top datasets of the grid's data source.
    void findDataSets();
    // Puts the form's handlers in front of the datasets' and the data source's own.
    void installHandlers();
    void restoreHandlers();
    // The parent's key values (the placeholder while the parent is being inserted) into the keys
    // of the current row.
    void copyParentKeys(bool placeholder);
    // True when every body key of the current row holds the parent's value.
    bool keysMatchParent() const;
    // The pairs of ParentKeyFields and BodyKeyFields.
    std::vector<std::pair<std::string, std::string>> keyPairs() const;
    bool masterEditing() const;
    bool hasRows() const;

    TfrmVozuraz* owner_;
    ClientDataSet* body_ = nullptr;
    DataSource* source_ = nullptr;
    ClientDataSet* parent_ = nullptr;
    ClientDataSet* top_ = nullptr;
    bool maintenance_ = false;
    bool installed_ = false;
    DataSetEvents savedBody_;
    DataSetEvents savedParent_;
    DataSource::StateChange savedStateChange_;
    ClientDataSet rowCopy_{"SimpleBodyCopy"};
};

} // namespace orvane
