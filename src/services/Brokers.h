#pragma once
// TBrokers: a program form's gateway to the shell and the application server. It keeps the
// login identity, takes the shell's common components from the host object, keeps the system
// and program parameters, and makes every call into the shell: table checks and queries
// through the validator, named server methods through the counter, lookups, dates, phrases,
// other programs, workflow jobs.
//
// A missing component never raises: the calls answer their empty value (false, unassigned,
// empty text, -1). Client thread only.

#include "platform/lookup/LookupRequest.h"
#include "platform/variant/Dispatch.h"
#include "services/BrokerAnswers.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane {

// What the lookup window is opened on: the head list's request, and for lists with lines the
// kind of the line list and the head field whose value keys the lines after the request's keys.
struct SearchRequest {
    LookupRequest request;
    std::string bodyKind;  // "" for a list without lines
    std::string bodyField; // "TD003"
};

// The parameters of the variable manager's "GetSysInfo" answer, (name, value) in order: two rows
// (names, values) by one column per parameter; none for an answer of any other shape.
std::vector<std::pair<std::string, std::string>> systemParameterPairs(const Variant& answer);

// What TBrokers needs of the form that owns it, so that no window header is needed here.
class BrokersOwner {
public:
    virtual ~BrokersOwner() = default;
    // The form's window handle, passed to the shell for its windows.
    virtual std::int64_t windowHandle() const = 0;
    // True when the form's command set holds element (0..63).
    virtual bool hasCommand(int element) const = 0;
    // Runs the lookup window modally on request; the chosen row, none when nothing was chosen
    // or the owner has no window to show.
    virtual std::optional<std::vector<Variant>> openSearchWindow(const SearchRequest& /*request*/) { return {}; }
};

// The message service's coded messages: type letter, six-digit code, the abort flag (type "W":
// an answer other than OK abandons the operation silently), the placeholder values; answers the
// button the user pressed (1 OK, 2 Cancel, 6 Yes, 7 No).
class MessageCodeService {
public:
    virtual ~MessageCodeService() = default;
    virtual int ShowMessageCode(std::string_view type, std::string_view code, bool abortFlag,
                                std::span<const Variant> values) = 0;
};

