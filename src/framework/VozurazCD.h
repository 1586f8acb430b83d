#pragma once
// TdmVozuraz: the root of the framework's data modules. It carries the field text handlers
// (FieldTextFormats: date style and separator, brokers, message service), the working date,
// the connection to the program's application-server object ("TAVIS52S.Class1"), the client
// datasets of the module, the stamping of the audit fields and the saving of a dataset's
// changes in one apply that tolerates no error.
//
// No window headers: the data side runs and is tested without a form; it reaches its owner
// form through DataModuleOwner. Client thread only.

#include "framework/FieldTextFormats.h"
#include "framework/KnlVozuraz.h"
#include "framework/SaveRequest.h"
#include "platform/data/ClientDataSet.h"
#include "platform/variant/Dispatch.h"
#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class CodeConversion;
class ExportDialogs;

// The data module cannot reach its server object, or uses it without a connection; the text
// names the server's address and port or the call.
class ServerConnectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A server object of className at the configuration's first server, through the process's
// connector (in process for the embedded address, else on a connection of its own); the
// address used goes to addressUsed when given. Raises ServerConnectionError naming the
// address and port when there is no connector or the port is not valid.
DispatchPtr connectServerObject(std::string_view className, std::string* addressUsed = nullptr);

// The record mode of a maintenance form.
enum class RecordMode : std::uint8_t { Browse = 0, Edit = 1, Add = 2 };

// What a data module needs of the form that owns it.
class DataModuleOwner {
public:
    virtual ~DataModuleOwner() = default;
    // The form's record mode (browse, edit, add).
    virtual RecordMode recordMode() const = 0;
    // The form's check of a record before it is posted; false refuses the post.
    virtual bool ValidateDataSet(DataSet& dataSet) = 0;
    // Another record became current: record rights and command states follow.
    virtual void AfterRecordChange(DataSet& dataSet) = 0;
    // Shows a server's text (an error, in the data code page) in an error box, converted once
    // into the interface's code page.
    virtual void ShowServerMessage(std::string_view serverText) = 0;
    // Shows a text already in the interface's code page (the client's own words, a dictionary
    // text, a label) in an error box, as it is.
    virtual void ShowInterfaceMessage(std::string_view text) = 0;
    // The number the form holds for a new document that the server will number.
    virtual std::string newNumber() const = 0;
    // Shows (true) or takes away (false) the hourglass cursor around a server round trip.
    virtual void setBusy(bool busy) = 0;
};

class TdmVozuraz : public FieldTextFormats {
public:
    // The class of the program's server object, fixed at the root.
    static constexpr std::string_view serverClassName = "TAVIS52S.Class1";
    // Diagnostic log source of an exception while saving.
    static constexpr std::string_view saveLogSource = "Class knlVozuraz-311";

    TdmVozuraz();
    ~TdmVozuraz() override;

    virtual void NewHeadDefaults();                  // 15: nothing at the root
    virtual void StampAuditFields(DataSet& dataSet); // 16

    // Dynamic operations.
    // Opens the module's head dataset; the root has none and answers false.
    virtual bool OpenData();
    // Reads the host configuration, reaches the server object through the process's server
    // connector and logs the program in ("Connect"); the program parameters ("SvrData") go
    // into the brokers. True when the server accepted (answered 0). Raises when the server
    // cannot be reached (the text names the address and port) or no brokers were given.
    virtual bool ConnectServer();
    // Saves the changes of dataSet's nesting: FLAG made positive in the current record and
    // its details, a pending edit posted, one apply allowing no error. True when the server
    // refused no record (refusals go to the reconcile handlers). The apply carries a request
    // identifier (saveRequest): the same changes saved again after an unanswered save carry the
    // same one, so the server answers once. An exception during the apply is written to the
    // diagnostic log and passed on.
    virtual bool SaveData(ClientDataSet& dataSet);
    // Opens every registered dataset that is closed, in registration order.
    virtual void OpenAllDataSets();

