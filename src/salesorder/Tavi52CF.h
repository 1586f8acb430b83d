#pragma once
// TfrmTavi52 (frmTavi52): the sales-order window ("客户订单录入作业") over the order data module
// TdmTavi52. The head above (the key panel and eight pages), the lines grid, the foot totals, the
// order's eight tool buttons and its query menu. The window decides what is shown, what is
// enabled, what each lookup key opens and the line grid's quantity columns; the rules of the
// order live in the data module, which reads the window's switches through OrderFormSwitches.
//
// The unit is split by subject: Tavi52CF.cpp (components, options, states, checks),
// Tavi52CFLookups.cpp (F2/F3/F4 and the figure windows), Tavi52CFCommands.cpp (the commands of
// the tool buttons and menus, the copies, the confirmation checks), Tavi52CFDialogs.cpp (the
// order's dialogs and the option lines window the window keeps).
//
// Make it with TfrmVozuraz::Create<TfrmTavi52>(). Client (GUI) thread only.

#include "framework/DoubleCF.h"
#include "salesorder/OrderFormSwitches.h"
#include "salesorder/Tavi52CD.h"

#include <QPointer>

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolButton;

namespace orvane {

class DBEdit;
class TfrmTavi52DF;
class TfrmTavi52FF;
class TfrmTavi52ZF;
class TfrmTavI52IF;
class TZtDBMemo;
class DBCodeCombo;
class MarkPicture;

class TfrmTavi52 : public TfrmDouble, public OrderFormSwitches, public GridComboItems, public TdmTavi52::HeadWindow {
    Q_OBJECT
public:
    // Note lines wrap at this many bytes of the code page.
    static constexpr int MemoWrapWidth = 30;
    // The line grid's quantity columns.
    static constexpr std::string_view quantityColumnList = "TD008,TD009,TD024,TD025";

    TfrmTavi52();
    ~TfrmTavi52() override;

    // Virtual steps.
    void OpenF2Window(int& key, QWidget* control) override; // 56
    void OpenF3Window(int& key, QWidget* control) override; // 57
    void OpenF4Window(int& key, QWidget* control) override; // 58
    // The system options to what is shown, the inherited step, masks and package options, then
    // the switches in their normal state.
    void ApplyProgramOptions() override; // 61
    // The inherited step, then the order's field lists.
    void ConfigureDocument() override; // 63
    // The inherited start, then the dialogs the window keeps.
    bool PrepareProgram(const Variant& params) override; // 66
    // The inherited rules, then the order's own enabling.
    void UpdateCommandStates() override;                // 67
    DataModuleFactory DataModuleClass() const override; // 68: TdmTavi52
    // The inherited add, the switches on, the mark pictures cleared.
    bool AddRecord(bool reset) override; // 69
    // The focus after edit by the order type, the module's edit preparation, the switches on.
    bool EditRecord() override; // 70
    // The line's warehouse must belong to the factory; a trade order needs its process number.
    bool ValidateDataSet(DataSet& dataSet) override; // 81
    // A new line starts at the item when the program numbers it; a clerk who types the line
    // number starts at the number, as the document window does.
    void NewLineStarted() override;
    // Copies the current order (the commands).
    void CopyRecord() override; // 96
    // The order's checks on confirm, unconfirm and void (the commands).
    bool ChangeConfirmState(int mode, int flag) override;                      // 110
    bool WorkflowPreCheck(int action) override;
    Variant CopiedHeadValue(QObject* sender, Field& field, int flag) override; // 112
    Variant CopiedLineValue(QObject* sender, Field& field, int flag) override; // 113
    // Copies the quotation of the copy key into the order (the commands).
    virtual void CopyFromSource(); // 117

    TdmTavi52* orderModule() const;
    // What F2 or F3 opens in the shell's lookup window for a field (Tavi52CFLookups.cpp).
    struct ListLookup;

