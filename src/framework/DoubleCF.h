#pragma once
// DoubleCF: TfrmDouble, the window of a document with lines (an order) over a TdmDouble module:
// the body page with the lines grid, the keys between head and body, the document's
// confirmation state (not confirmed, confirmed, void, confirmation failed) with its commands and
// picture and the lock of confirmed documents, the closing-date check, saving head and lines in
// one apply with the server's number, and the hooks a program refines: copy, the confirmation's
// precondition, the copied values, the record change.
//
// Client (GUI) thread only.

#include "framework/DoubleCD.h"
#include "framework/SingleCF.h"

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMenu;

namespace orvane {

class DocumentDraft;

class TfrmDouble : public TfrmSingle, public DocumentLinesOwner {
    Q_OBJECT
public:
    // The confirmation modes of SetConfirmState.
    static constexpr int modeUnVoid = 0;
    static constexpr int modeVoid = 1;
    static constexpr int modeUnConfirm = 2;
    static constexpr int modeConfirm = 3;

    ~TfrmDouble() override;

    // The inherited start, then the draft: a document a dead window of the program left is offered
    // for restoring (not in a window opened for one record), and the document being added or
    // edited is kept in a draft from then on.
    void RunStartAction() override; // 59
    // Hands the document's lists to the module, binds the body grid, then the inherited step.
    void ApplyProgramOptions() override; // 61
    // After the rules of the record and single forms: the lock of confirmed documents, the
    // copy command and the confirmation commands and picture.
    void UpdateCommandStates() override; // 67
    // The closing date must allow it; a confirmed, failed or void document is refused silently.
    bool EditRecord() override;           // 70
    bool DeleteRecord(bool ask) override; // 71
    // Lines then head posted, the closing date checked, the lines keyed, "SetIsSeq", one apply;
    // after an add the server's number (told with "I" "000006" when it differs), AutoConfirm and
    // ConfirmSaveHook.
    bool SaveRecord() override;           // 74
    bool CancelRecord(bool ask) override; // 75
    // Copies a document (the current one, or another whose key the wizard is given) into a new
    // one through the copy wizard; the new document stays in add mode for the user to save.
    virtual void CopyRecord(); // 96
    // Runs a confirmation command (modeConfirm, modeUnConfirm, modeVoid, modeUnVoid).
    virtual void SetConfirmState(int mode, int flag);     // 97
    virtual void AfterHeadChange();                       // 99: nothing here
    virtual bool ConfirmOnServer(const Variant& request); // 101
    virtual bool ConfirmLocally(const Variant& request);  // 102
    virtual bool UsesTransactionServer();                 // 103: true
    // The date a confirmation command carries: asked with the confirmation-date dialog when
    // SYS025 is "Y" and the command confirms, "" otherwise. False when the user cancelled.
    virtual bool ConfirmationDate(int mode, std::string& date);
    virtual bool ChangeConfirmState(int mode, int flag);                      // 110: true here
    virtual Variant CopiedHeadValue(QObject* sender, Field& field, int flag); // 112: the field's value
    virtual Variant CopiedLineValue(QObject* sender, Field& field, int flag); // 113: the field's value
    // The copy wizard's fetch step: reads the document of keys (KeyFields order) into head and
    // lines as rows of (field name, value), each value the copied value the slots above answer
    // (unassigned ones left out), leaves extra to programs, and starts the new document. False
    // with "E" "000001" when no document has that key.
    virtual bool FetchCopySource(const std::vector<std::string>& keys, int flag, QObject* sender, Variant& head,
                                 Variant& lines, Variant& extra);

    // The sign-off workflow, offered when SYS060 is "Y" and SignOffField names the head's
    // sign-off status. Sends the document with an action code (3 confirm, 2 unconfirm, 1 void)
    // unless it is queued already; true when the workflow took it.
    virtual bool SendToWorkflow(int action);
    // The program's own check of a document about to be sent; true here.
    virtual bool WorkflowPreCheck(int action);
    // The current document's key: its key values joined by "||".
    std::string documentKey() const;

    // The head record changed: rights, then the program's step.
    void AfterRecordChange(DataSet& dataSet) override;
    // DocumentLinesOwner.
    void LineDataChange(Field* field) override;
    void NewLineStarted() override;

    // The record mode shown; a new mode ends the draft of the previous document.
    void ShowState(DataSetState state) override;

    TdmDouble* doubleModule() const;
    // The draft of the document being added or edited; null before the window started.
    DocumentDraft* draft() const { return draft_.get(); }
    // The confirmation code of the current head ("" without one).
    std::string confirmCode() const;
    // True when the current document is confirmed, failed, void or in sign-off: no edit, no delete.
    bool locked() const;
    // True when the closing date allows a document of the head's number date.
    bool closingDateAllows() const;