    // Logs the program in again on the server object it holds ("Connect"): the server reads the
    // user's rights and the program parameters anew. True when the server accepted and its
    // program parameters are those the module was connected with; false without a connection.
    // alongside: calls to the server object that go in the same batch, after the login (each
    // answered in place; the server object forgets the data it served before a login).
    bool RenewConnection(std::span<Invocation> alongside = {});
    // Brings the module up to date for a program start now: RenewConnection, then the data as
    // the start would read it. Modules with datasets refine it.
    virtual bool Renew();
    // Drops the server object (the connection ends with its last reference).
    void CloseConnection();
    bool connected() const { return appServer_.isDispatch(); }
    // The server's "WhatIs" answer for item ("SQLTYPE", "SEQNO", "TODAY"); raises without a
    // connection.
    Variant WhatIs(std::string_view item);
    // Asks the server for the working date ("TODAY"); the local clock's date when the call
    // fails; unchanged without a connection.
    void RefreshToday();
    // When the interface runs in a converted code page: converts the labels of the datasets'
    // fields and gives every string field without text handlers of its own DOGetText and
    // DOSetText, now and for the fields of datasets that open later (ConvertFieldTexts).
    // converter outlives the module (the form owns both).
    virtual void PrepareFieldTexts(const CodeConversion& converter);
    // Converts the fields that are not converted yet; nothing before PrepareFieldTexts chose a
    // converted code page.
    void ConvertFieldTexts();

    // Code checks with the module's brokers and message service (raise without brokers).
    bool CodeLookup(Field& field, std::string_view table, std::string_view messageType, std::string_view targetFields,
                    std::string_view kind, const Variant& keyValues = Variant()) const;
    bool CodeExists(Field& field, std::string_view table, std::string_view kind,
                    const Variant& keyValues = Variant()) const;
    bool CheckKeyUnique(Field& field, std::string_view table, std::string_view messageType, std::string_view keyFields,
                        std::string_view kind) const;

    // The module's client dataset named name (any case); null when there is none.
    ClientDataSet* findDataSet(std::string_view name) const;
    const std::vector<ClientDataSet*>& dataSets() const { return dataSets_; }

    bool created() const { return created_; }
    const std::string& Today() const { return today_; }
    void setToday(std::string today) { today_ = std::move(today); }
    const Variant& appServer() const { return appServer_; }
    // The address the connection was made to ("127.0.0.1" for the embedded server).
    const std::string& serverAddress() const { return serverAddress_; }
    DataModuleOwner* owner() const { return owner_; }
    void setOwner(DataModuleOwner* owner) { owner_ = owner; }
    // The dialogs of the spreadsheet export; null in a module used without a window.
    ExportDialogs* exportDialogs() const { return exportDialogs_; }
    void setExportDialogs(ExportDialogs* dialogs) { exportDialogs_ = dialogs; }
    // The interface language of the installation ("CHS", "CHT", "ENG").
    const std::string& langType() const { return langType_; }
    void setLangType(std::string language) { langType_ = std::move(language); }
    // The identifier of the module's saves and the save still waiting for its answer.
    SaveRequest& saveRequest() { return saveRequest_; }

protected:
    // Makes dataSet one of the module's datasets (opened by OpenAllDataSets, found by name);
    // it must outlive the module's use of it. Masters before their details. Each level of
    // the module closes the datasets it declares when it is destroyed.
    void registerDataSet(ClientDataSet& dataSet);
    RecordMode ownerMode() const { return owner_ != nullptr ? owner_->recordMode() : RecordMode::Browse; }

private:
    CodeChecks codeChecks() const;
    // "Connect" on the server object held, keeping the program parameters it answers, in one
    // batch with the calls alongside.
    bool logIn(std::span<Invocation> alongside = {});

    bool created_ = true;                                // set once the module is made; sent with "Connect"
    std::string today_;                                  // the working date YYYYMMDD of the audit dates
    Variant appServer_;                                  // the application-server object while connected
    std::string serverAddress_;                          // where appServer_ was reached
    std::string svrData_;                                // the program parameters of the last "Connect"
    DataModuleOwner* owner_ = nullptr;                   // the owner form; null in a module used without one
    ExportDialogs* exportDialogs_ = nullptr;             // the owner form's export dialogs
    std::string langType_;                               // the interface language the labels follow
    std::vector<ClientDataSet*> dataSets_;               // the module's datasets, masters first
    const CodeConversion* fieldTextConverter_ = nullptr; // set when field texts are converted
    std::set<const Field*> convertedFields_;             // fields live as long as their dataset
    SaveRequest saveRequest_;                            // the identifier of the next save
};

// Makes a data module: the class a form's DataModuleClass answers.
using DataModuleFactory = std::function<std::unique_ptr<TdmVozuraz>()>;

} // namespace orvane
