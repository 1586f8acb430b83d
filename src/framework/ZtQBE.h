#pragma once
// TQBEForm: the query-by-example window. A record form fills its inputs (the head dataset, the
// head and body tables, the key fields, the fields offered), runs it with Execute and, when the
// user confirms, reads the WHERE text, the ORDER text and the row limit to reopen its head
// dataset. A condition is stated on one of three pages: key rows with an operator and a value
// each (page 0), a condition list over head fields with the sort order (page 1), or a condition
// list over body fields that becomes a count of matching lines (page 2, shown while the body
// check box is ticked).
//
// The texts are the server's query language (docs/conditions.md): typed values are quoted, and
// the server binds them as parameters.
//
// Two inputs have no home in the data modules yet and are given here: the control-type list
// (entries "field;kind;checkedValue;uncheckedValue": kind "CheckBox" offers a check box whose
// values are the third and fourth parts, "CustomEdit" keeps the combo editor) and the date fields
// (those carrying the date text handlers; CREATE_DATE and MODI_DATE always count).
//
// Texts in and out are byte strings of the installation code page. Client thread only.

#include "framework/ZtForm.h"

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace orvane {

class DataSet;
class MaskEdit;

// The inputs do not fit together: the body keys do not pair with the head keys. The text names
// both lists and their tables.
class QueryWindowError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// What a record form hands the query window.
struct QBEInputs {
    DataSet* dataSet = nullptr;              // the head dataset: labels and data types (lines' too)
    std::string headTable;                   // written before field names ("COPTC"); may be blank
    std::string keyFieldList;                // comma-separated head keys; key row i is entry i
    std::vector<std::string> fieldNames;     // head fields offered for conditions and sorting
    std::vector<std::string> bodyFieldNames; // body fields offered on the body page
    std::string bodyTable;                   // the lines' table ("COPTD"); empty: no body filter
    // Comma-separated; entry k links to head key k. Entries past the head's keys (the line
    // number) link nothing.
    std::string bodyKeyFieldList;
    std::string companyDb;                 // the session's company database
    bool prefixCompanyDb = false;          // the owner form's switch: write companyDb ".." before the body table
    std::vector<std::string> controlTypes; // "field;kind;checkedValue;uncheckedValue"
    std::vector<std::string> dateFields;   // fields typed with the date editor
    int dateStyle = 1;                     // SYS001
    std::string dateSeparator = "/";       // SYS002
};

class TQBEForm : public TZtForm {
    Q_OBJECT
public:
    static constexpr int keyRows = 8;
    // The row limit when cbTopRow does not hold a number.
    static constexpr int defaultRowLimit = 500;

    explicit TQBEForm(QWidget* parent = nullptr);
    ~TQBEForm() override;

    // Takes the inputs and lays them out: key rows, the fields offered, the sort fields, the body
    // check box (shown when there is a body table). Raises QueryWindowError when the body keys do
    // not pair with the head keys.
    void setInputs(QBEInputs inputs);
    const QBEInputs& inputs() const { return inputs_; }

    // Shows the window modally; true when the user confirmed, and only then are the outputs new.
    bool Execute();

    const std::string& WhereText() const { return whereText_; }
    const std::string& OrderText() const { return orderText_; }
    int RowLimit() const { return rowLimit_; }

    // Adds the condition of page 1 (head fields) or page 2 (body fields) to its list.
    void BbAssignClick();
    void BbAssign2Click();
    // Builds the outputs from the active page and closes the window as confirmed.
    void BBOKClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Shown, the window puts the focus in the first input of its page.
    // Enter moves to the next control on page 0 and confirms on pages 1 and 2 (with the value
    // typed in a value editor added first), but in a sort list it moves the current field to the
    // other list; Escape cancels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class ValueEditor { Combo, CheckBox, Date };
    // The condition builder of page 1 or 2.
    struct ConditionPage {
        QComboBox* field = nullptr;
        QComboBox* op = nullptr;
        QComboBox* value = nullptr; // text and numbers
        QCheckBox* check = nullptr; // fields the control-type list gives a check box
        MaskEdit* date = nullptr;   // date fields
        QPushButton* assign = nullptr;
        QPushButton* clear = nullptr;
        QPlainTextEdit* memo = nullptr;
        QGroupBox* logic = nullptr; // "AND" / "OR" before later lines
        QRadioButton* logicAnd = nullptr;
        QRadioButton* logicOr = nullptr;
        const std::vector<std::string>* fieldNames = nullptr; // the inputs' list for this page
        ValueEditor editor = ValueEditor::Combo;
        QString checkedValue; // the check box's values
        QString uncheckedValue;
    };
    struct Names; // component names of one condition page

    QWidget* buildKeyPage();
    QWidget* buildConditionPage(ConditionPage& page, const Names& names, QWidget* below);
    QWidget* buildSortBox();
    QWidget* buildBottomRow();
    // The field choice and the clear button of a condition page.
    void connectConditionPage(ConditionPage& page);

    void FormActivate();
    void fillKeyRows();
    void fillFields(ConditionPage& page);
    void fillSortFields();
    void chooseField(ConditionPage& page);
    void addCondition(ConditionPage& page);
    void clearConditions(ConditionPage& page);
    // Enter on page 1 or 2: the value typed in the focused editor is added, then the window confirms.
    void confirmWithTypedValue(QWidget* focused);
    void moveToSort(QListWidgetItem* item);
    void removeFromSort(QListWidgetItem* item);
    void showBodyPage(bool show);

    QString valueText(const ConditionPage& page) const;
    QString dateValue(const MaskEdit& edit) const;
    QString fieldCaption(const std::string& name) const;
    bool isNumeric(const std::string& name) const;
    bool isDateField(const std::string& name) const;
    std::vector<std::string> keyFields() const;
    QString keyRowsWhere() const;
    QString bodyFilterWhere() const;
    QString orderBy() const;
    int rowLimit() const;

    QBEInputs inputs_;
    std::string whereText_;
    std::string orderText_;
    int rowLimit_ = defaultRowLimit;
    bool confirmed_ = false; // BBOK closed the window
    bool activated_ = false; // shown once: later shows keep the page

    QTabWidget* pages_;
    std::array<QLabel*, keyRows> lblKeyField_{};
    std::array<QComboBox*, keyRows> cboKeyFilter_{};
    std::array<QLineEdit*, keyRows> edKeyValue_{};
    ConditionPage head_;
    ConditionPage body_;
    QListWidget* ListBox1_ = nullptr;
    QListWidget* ListBox2_ = nullptr;
    QCheckBox* chkBody_ = nullptr;
    QComboBox* cbTopRow_ = nullptr;
    QPushButton* BBOK_ = nullptr;
    QPushButton* BBCancel_ = nullptr;
};

} // namespace orvane