    // OrderFormSwitches: what the data module reads of the window.
    bool checksEnabled() const override { return checksEnabled_; }
    void setChecksEnabled(bool on) override { checksEnabled_ = on; }
    bool amountRecalculation() const override { return amountRecalculation_; }
    void setAmountRecalculation(bool on) override { amountRecalculation_ = on; }
    bool packageRecalculation() const override { return packageRecalculation_; }
    void setPackageRecalculation(bool on) override { packageRecalculation_ = on; }
    bool itemFromPriceWindow() const override { return itemFromPriceWindow_; }
    bool subLineChecks() const override { return subLineChecks_; }
    bool liftBelowFloor() const override { return liftBelowFloor_; }
    std::string liftedLines() const override { return liftedLines_; }
    void setLiftedLines(std::string lines) override { liftedLines_ = std::move(lines); }
    bool defaultPacking() const override { return defaultPacking_; }
    std::vector<std::string> quantityColumns() const override;
    std::string selectedLineField() const override;
    // Two-unit quantity normalisation of a quantity field (the commands).
    void runQuantityStep(Field& field) override;
    double optionLinesQuantity() const override;                    // the dialogs
    void stampSubLines(DataSet& lines, DataSet& subLines) override; // the dialogs
    void clearMarkPictures() override;
    std::string codePage() const override;

    // The switches only the window sets.
    void setItemFromPriceWindow(bool on) { itemFromPriceWindow_ = on; }
    void setSubLineChecks(bool on) { subLineChecks_ = on; }
    void setLiftBelowFloor(bool on) { liftBelowFloor_ = on; }
    void setDefaultPacking(bool on) { defaultPacking_ = on; }

    // TdmTavi52::HeadWindow: what the head checks ask of the window.
    // The enabling follows the order type's kind.
    void documentKindChanged(std::string_view kind) override;
    void setSaveConfirmation(int autoConfirm, bool confirmSaveHook) override;
    // Focuses the field's edit once the key or focus change under way is over.
    void focusHeadField(std::string_view field) override;
    void showMarkPicture(std::string_view field, const std::string& file) override;
    void refreshMarks() override;

    // GridComboItems: the items of the grid's combo of a field ("code:text<TAB>code").
    const std::vector<std::string>* comboItems(std::string_view field) const override;

    // The shipping-mark figures in the code page's bytes: seven lines of the diamond, six of
    // the triangle; in code page "950" with the full-width strokes of that code page.
    static std::vector<std::string> diamondFigure(std::string_view codePage);
    static std::vector<std::string> triangleFigure(std::string_view codePage);

    // What a note memo does with a character typed at a byte column of its line (the character
    // in the code page's bytes): keep it, break the line before or after it, or type a line
    // break instead.
    enum class MemoWrap { Keep, BreakBefore, BreakAfter, Replace };
    static MemoWrap memoWrapFor(int column, std::string_view typed);

    // A modal window of figures named name: rows of (caption, figures) under column titles, and
    // a note under them when one is given.
    void showFigureWindow(const char* name, const QString& caption, const std::vector<QString>& columns,
                          const std::vector<std::pair<QString, std::vector<QString>>>& rows, const QString& note = {});
    // The credit window for the answer of "CreditCtrl"; "E" "100253" without the rights.
    void showCreditWindow(const Variant& answer);
    // Shows a picture file in a mark picture, scaled to fit; an empty path clears it.
    static void loadMarkPicture(MarkPicture& picture, const std::string& path);

    // Figures and memory the commands share.
    std::vector<std::string> DiamondMark;
    std::vector<std::string> TriangleMark;
    Variant CopyKey;                      // quotation type and number
    std::string quantityColumnText = "0"; // the quantity column's text when it was entered
    bool memoWrap = false;                // the last key-down in a note memo had no Ctrl or Alt

