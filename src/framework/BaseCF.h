#pragma once
// BaseCF: TfrmBase, the record maintenance window over its data module's head dataset cdsMain.
// It owns the record mode (browse, edit, add), the commands of the main menu and the tool bar
// (add, query, edit, delete, first, prior, next, last, print, refresh, exit) and their enabling by
// mode, by the user's rights and by the program's command mask, the rights per record (own
// records, the group's, other users'), Escape and the three-way question on closing, the
// required-field check before a post, the locking or hiding of restricted fields, the item
// document of the current record, and the grid layouts kept in ".ugs" files. Saving is the
// single-table form's (TfrmSingle).
//
// Client (GUI) thread only.

#include "framework/BaseCD.h"
#include "framework/VozurazCF.h"

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace orvane {

class DBGrid;

class TfrmBase : public TfrmVozuraz {
    Q_OBJECT
public:
    // Bits of CommandMask: the commands the program offers.
    static constexpr unsigned cmAdd = 1;
    static constexpr unsigned cmEdit = 2;
    static constexpr unsigned cmQuery = 4;
    static constexpr unsigned cmDelete = 8;
    static constexpr unsigned cmPrint = 16;
    static constexpr unsigned cmConfirm = 32;
    static constexpr unsigned cmUnConfirm = 64;
    static constexpr unsigned cmInvalid = 128;

    ~TfrmBase() override;

    void ApplyDictionaryTexts() override; // 60: the texts of section "Base" join the form's
    // Field restrictions (price and protected fields, the unit option), then the grid layouts.
    void ApplyProgramOptions() override; // 61
    // After connecting (the inherited step): opens the data, hides the audit fields, follows the
    // module's data sources, runs its ProgramHook, shows the browse caption, computes the rights of
    // the current record and shows the server in the last status panel.
    void FetchRights() override;       // 62
    // The head and its lines are read again: the server made the program's provider anew.
    bool RenewProgram() override;
    void ConfigureDocument() override; // 63
    // The enabling table of the record commands; SaveFailed is cleared.
    void UpdateCommandStates() override;              // 67
    virtual bool AddRecord(bool reset);               // 69
    virtual bool EditRecord();                        // 70
    virtual bool DeleteRecord(bool ask);              // 71
    virtual bool QueryRecords();                      // 72: true here
    virtual bool ConfirmSaveHook();                   // 73: true here
    virtual bool SaveRecord();                        // 74: false here (no saving without a form that saves)
    virtual bool CancelRecord(bool ask);              // 75
    virtual bool CloseForm();                         // 76
    virtual void ViewItem();                          // 77
    virtual void ApplyRights();                       // 78
    virtual void RunQuery();                          // 79
    virtual bool KeepFailedEdit();                    // 80: false here
    bool ValidateDataSet(DataSet& dataSet) override;  // 81: the required fields
    virtual void ShowState(DataSetState state);       // 82
    virtual void ApplyRecordRights(DataSet& dataSet); // 83
    virtual void SaveGridLayouts();                   // 84
    virtual void LoadGridLayouts();                   // 85

    // The data module calls it when cdsMain scrolls: the current record's rights (slot 83).
    void AfterRecordChange(DataSet& dataSet) override;
    // Stores the mode and shows the matching dataset state (browse, edit, insert).
    void SetRecordMode(RecordMode mode);
    // Reopens a dataset of the module with a condition and an order.
    void OpenDataSet(ClientDataSet& dataSet, std::string_view condition, std::string_view order);

    // The module's head module; null in a form without one.
    TdmBase* baseModule() const;

    unsigned CommandMask = cmAdd | cmEdit | cmQuery | cmDelete | cmPrint;
    std::string RequiredFields;  // "cdsMain:TC001,TC002;cdsBody1:TD004"
    std::string PriceFields;     // locked or hidden by the price rights
    std::string ProtectedFields; // locked or hidden by the protected-field rights
    std::string UnitFields1;     // hidden by the unit option SYS024
    std::string UnitFields2;
    std::string ViewItemField;   // "cdsMain:TC099": the field holding an item code
    bool CloseAfterSave = false; // the window was opened for one record
    bool ItemDocSource = false;  // item documents through the item master
    bool SaveFailed = false;     // the last save failed
    const RightFlags& rights() const { return rights_; }
    // The condition and order of the last query (RunQuery reopens with them).
    std::string lastCondition;
    std::string lastOrder;

    // Components, named as the suite names them.
    QMenuBar* MainMenu = nullptr;
    QAction* miAdd = nullptr;
    QAction* miQuery = nullptr;
    QAction* miEdit = nullptr;
    QAction* miDelete = nullptr;
    QAction* miFirst = nullptr;
    QAction* miPrior = nullptr;
    QAction* miNext = nullptr;
    QAction* miLast = nullptr;
    QAction* miToolBar = nullptr;
    QAction* miManager = nullptr;
    QAction* miExit = nullptr;
    QAction* miViewItem = nullptr;
    QAction* NG = nullptr;
    QAction* miReFresh = nullptr; // F5: the last query again
    QStatusBar* Status = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* btnAdd = nullptr;
    QToolButton* btnEdit = nullptr;
    QToolButton* btnQuery = nullptr;
    QToolButton* btnDelete = nullptr;
    QToolButton* btnFirst = nullptr;
    QToolButton* btnPrior = nullptr;
    QToolButton* btnNext = nullptr;
    QToolButton* btnLast = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnReFresh = nullptr;

protected:
    TfrmBase();

    void FormCreate() override;
    bool FormKeyDown(QKeyEvent& event) override;
    bool FormCloseQuery() override;

    // The menus of the record commands, of browsing and of the options; descendants add theirs.
    QMenu* recordMenu() const { return recordMenu_; }
    QMenu* browseMenu() const { return browseMenu_; }
    QMenu* optionsMenu() const { return optionsMenu_; }
    // Where descendants put their pages; below the tool bar, above the status bar.
    QVBoxLayout* clientLayout() const { return clientLayout_; }
    // A menu item of menu with its handler run under the guard.
    QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, std::function<void()> handler);
    // A tool button after the existing ones with its handler run under the guard; the icon from
    // the desktop's theme (fallback: a standard icon of the style).
    QToolButton* addToolButton(const char* name, const QString& hint, const char* themeIcon, int standardIcon,
                               std::function<void()> handler);
    // Enables a tool button and its menu item together.
    static void enableCommand(QToolButton* button, QAction* item, bool enabled);
    // The tool bar's action that holds button (which shows or hides it); null for another button.
    QAction* toolBarAction(const QToolButton* button) const;

    // Writes what the focused edit, memo or cell editor holds but has not written yet, through
    // the control's own path (its check runs): the save's key and tool buttons take no focus, so
    // the control was not left. False when the field refused it.
    bool writeFocusedControl();
    // Shows the first of the pages (indexes into pages) the window lets show and focuses its first
    // control Tab reaches after the focused one; false when the window showed none of them.
    bool turnToFirstOf(QTabWidget& pages, const std::vector<int>& candidates);
    // The pages Ctrl+Tab turns when the focus is in no page (a key panel above them); none here.
    virtual QTabWidget* pagesOutsideFocus() const { return nullptr; }
    // True when cdsMain is open and neither edited nor inserted.
    bool notEditing() const;
    // True when not editing and cdsMain holds a record.
    bool hasRecord() const;
    // The required-field check of one field list (the entry of dataSet's name), whatever the
    // record mode: "E" "000003" with the first empty field's label and the focus on it; false then.
    bool checkRequiredFields(DataSet& dataSet, const std::string& list);
    // The grid of the form that shows dataSet, if any.
    DBGrid* gridOf(const DataSet& dataSet) const;
    // The ".ugs" file of the form's grid layouts.
    std::string gridLayoutFile() const;

    // Handlers of the menu items and tool buttons.
    void miAddClick();
    void miQueryClick();
    void miEditClick();
    void miDeleteClick();
    // The navigation moves cdsMain; a window over another dataset moves that one.
    virtual void miFirstClick();
    virtual void miPriorClick();
    virtual void miNextClick();
    virtual void miLastClick();
    void miExitClick();
    void miToolBarClick();
    void miManagerClick();
    void miViewItemClick();
    void NGClick();
    // Printing belongs to the forms that know their print program.
    virtual void btnPrintClick();
    // Runs the last query again.
    virtual void btnReFreshClick();
    // The status bar's state: 新增 while inserting, 更改 while editing, 浏览 otherwise.
    void showStateCaption(DataSetState state);

private:
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous page whose tab shows, of the page
    // control holding the focus or else pagesOutsideFocus(), once the focused control took what
    // was typed.
    bool turnPage(int direction);
    // The controls bound to a field of dataSet by their "DataField" (any case).
    std::vector<QWidget*> controlsOf(const DataSet& dataSet, std::string_view field) const;
    // Read-only or disabled for every field of a field list, with their controls.
    void lockFields(const std::string& list, bool readOnly);
    // Puts the focus on the field's control, or on its column in the field's grid.
    void focusField(Field& field);
    ClientDataSet* findModuleDataSet(std::string_view name) const;

    RightFlags rights_;
    QMenu* recordMenu_ = nullptr;
    QMenu* browseMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QVBoxLayout* clientLayout_ = nullptr;
    QLabel* stateCaption_ = nullptr;  // the first status panel
    QLabel* serverCaption_ = nullptr; // the last status panel
};

} // namespace orvane
