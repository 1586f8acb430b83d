#pragma once
// TfrmVozuraz: the root of the program forms. It turns the shell's start parameters into a
// running program (identity, system parameters, the program's own row, caption, rights, the
// data module's connection), carries what the controller hands in and out (start mode, key and
// value, rights set, results), and the keyboard conventions of every program: F1 help, F2/F3/F4
// lookups, Enter as Tab, Ctrl+Alt+V version information.
//
// Make forms with Create<Form>() (construction, then the creation handler, so that the handler
// reaches the derived form's overrides) and free them with TZtForm::Free. Client thread only.

#include "framework/DDField.h"
#include "framework/RecordRights.h"
#include "framework/VozurazCD.h"
#include "framework/ZtForm.h"
#include "services/Brokers.h"
#include "services/InterfaceTexts.h"
#include "ui/LookupRequestEvent.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

class FormExportDialogs;

class TfrmVozuraz : public TZtForm, public BrokersOwner, public MessageCodeService, public DataModuleOwner {
    Q_OBJECT
public:
    // Commands of a fresh form: 0..14 and 22..59; of a user without a rights text: 15..29.
    static CommandSet initialCommands();
    static CommandSet noRightsCommands();

    // Makes a form: construction, then the creation handler.
    template <typename Form, typename... Args>
    static Form* Create(Args&&... args)
    {
        std::unique_ptr<Form> form(new Form(std::forward<Args>(args)...));
        static_cast<TfrmVozuraz&>(*form).FormCreate();
        return form.release();
    }

    ~TfrmVozuraz() override;

    virtual void OpenF2Window(int& key, QWidget* control);                            // 56
    virtual void OpenF3Window(int& key, QWidget* control);                            // 57
    virtual void OpenF4Window(int& key, QWidget* control);                            // 58
    virtual void RunStartAction();                                                    // 59: nothing at the root
    virtual void ApplyDictionaryTexts();                                              // 60
    virtual void ApplyProgramOptions();                                               // 61
    virtual void FetchRights();                                                       // 62
    virtual void ConfigureDocument();                                                 // 63
    virtual int RunOtherProgram(std::string_view programId, std::string_view filter); // 64: the launch code
    virtual void ProgramName(std::string_view programId, std::string& name);          // 65
    virtual bool PrepareProgram(const Variant& params);                               // 66
    virtual void UpdateCommandStates();                                               // 67: nothing at the root
    virtual DataModuleFactory DataModuleClass() const;                                // 68
    // Makes a form that PrepareProgram prepared, and that was never shown, what a start now would
    // make: false when the interface language or the user's rights and program parameters changed
    // since (the form would show them as they were), else the data module is logged in again.
    virtual bool RenewProgram();

    // The program identifier from the running module's file name.
    void GetProgramID(std::string& id) const;
    // The help topic for key: the focused control's own, its field's or the form's.
    void GetHelpTopic(std::string_view key, std::string& topic) const;
    // Builds the command set from a rights text (F0,F1,...,F5) and keeps the group list.
    void ParseRights(std::string_view powerData, std::string_view groupList);
    // The command set of a non-empty rights text.
    static CommandSet RightsCommands(std::string_view powerData);
    // The identifier of a module file: its name up to the last digit before the first ".",
    // upper case; "" when no digit precedes the dot ("tavi52c.so" gives "TAVI52").
    static std::string ProgramIdOf(std::string_view moduleFile);
    // True when the file carries the platform's shared-library extension (".so", any case).
    static bool IsLibraryFile(std::string_view moduleFile);

    // BrokersOwner and MessageCodeService.
    std::int64_t windowHandle() const override;
    bool hasCommand(int element) const override;
    int ShowMessageCode(std::string_view type, std::string_view code, bool abortFlag,
                        std::span<const Variant> values) override;
    // The lookup window (TfrmSearch) on the request, for the brokers' ShowSearchWindow.
    std::optional<std::vector<Variant>> openSearchWindow(const SearchRequest& request) override;

    // DataModuleOwner: the root form browses, accepts every record and holds no new number;
    // record forms refine these.
    RecordMode recordMode() const override { return recordMode_; }
    void setRecordMode(RecordMode mode) { recordMode_ = mode; }
    bool ValidateDataSet(DataSet& dataSet) override;
    void AfterRecordChange(DataSet& dataSet) override;
    void ShowServerMessage(std::string_view serverText) override;
    void ShowInterfaceMessage(std::string_view text) override;
    std::string newNumber() const override;
    void setBusy(bool busy) override;