    // The document's lists and settings, handed over by the program in ConfigureDocument.
    std::string ConfirmField = "TC027";
    std::string LineCloseField;
    std::string LineCopyFields;
    std::string HeadToLineFields;
    std::string DocDateField;
    std::string SignOffField;
    std::string NumberDateField; // the date the head's automatic number is made from
    bool ClosingDateCheck = false;
    std::string ClosingDate; // YYYYMMDD; documents dated on or before it are not saved
    int AutoConfirm = 2;     // 1 confirms a new document right after its first save
    std::string NewNumber;   // the server's number after the last save
    std::string TypedNumber; // the number held before saving
    int ConfirmMode = 0;     // the last confirmation command
    // The head control whose Enter moves to the lines.
    QWidget* lastHeadControl = nullptr;

    // Components, named as the suite names them.
    QWidget* pnlFoot = nullptr;
    QTabWidget* pgBody = nullptr;
    QWidget* tbsBody1 = nullptr;
    DBGrid* gdBody1 = nullptr;
    QLabel* ImgConfirm = nullptr;
    QToolButton* btnConfirm = nullptr;
    QToolButton* btnUnConfirm = nullptr;
    QToolButton* btnInvalid = nullptr;
    QAction* miConfirm = nullptr;
    QAction* miUnConfirm = nullptr;
    QAction* miInvalid = nullptr;
    QAction* mnuCopy = nullptr;
    QToolButton* btnAttach = nullptr;
    QMenu* popVeltra = nullptr;
    QAction* miGoConfirm = nullptr;
    QAction* miGoUnConfirm = nullptr;
    QAction* miGoInvalid = nullptr;
    QAction* miSeprator = nullptr;
    QAction* miViewVeltra = nullptr;
    QToolButton* btnVeltra = nullptr;
    QAction* btnSepVeltra = nullptr;

protected:
    TfrmDouble();

    bool FormKeyDown(QKeyEvent& event) override;
    bool FormKeyPress(QKeyEvent& event) override;

    void miConfirmClick();
    void miUnConfirmClick();
    void miInvalidClick();
    void mnuCopyClick();
    // The workflow's button: its menu when sending to confirm is not offered, else that.
    void btnVeltraClick();
    void miGoConfirmClick();
    void miGoUnConfirmClick();
    void miGoInvalidClick();
    // Shows the document's sign-off history from "GetVLApprove".
    void miViewVeltraClick();
    // Deletes the current line of a document being edited after "C" "000005" (Ctrl+Delete in the
    // lines grid, not in a cell editor); its totals follow.
    void deleteLine();
    // Shows the lines and gives the body grid the focus on its first field.
    void enterBody();
    // The confirmation request of the current head for operation "DO" or "UNDO" with its date.
    Variant confirmationRequest(const std::string& operation, const std::string& date);
    // The current head's key values; a document just added carries the server's number.
    std::vector<std::string> keyValues() const override;
    // Re-reads the current head by its key.
    void rereadHead();
    // After a save that failed or got no answer: the head back in edit, the OK command on.
    void resumeFailedSave();

private:
    // The picture and the commands of the confirmation code.
    void showConfirmation();
    void createWorkflowCommands();
    // The workflow's commands from the switch and the document's sign-off status; a document in
    // sign-off offers no direct confirmation command either.
    void showWorkflowCommands();
    // The sign-off decision for a document just added: true when it goes to sign-off (the switch
    // on, its status not "N" and its type in the sign-off settings), and then sent for confirming
    // when its type's sign-off mode is "Y" or "C".
    bool signOffAfterSave();
    // The text telling the clerk why the sign-off history answer (a refusal) has no history.
    std::string signOffRefusal(const std::string& answer) const;
    // The twelve elements of the document's job for the workflow.
    Variant workflowJob(int action, const std::string& urgency, const std::string& contact) const;
    // The copied values of the current record of dataSet as rows of (field name, value).
    Variant copiedRow(DataSet& dataSet, QObject* sender, int flag, bool line);
    // The copied rows of each dataset nested in the current line (the sub-lines of an order
    // line), one array of copiedRow rows per nested dataset.
    Variant copiedSubLines(DataSet& line, QObject* sender, int flag);
    // Writes rows of (field name, value) into the current record of dataSet, read-only or not.
    static void pasteRow(DataSet& dataSet, const Variant& row);
    // Appends the copiedSubLines rows to the datasets nested in the current line.
    static void pasteSubLines(DataSet& line, const Variant& subLines);
    // Grows (positive) or shrinks the head area, between 31 pixels and its first height.
    void resizeHead(int pixels);

    std::unique_ptr<DocumentDraft> draft_; // made when the window starts
    bool refusedEdit_ = false;             // the server refused the save of the edit under way
    int headHeight_ = 0;                   // the head area's height when first shown
    QAction* btnVeltraAction_ = nullptr;   // btnVeltra's place on the toolbar, which shows or hides it
};

} // namespace orvane