    // Components, named as the suite names them.
    // Tool buttons and the query menu.
    QToolButton* btnCopy = nullptr;
    QToolButton* btnViewHis = nullptr;
    QToolButton* btnTAVI61 = nullptr;
    QToolButton* btnTAVB14 = nullptr;
    QToolButton* btnCheckTC050 = nullptr;
    QToolButton* btnSearchs = nullptr;
    QToolButton* btnSeePIC = nullptr;
    QToolButton* btnEditTD009 = nullptr;
    QMenu* PopSearchs = nullptr;
    QAction* miViewHis = nullptr; // Ctrl+H: btnViewHis
    QAction* miCopyQuotation = nullptr; // the record menu's btnCopy
    QAction* miCreditCtrl = nullptr;
    QAction* miCOPTC_62 = nullptr;
    QAction* miCOPTA_60 = nullptr;
    QAction* miCOPTC_64 = nullptr;
    QAction* miCOPTC_67 = nullptr;
    QAction* miCOPTC_68 = nullptr;
    // The key panel.
    DBEdit* edTC001 = nullptr;
    DBEdit* edTC002 = nullptr;
    DBEdit* edTC039 = nullptr;
    DBEdit* edTC004 = nullptr;
    DBEdit* edTC049 = nullptr;
    DBCodeCombo* cboTC050 = nullptr;
    // Pages.
    QWidget* TabSheet5 = nullptr;
    QWidget* TabSheet7 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QWidget* TabSheet8 = nullptr;
    DBEdit* edTC055 = nullptr;
    DBEdit* edTC051 = nullptr;
    DBEdit* edTC056 = nullptr;
    DBEdit* edTC057 = nullptr;
    MarkPicture* imgTC056 = nullptr;
    MarkPicture* imgTC057 = nullptr;
    TZtDBMemo* memTC037 = nullptr;
    TZtDBMemo* memTC038 = nullptr;
    TZtDBMemo* memTC034C1 = nullptr;
    TZtDBMemo* memTC034C2 = nullptr;
    TZtDBMemo* memTC056 = nullptr;
    TZtDBMemo* memTC057 = nullptr;
    // Lines and foot.
    QToolButton* gdBody1IButton = nullptr;
    QPlainTextEdit* MemStrs = nullptr;
    QFileDialog* dlgopen = nullptr;

protected:
    void FormCreate() override;
    // The program's window is freed when the user closes it, so the shell forgets the program.
    CloseAction defaultCloseAction() const override { return CloseAction::Free; }
    // Note memos keep Enter and wrap their lines; the rest as the document form does.
    bool FormKeyPress(QKeyEvent& event) override;

    // Handlers of the window.
    // Two-unit mode: a quantity column remembers its text on entry and runs the quantity step
    // on exit when the text changed to a number other than zero.
    void gdBody1ColEnter(Field* field);
    void gdBody1ColExit(Field* field);
    // Note memos: the wrap flag on key-down (every memo), the 30-byte wrap on key-press (true
    // swallows the key): the remarks wrap on every key, the marks let Backspace and Enter
    // through.
    void memTC037KeyDown(const QKeyEvent& event);
    bool memTC037KeyPress(TZtDBMemo& memo, const QKeyEvent& event);
    bool memTC034C1KeyPress(TZtDBMemo& memo, const QKeyEvent& event);
    // Picture-file edits take only "." from the keyboard.
    bool edTC056KeyPress(QKeyEvent& event);

    // Command handlers (Tavi52CFCommands.cpp).
    void btnCopyClick();
    void btnViewHisClick();
    void btnTAVI61Click();
    void btnTAVB14Click();
    void btnCheckTC050Click();
    void btnSearchsClick();
    void miCreditCtrlClick();
    void miCOPTC_62Click();
    void miCOPTA_60Click();
    void miCOPTC_64Click();
    void miCOPTC_67Click();
    void miCOPTC_68Click();
    void btnSeePICClick();
    void btnEditTD009Click();
    void gdBody1IButtonClick();
    // F4 on TD004: explodes a set item into lines.
    void ExplodeSetItem();

    // The dialogs the window keeps (Tavi52CFDialogs.cpp): made by PrepareProgram, freed with
    // the window.
    void createDialogs();
    void freeDialogs();
    TfrmTavi52DF* frmTavi52DF = nullptr; // copy a quotation
    TfrmTavi52FF* frmTavi52FF = nullptr; // the option lines of a line

