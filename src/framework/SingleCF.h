#pragma once
// SingleCF: TfrmSingle, the maintenance window for one head table over a TdmSingle module: a page
// control with a detail page of edit controls ("详细字段") and a browse page with a grid of the
// fetched records ("信息浏览"), OK (F12) and cancel, continuous add with the carried-over values,
// printing through the print program, query by example, both spreadsheet exports of the fetched
// records, the page rights and the attachment count. The document form (TfrmDouble) derives from it.
//
// Client (GUI) thread only.

#include "framework/BaseCF.h"
#include "framework/SingleCD.h"

#include <set>
#include <string>
#include <vector>

class QTabWidget;
class QWidget;

namespace orvane {

class DBGrid;
class TQBEForm;
struct QBEInputs;

class TfrmSingle : public TfrmBase {
    Q_OBJECT
public:
    // The colours of the head and body grids: odd rows, even rows (red 251 green 255 blue 236;
    // red 206 green 249 blue 231).
    static const QColor oddRowColor;
    static const QColor evenRowColor;

    ~TfrmSingle() override;

    // Runs the start mode the shell chose: 1 adds, 2 queries, 7 shows and 8 edits the records of
    // the start value's condition, 9 adds with the start value as preset values (the last three
    // close the window after the save).
    void RunStartAction() override;      // 59
    void ApplyProgramOptions() override; // 61
    void ConfigureDocument() override;   // 63
    // Print, OK / cancel and the exports (after TfrmBase's table).
    void UpdateCommandStates() override; // 67
    // The first page, the inherited step, the first edit control focused.
    bool AddRecord(bool reset) override; // 69
    // A new record the clerk gives up (ask: the cancel command, Escape) shows again the one it was
    // started from: the one shown, or the one saved just before.
    bool CancelRecord(bool ask) override; // 75
    bool EditRecord() override;          // 70
    // The query window over cdsMain, kept with its conditions from one query to the next; a
    // confirmed query reopens cdsMain.
    bool QueryRecords() override; // 72
    // Post, save; the next record at once after an add, browse after an edit; "E" "000008"
    // and the head back in edit when the server refused.
    bool SaveRecord() override; // 74
    // The key fields of cdsMain count as required fields.
    bool ValidateDataSet(DataSet& dataSet) override; // 81
    void ShowState(DataSetState state) override;     // 82
    // Slots 86 to 94.
    virtual bool CanShowPage(int index);   // 86: the page rights
    virtual std::string TableName() const; // 87: the head table (M11_TABLE)
    virtual void LoadAttachments();        // 88: the documents with attachments
    virtual int AttachmentCount() const;   // 89: how many the current one has

    TdmSingle* singleModule() const;

    // The first edit controls focused after add and after edit.
    QWidget* firstAddControl = nullptr;
    QWidget* firstEditControl = nullptr;
    // The program the print command starts ("TAVR26" in the order program).
    std::string PrintProgramID;
    // Pages (1..14) the user may not see.
    std::set<int> hiddenPages;

    // Components, named as the suite names them.
    QWidget* pnlHead = nullptr;
    QTabWidget* pgHead = nullptr;
    QWidget* tbsHead1 = nullptr;
    QWidget* tbsBrowse = nullptr;
    DBGrid* gdHead = nullptr;
    QMenu* popOpenF2Window = nullptr;
    QAction* miOpenF2Window = nullptr;
    QAction* miOpenF3Window = nullptr;
    QAction* miOpenF4Window = nullptr;
    QAction* miOK = nullptr;
    QAction* miCancel = nullptr;
    QAction* miPrint = nullptr;
    QMenu* miExport = nullptr;
    QAction* miTable2Excel = nullptr;
    QAction* miTable2Excel2 = nullptr;
    QToolButton* btnOK = nullptr;
    QToolButton* btnCancel = nullptr;

protected:
    TfrmSingle();

    void miOKClick();
    void miCancelClick();
    void miPrintClick();
    void btnPrintClick() override { miPrintClick(); }
    // From the key panel above the head pages, Ctrl+Tab turns those pages.
    QTabWidget* pagesOutsideFocus() const override { return pgHead; }
    // Runs the last query again and stays on the record shown, when the query still holds it.
    void btnReFreshClick() override;
    void miTable2ExcelClick();
    void miTable2Excel2Click();
    void miOpenF2WindowClick();
    void miOpenF3WindowClick();
    void miOpenF4WindowClick();
    // Opens the current row of the browse grid on the detail page, the focus in its first control.
    void gdHeadDblClick();
    void gdHeadTitleButtonClick(Field* field);
    // The page control asks to change to index: the browse page waits for the edit to end.
    void pgHeadChanging(int index);
    // Enter or Tab on the last control of a head page goes on to the first control of the next head
    // page that has one, so that the keyboard walks every page on its way to the head's last control.
    // Enter in the browse grid opens the current row.
    bool FormKeyPress(QKeyEvent& event) override;

    // The rows painted by the grid colours.
    static void paintRows(int row, const Field& field, QColor& background, QColor& text);
    // Focuses control when it can take the focus.
    static void focusWhenPossible(QWidget* control);
    // The current head's key values (KeyFields order).
    virtual std::vector<std::string> keyValues() const;
    // Shows the record of keys (KeyFields order) again: among the last query's records when they
    // hold it, else alone.
    void showRecord(const std::vector<std::string>& keys);
    // Moves cdsMain to the record of keys (KeyFields order), fetching its packets as far as it;
    // false when none holds it.
    bool locateRecord(const std::vector<std::string>& keys);

    // The keys of the record a new one was started from, shown again when the new one is given up.
    std::vector<std::string> shownBeforeAdd;

private:
    // The head pages after the current one, not the browse page, that hold a control Tab reaches
    // from control.
    std::vector<int> laterHeadPages(QWidget* control) const;
    // What the query window offers: the head's fields and, with a line table, the lines'.
    QBEInputs queryInputs(TdmSingle& module);

    TQBEForm* queryWindow_ = nullptr; // made by the first query, a child of the window
    int previousPage_ = 0;
    std::set<std::string> attachedKeys_; // key values of the documents with attachments
};

} // namespace orvane