    TBrokers& brokers() const { return *brokers_; }
    // The form's own data module, or the one it borrows.
    TdmVozuraz* dataModule() const { return dataModule_ ? dataModule_.get() : borrowedModule_; }
    const CommandSet& commandSet() const { return commandSet_; }
    const RightsSet& rightsSet() const { return rightsSet_; }
    void setRightsSet(RightsSet rights) { rightsSet_ = rights; }
    int dateStyle() const { return dateStyle_; }
    const std::string& dateSeparator() const { return dateSeparator_; }
    // A stored YYYYMMDD in the form's date format; "" for what is no date.
    std::string DateText(std::string_view stored) const;
    // The working date YYYYMMDD: the data module's, else the local clock's.
    std::string Today() const;
    const std::string& formText() const { return formText_; }
    void setFormText(std::string text) { formText_ = std::move(text); }
    std::uint8_t sqlType() const { return sqlType_; }
    const Variant& startData() const { return startData_; }
    const std::string& startKey() const { return startKey_; }
    void setStartKey(std::string key) { startKey_ = std::move(key); }
    std::uint8_t startMode() const { return startMode_; }
    void setStartMode(std::uint8_t mode) { startMode_ = mode; }
    const Variant& startValue() const { return startValue_; }
    void setStartValue(Variant value) { startValue_ = std::move(value); }
    const std::string& programAttribute() const { return programAttribute_; }
    const std::string& langType() const { return langType_; }
    // The framework's own text `name` in the interface language ("ZtTexts" of the dictionary),
    // else designText (installation code page).
    std::string frameworkText(std::string_view name, std::string_view designText) const;
    // The code's own texts in the interface language; none (every design-time text) before the
    // configuration is read.
    const InterfaceTexts& interfaceTexts() const;
    std::int32_t shellWindowHandle() const { return shellWindowHandle_; }
    const std::string& groupList() const { return groupList_; }
    const Variant& resultValue() const { return resultValue_; }
    void setResultValue(Variant value) { resultValue_ = std::move(value); }
    std::int32_t resultCode() const { return resultCode_; }
    void setResultCode(std::int32_t code) { resultCode_ = code; }
    const std::string& companyDb() const { return companyDb_; }
    const std::string& profileFolder() const { return profileFolder_; }
    const std::string& configFile() const { return configFile_; }
    bool closeOnPaint() const { return closeOnPaint_; }

    // The field dictionary applied at start (ApplyProgramOptions); null before.
    std::unique_ptr<TDDField> DictionaryObject;

protected:
    TfrmVozuraz();

    // The creation handler; descendants run their own steps around the inherited one.
    virtual void FormCreate();
    // The file of the running module (the library the framework is linked into, or the
    // executable).
    virtual std::string ModuleFileName() const;
    bool RunsAsLibrary() const { return IsLibraryFile(ModuleFileName()); }
    // Makes the data module from DataModuleClass; the form owns it.
    void CreateDataModule();
    // Uses another form's module as this form's (null to stop): a window over a dataset of
    // another window. It is neither connected nor freed by this form.
    void BorrowDataModule(TdmVozuraz* module) { borrowedModule_ = module; }

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // The form's handlers; descendants run their steps around the inherited one.
    virtual void FormShow();
    virtual void FormClose(CloseAction& action);
    // Key preview: keys of every control of the form pass here first; true swallows the key.
    virtual bool FormKeyDown(QKeyEvent& event);
    virtual bool FormKeyPress(QKeyEvent& event);

private:
    // Starts the form on its own when it is not loaded as a library (a development build).
    void StartStandAlone();
    void CallHelp();
    void ShowVersionInfo();
    // "$" in an edit with the date mask (a head date, a line's date cell) shows today's date, as in
    // the dialogs' date edits; false for any other control.
    bool typeToday(QWidget* control);
    void RepaintShellWindow() const;
    // A lookup of the field's code is over: the control bound to the field takes the focus back.
    void focusBoundControl(const Field& field);
    // Runs the start step by step (PrepareProgram's body).
    void PrepareSteps(const Variant& params);
    void ConvertScreenFonts() const;
    // The window's caption, "program name[ZTK002]", in the interface's code page.
    QString programCaption(const std::string& programId) const;
    // A program's name in the interface's code page: the dictionary's, else the company's
    // (converted from the data code page), else its identifier.
    std::string shownProgramName(std::string_view programId);
    // The name of the folder the module file lies in (the program ID when that is unknown): the
    // program's exported files go to a folder of that name.
    std::string programFolderName() const;

    RecordMode recordMode_ = RecordMode::Browse;       // what the data module's events follow
    int dateStyle_ = 1;                                // SYS001 as an integer
    std::string dateSeparator_;                        // SYS002
    std::string formText_;                             // what the controller's GetFormText answers
    CommandSet commandSet_;                            // built by ParseRights
    RightsSet rightsSet_;                              // narrowed by the shell's rights mask
    std::unique_ptr<TdmVozuraz> dataModule_;           // null in a form without data
    TdmVozuraz* borrowedModule_ = nullptr;             // another form's module this form works on
    std::uint8_t sqlType_ = 0;                         // the server's database kind ("WhatIs" "SQLTYPE")
    Variant startData_;                                // start parameter 4
    std::string startKey_;                             // from the controller's SetStartKey
    std::uint8_t startMode_ = 0;                       // from the controller's SetStartMode
    std::string programAttribute_;                     // column 1 of the program's own row, trimmed
    std::string langType_;                             // the configuration's interface language
    std::shared_ptr<const InterfaceTexts> texts_;      // the code's own texts in that language
    std::int32_t shellWindowHandle_ = 0;               // start parameter 3
    std::string groupList_;                            // program parameter GROUP_LIST
    std::unique_ptr<TBrokers> brokers_;                // made by the creation handler
    Variant startValue_;                               // from SetStartMode for shell modes 7, 8 and 10
    Variant resultValue_;                              // left for the caller; copied by the controller
    std::int32_t resultCode_ = 0;                      // left for the caller; copied by the controller
    std::string companyDb_;                            // start parameter 2
    std::string profileFolder_;                        // the configuration's profile folder
    std::string configFile_;                           // the configuration file in use
    bool closeOnPaint_ = false;                        // a stand-alone start failed: close at the first paint
    bool closeQueued_ = false;                         // the close-on-paint close is on its way
    const QEvent* previewedKey_ = nullptr;             // the key press the form last previewed, until a release
    QPointer<QWidget> previewedAt_;                    // the control that key press came to first
    std::unique_ptr<FormExportDialogs> exportDialogs_; // handed to the data module
};

// Makes a program form: the class a module registers for its main form.
using ProgramFormFactory = TfrmVozuraz* (*)();

} // namespace orvane