    // ---- Commands' helpers (their private members go here) ----
private:
    // A server method's first value (the answer itself when it is not an array).
    Variant remoteValue(std::string_view method, std::vector<Variant> args);
    // The trimmed text of a field of the current line ("" when null).
    std::string lineText(std::string_view field) const;
    // TC001 and TC002 of the head.
    std::vector<Variant> orderKeys() const;
    // The warehouse of the head's factory for a source line's warehouse: that one when it
    // belongs to the factory, else the factory's default, else none (code, name; cached per
    // bulk command).
    std::pair<std::string, std::string> factoryWarehouse(const std::string& warehouse);
    // TD007 and TD007C from factoryWarehouse, without recomputing the amount.
    void writeWarehouse(const std::string& warehouse);
    // The information window on a query of COPTC (with the lines of bodyKind by TD003).
    bool showInformation(std::string_view kind, std::vector<Variant> keys, std::string_view programText = {},
                         std::string_view bodyKind = {});
    void copyQuotationHead(const Variant& row);
    // Appends and posts a line of the quotation; false when the order refused it (the line is
    // dropped, its refusal shown).
    bool copyQuotationLine(const Variant& row);
    void fillQuotationLine(const Variant& row);
    // "I" "100013" with the lines a copy lifted to the price floor, when there are any.
    void reportLiftedLines();
    // The quotation's type (at 0) or number (at 1), a server's text, in the interface's code page.
    QString quotationKeyText(const Variant& head, int at) const;
    // Says that the quotation of head is not valid on date, so none of its lines was copied.
    void tellQuotationNotValid(const Variant& head, const std::string& date);
    // Names the quotation's lines (their numbers joined by ", ") the order refused to copy.
    void tellQuotationLinesNotCopied(const Variant& head, const std::string& lineNumbers);
    // TD036 and the package quantities of the current line in the package unit mode.
    void writePackageQuantities(const std::string& packageUnit);
    // The credit check of a confirmation: false when it is abandoned.
    bool creditAllows();
    // The components "BomExtract" answers, each appended as a line.
    void explodeInto(TdmTavi52& module, const Variant& request);
    void addComponentLine(const Variant& row);

    std::map<std::string, std::pair<std::string, std::string>> warehouses_; // source warehouse -> (code, name)

protected:
    // ---- end of commands' helpers ----

    // ---- Dialogs' helpers (their private members go here) ----

    // ---- end of dialogs' helpers ----

private:
    void createToolButtons();
    void createKeyPanel();
    void createPages();
    void createMarkPage(QWidget& sheet);
    void createFoot();
    void createGridCombos();
    void bindControls();
    // Hides the controls and drops the fields of one system option.
    void hideControls(std::initializer_list<const char*> names);
    void dropFields(std::initializer_list<const char*> names);
    void hidePage(QWidget* page);
    // Shows "E" code with its arguments, focuses the field's control and refuses.
    bool refuse(Field& field, std::string_view code, std::initializer_list<Variant> args);
    void connectGridColumns();
    // True for a quantity column of the two-unit mode.
    bool twoUnitQuantity(const Field* field) const;
    // The value of a head field ("" without a record).
    std::string headText(std::string_view field) const;
    // The memos' shared key-press rule.
    bool wrapMemoKey(TZtDBMemo& memo, const QKeyEvent& event);
    // The field a lookup key works on: the control's field, or the lines grid's selected one.
    Field* lookupField(QWidget* control) const;
    // Shows the shell's lookup list and writes the chosen row; true when a row was written.
    bool openList(const ListLookup& list, Field& field, QWidget* control);
    // A value of the current head or line by field name ("TD..." are line fields).
    std::string valueOf(std::string_view field) const;
    double lineNumber(std::string_view field) const;
    // The date quick-pick of the shell for a date field being edited.
    void pickDate(Field& field);
    // A named server method's answer (unassigned when nothing answered).
    Variant remoteAnswer(std::string_view method, const Variant& args);
    // The price window of the current line ("QtyDToS" then "PriceList").
    void showPriceWindow();
    // The stock (or package stock) window of the current line's item.
    void showStockWindow(bool packages);
    // Picture file chosen with the open-picture dialog, stored in the document store.
    void choosePictureFile(DBEdit& edit);
    // Appends a figure to the focused memo.
    void appendFigure(QWidget* control, const std::vector<std::string>& figure);

    bool checksEnabled_ = true;
    bool amountRecalculation_ = true;
    bool packageRecalculation_ = true;
    bool subLineChecks_ = true;
    bool itemFromPriceWindow_ = false;
    bool liftBelowFloor_ = false;
    bool defaultPacking_ = false;
    std::string liftedLines_;
    std::vector<std::pair<std::string, std::vector<std::string>>> gridCombos_; // field, items
};

} // namespace orvane