// An answer of a shell component or of the application server that the TBrokers call does not
// define; the text names the call and the answer.
class BrokerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A call to fetch ahead (TBrokers::Prefetch): a validator lookup ("CheckValue" of table, kind
// and keys) or a named server method through the counter.
struct PrefetchCall {
    static PrefetchCall lookup(std::string_view table, std::string_view kind, Variant keys)
    {
        return {false, std::string(table), std::string(kind), std::move(keys)};
    }
    static PrefetchCall remote(std::string_view method, Variant args)
    {
        return {true, std::string(method), {}, std::move(args)};
    }
    bool isRemote;
    std::string name; // table, or the method's name
    std::string kind; // lookups only
    Variant values;   // keys, or the method's elements
};

// Component flags: which common components AcquireComponents takes.
enum class BrokerComponent : std::uint8_t {
    VarManager = 0x02,
    Validator = 0x04,
    F2Window = 0x08,
    InputDate = 0x10,
    Phrase = 0x20,
    Counter = 0x80,
};

class TBrokers {
public:
    // owner and messages outlive the brokers; registry creates "AddressC.Class1" and
    // "ZTKPagerC.Class1".
    TBrokers(BrokersOwner& owner, MessageCodeService& messages,
             AutomationRegistry& registry = AutomationRegistry::instance());

    // Takes the flagged components the brokers do not hold yet from the host object, then
    // loads the program row; false (taking nothing) when the host is not a dispatch object.
    bool AcquireComponents();
    // The program's own row (ADMMB "06"); column 0 is cleared first.
    void LoadProgramRow();
    // The system parameters from the variable manager; false when it is missing or answers
    // nothing, leaving the list as it was.
    bool LoadSystemParameters();

    // Value = the parameter's value ("" when absent); an empty Name leaves Value untouched.
    void SystemParameter(std::string_view name, std::string& value) const;
    std::string SystemParameter(std::string_view name) const;
    // Sets Name=Value; an empty Name does nothing.
    void SetSystemParameter(std::string_view name, std::string_view value);
    int SystemParameterCount() const { return static_cast<int>(systemParameters_.size()); }

    // Makes text (NAME=VALUE lines) the whole program-parameter list.
    void SetProgramParameters(std::string_view text);
    std::string ProgramParameter(std::string_view name) const;
    // MAX_RECORD as a number: 0 when missing, not a number or negative; at most 20.
    int MaxRecord() const;

    // A named server method through the counter; Result is unassigned, and nothing is sent,
    // when the counter is missing.
    void RemoteCall(std::string_view method, const Variant& args, Variant& result);
    // While a scope is open, the answers of CheckValue and RemoteCall are kept, and a call with
    // the same arguments takes the kept answer instead of asking again; closing the outermost
    // scope forgets them. A check opens one around its work: the server's data does not change
    // under one field check in a way the check could tell.
    class AnswerScope {
    public:
        explicit AnswerScope(TBrokers& brokers);
        AnswerScope(const AnswerScope&) = delete;
        AnswerScope& operator=(const AnswerScope&) = delete;
        ~AnswerScope();

    private:
        TBrokers& brokers_;
    };
    // A step the brokers learn from, for steps that ask the same lookups each time (a new line
    // copies the last line's codes and their companions): an AnswerScope that also notes the
    // validator lookups ("CheckValue") asked inside it, and on opening sends the lookups noted
    // the last two times the step ran ahead, in one batch (two, since lines alternate: the
    // first line of an order copies nothing). Only lookups are learned: they read, while a
    // counter method may number or write. Nested in another LearnedStep it is a plain scope.
    class LearnedStep {
    public:
        LearnedStep(TBrokers& brokers, std::string_view step);
        LearnedStep(const LearnedStep&) = delete;
        LearnedStep& operator=(const LearnedStep&) = delete;
        ~LearnedStep();

    private:
        TBrokers& brokers_;
        AnswerScope scope_;
        std::string step_; // empty when nested: nothing noted
    };
    // Inside an AnswerScope: sends the calls not answered yet, the lookups to the validator in
    // one batch and the methods to the counter in another (each batch one round trip over the
    // network), and keeps their answers. A call that fails is not kept: made again, it fails
    // as it would have. Outside a scope, or without the component, nothing is sent.
    void Prefetch(std::span<const PrefetchCall> calls);
    // Inside an AnswerScope: asks a named server method that answers a check's questions ahead
    // ("ItemCheck": [lookups, methods], each lookup [table, kind, keys, found, row], each method
    // [name, elements, answer]) and keeps each answer as that of its own call; one round trip.
    // A refused call keeps nothing, a malformed entry is passed over: the check's own calls
    // then go to the server as they would have. Outside a scope, or without the counter,
    // nothing is sent.
    void PrefetchAnswers(std::string_view method, const Variant& args);
    // Validator lookups by table and kind; false without calling when the validator is missing.
    bool CheckValue(std::string_view table, std::string_view kind, const Variant& keys, Variant& result);
    bool QueryData(std::string_view table, std::string_view kind, const Variant& keys, Variant& result);
    // The highest and next document numbers; both "unKnow" when the validator answers false
    // or is missing. keyList is comma-separated.
    bool QueryMaxSeq(std::string_view table, std::string_view keyList, const Variant& keyValues, std::string_view date,
                     std::string& mode, std::string& maxSeq, std::string& nextSeq);
    // The message text of the shell; empty when there is no host object.
    void GetMessage(std::string_view type, std::string_view code, std::string& text);
    // A phrase from the phrase service; phrase is left as it was when the service is missing.
    void GetPhrase2(std::string_view first, std::string_view second, int number, std::string& phrase);
    // The address window; creates "AddressC.Class1" on first use.
    void PopupAddress(std::string& address, int number);
    // The date window; "" when the service is missing.
    std::string ShowInputDay(const Variant& date);
    // The shell's lookup window on a LookupRequest of the caller's values (table, kind, keys,
    // take the first row, text, window handle, second flag) and the brokers' company and owner;
    // Result is the encoded LookupAnswer, unassigned when nothing was chosen or the service is
    // missing. windowHandle 0 stands for the owner form's.
    void F2GetData(const Variant& value0, const Variant& value1, const Variant& value2, bool flag1, const Variant& text,
                   std::int64_t windowHandle, bool flag2, Variant& result);
    // The lookup window on the list of table and kind, filtered by keys (the caller's text and
    // flags as F2GetData takes them), with the line list of bodyKind keyed by the head field
    // bodyField when bodyKind is not empty. True with the chosen row's columns in row; false,
    // leaving row as it was, when nothing was chosen.
    bool ShowSearchWindow(const SearchRequest& lists, Variant& row);
    SearchRequest searchRequest(std::string_view table, std::string_view kind, const Variant& keys,
                                const Variant& text = Variant(std::string()), std::string_view bodyKind = {},
                                std::string_view bodyField = {}) const;
    // Starts another program through the shell: 0 or more started, -1..-7 launch errors.
    int RunProgram(std::string_view programId, const Variant& filter, const Variant& params, Variant& result);
    // Kind 1: a document to the workflow (12-element Job); kind 2: a note to a user.
    bool SendJob(int kind, const Variant& job);

    bool active() const { return active_; }
    const std::string& programId() const { return programId_; }
    void setProgramId(std::string_view id); // kept in upper case
    const std::string& userId() const { return userId_; }
    void setUserId(std::string id) { userId_ = std::move(id); }
    const std::string& userGroup() const { return userGroup_; }
    void setUserGroup(std::string group) { userGroup_ = std::move(group); }
    const std::string& companyId() const { return companyId_; }
    void setCompanyId(std::string id) { companyId_ = std::move(id); }
    const std::string& companyDb() const { return companyDb_; }
    void setCompanyDb(std::string db) { companyDb_ = std::move(db); }
    const std::array<std::string, 7>& programRow() const { return programRow_; }
    std::uint8_t componentFlags() const { return componentFlags_; }
    void setComponentFlags(std::uint8_t flags) { componentFlags_ = flags; }
    const Variant& hostObject() const { return hostObject_; }
    void setHostObject(Variant host) { hostObject_ = std::move(host); }
    // The component held for a flag (unassigned until taken).
    const Variant& component(BrokerComponent flag) const;
    // The lookup windows' connection to the lookup service, kept for the form's later lookup
    // windows so that each does not log in again; unassigned until the first window connects.
    Variant& searchService() { return searchService_; }

private:
    using ParameterList = std::map<std::string, std::string, CaseInsensitiveLess>;

    // The member holding the component of a flag.
    template <typename Self>
    static auto& componentSlot(Self& self, BrokerComponent flag);
    // The request of a lookup list: the caller's values, the brokers' company and the owner's
    // window and rights.
    LookupRequest lookupRequest(const Variant& value0, const Variant& value1, const Variant& value2, bool flag1,
                                const Variant& text, std::int64_t windowHandle, bool flag2) const;
    // Adds a lookup to calls unless it is there already.
    static void addLookup(std::vector<PrefetchCall>& calls, const PrefetchCall& call);
    bool lookup(std::string_view method, std::string_view table, std::string_view kind, const Variant& keys,
                Variant& result);
    // The batch of one component: the calls not kept yet, sent together, their answers kept.
    void prefetchFrom(const Variant& component, std::vector<std::pair<Variant, Invocation>> calls);
    bool sendWorkflowJob(const Variant& job);
    bool notifyUser(const Variant& job);

    bool active_ = true;                    // true from creation
    std::string programId_;                 // upper case
    std::string userId_;                    // start parameter 0
    std::string userGroup_;                 // program parameter USER_GROUP
    std::string companyId_;                 // start parameter 1
    std::string companyDb_;                 // start parameter 2
    std::array<std::string, 7> programRow_; // ADMMB "06": 0 program name, 1 attribute, 2..6 for the forms
    ParameterList systemParameters_;        // names without regard to case
    std::uint8_t componentFlags_ = 0xFF;    // which components to take
    Variant hostObject_;                    // the shell's host object
    Variant varManager_;                    // the components, empty until taken
    Variant f2Window_;
    Variant phrase_;
    Variant validator_;
    Variant address_; // created from "AddressC.Class1" on first use
    Variant inputDate_;
    Variant counter_;
    ParameterList programParameters_; // from the server object's "SvrData"
    Variant searchService_;           // "F2WindowS.Class1" of the lookup windows
    int answerScopes_ = 0;            // open AnswerScopes
    // The lookups each LearnedStep asked the last two times it ran (the last first), and those
    // of the open one.
    std::map<std::string, std::array<std::vector<PrefetchCall>, 2>, std::less<>> learnedSteps_;
    std::optional<std::vector<PrefetchCall>> noted_;
    BrokerAnswers answers_;           // kept while a scope is open

    BrokersOwner& owner_;
    MessageCodeService& messages_;
    AutomationRegistry& registry_;
};

// A learned step over brokers, or nothing without them (a data module used on its own).
std::optional<TBrokers::LearnedStep> learnedStep(TBrokers* brokers, std::string_view step);

} // namespace orvane
