#include "services/Brokers.h"

#include "platform/lookup/LookupRequest.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

namespace orvane {

namespace {

struct ComponentSource {
    BrokerComponent flag;
    std::string_view hostMethod;
};

// The order in which AcquireComponents asks the host for its components.
constexpr std::array<ComponentSource, 6> acquireOrder{{
    {BrokerComponent::InputDate, "Com_InputDate"},
    {BrokerComponent::VarManager, "Com_VarManager"},
    {BrokerComponent::Validator, "Com_Validator"},
    {BrokerComponent::F2Window, "Com_F2Window"},
    {BrokerComponent::Phrase, "Com_Phrase"},
    {BrokerComponent::Counter, "Com_Counter"},
}};

constexpr int maxRecordLimit = 20;
// The lookups a LearnedStep notes at most: a step asks a handful, the rest are not sent ahead.
constexpr std::size_t maxLearnedLookups = 32;
// Elements of the caller's workflow job array.
constexpr std::size_t workflowJobSize = 12;
constexpr std::size_t pagerJobSize = 4;
// The code page the workflow product is told the texts are in.
constexpr std::string_view workflowCodePage = "936";
constexpr std::string_view undefinedCounterAnswer = "UnDefined Error from Counter";

// An answer read as a boolean: unassigned and null are false.
bool isTrue(const Variant& answer)
{
    return !answer.isUnassignedOrNull() && answer.toBoolean();
}

// The integer of an answer that is a number or number text.
std::optional<std::int64_t> integerOf(const Variant& answer)
{
    if (answer.isInteger() || answer.isFloat())
        return answer.toInteger();
    if (answer.isString())
        return text::tryParseInteger(answer.asString());
    return std::nullopt;
}

// The elements of a one-dimensional array, at least minCount of them; raises naming the caller.
std::span<const Variant> jobElements(const Variant& job, std::size_t minCount, std::string_view what)
{
    if (!job.isArray() || job.dimensions() != 1 || job.array().size() < minCount)
        throw std::invalid_argument("SendJob: " + std::string(what) + " takes an array of " + std::to_string(minCount) +
                                    " elements");
    return job.array().elements();
}

// The names of a comma list as an array of texts, each as written.
Variant nameArray(std::string_view list)
{
    std::vector<Variant> items;
    for (std::string& name : text::splitList(list, ',', text::ListItems::AsWritten))
        items.emplace_back(std::move(name));
    return Variant::arrayOf(std::move(items));
}

} // namespace

template <typename Self>
auto& TBrokers::componentSlot(Self& self, BrokerComponent flag)
{
    switch (flag) {
    case BrokerComponent::VarManager: return self.varManager_;
    case BrokerComponent::Validator: return self.validator_;
    case BrokerComponent::F2Window: return self.f2Window_;
    case BrokerComponent::InputDate: return self.inputDate_;
    case BrokerComponent::Phrase: return self.phrase_;
    case BrokerComponent::Counter: break;
    }
    return self.counter_;
}

TBrokers::TBrokers(BrokersOwner& owner, MessageCodeService& messages, AutomationRegistry& registry)
    : owner_(owner), messages_(messages), registry_(registry)
{}

bool TBrokers::AcquireComponents()
{
    if (!hostObject_.isDispatch())
        return false;
    for (const ComponentSource& source : acquireOrder) {
        if ((componentFlags_ & static_cast<std::uint8_t>(source.flag)) == 0)
            continue;
        Variant& slot = componentSlot(*this, source.flag);
        if (!slot.isDispatch())
            slot = hostObject_.dispatch()->call(source.hostMethod);
    }
    LoadProgramRow();
    return true;
}

void TBrokers::LoadProgramRow()
{
    programRow_[0].clear();
    Variant row;
    if (!CheckValue("ADMMB", "06", Variant::arrayOf({programId_, companyDb_}), row) || !row.isArray() ||
        row.dimensions() != 1 || row.array().empty())
        return;
    const auto columns = row.array().elements();
    for (std::size_t i = 0; i < programRow_.size() && i < columns.size(); ++i)
        programRow_[i] = columns[i].toString();
}

std::vector<std::pair<std::string, std::string>> systemParameterPairs(const Variant& answer)
{
    std::vector<std::pair<std::string, std::string>> parameters;
    if (answer.dimensions() != 2 || answer.array().empty() || answer.array().bounds(1).count() < 2)
        return parameters;
    const int nameRow = answer.lowBound(1);
    for (int i = answer.lowBound(2); i <= answer.highBound(2); ++i)
        parameters.emplace_back(answer.at(nameRow, i).toString(), answer.at(nameRow + 1, i).toString());
    return parameters;
}

bool TBrokers::LoadSystemParameters()
{
    if (!varManager_.isDispatch())
        return false;
    std::vector<Variant> args{companyId_};
    const auto parameters = systemParameterPairs(varManager_.dispatch()->invoke("GetSysInfo", args));
    for (const auto& [name, value] : parameters)
        SetSystemParameter(name, value);
    return !parameters.empty();
}

void TBrokers::SystemParameter(std::string_view name, std::string& value) const
{
    if (name.empty())
        return;
    const auto it = systemParameters_.find(name);
    value = it == systemParameters_.end() ? std::string() : it->second;
}

std::string TBrokers::SystemParameter(std::string_view name) const
{
    std::string value;
    SystemParameter(name, value);
    return value;
}

void TBrokers::SetSystemParameter(std::string_view name, std::string_view value)
{
    if (name.empty())
        return;
    const auto it = systemParameters_.find(name);
    if (it != systemParameters_.end())
        it->second = value;
    else
        systemParameters_.emplace(name, value);
}

void TBrokers::SetProgramParameters(std::string_view text)
{
    programParameters_.clear();
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos && equals > 0)
            programParameters_.insert_or_assign(std::string(line.substr(0, equals)),
                                                std::string(line.substr(equals + 1)));
        start = end + 1;
    }
}

std::string TBrokers::ProgramParameter(std::string_view name) const
{
    const auto it = programParameters_.find(name);
    return it == programParameters_.end() ? std::string() : it->second;
}

int TBrokers::MaxRecord() const
{
    const auto value = text::tryParseInteger(ProgramParameter("MAX_RECORD"));
    if (!value || *value < 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(*value, maxRecordLimit));
}

void TBrokers::RemoteCall(std::string_view method, const Variant& args, Variant& result)
{
    result = Variant();
    if (!counter_.isDispatch())
        return;
    const Variant key = BrokerAnswers::keyOf("GETCOUNTER", {std::string(method), args});
    if (answerScopes_ > 0)
        if (const BrokerAnswers::Answer* kept = answers_.find(key)) {
            result = kept->value;
            return;
        }
    std::vector<Variant> call{std::string(method), Variant::arrayOf({companyId_, companyDb_}), args};
    result = counter_.dispatch()->invoke("GETCOUNTER", call);
    if (answerScopes_ > 0)
        answers_.keep(key, {result, {}});
}

bool TBrokers::CheckValue(std::string_view table, std::string_view kind, const Variant& keys, Variant& result)
{
    return lookup("CheckValue", table, kind, keys, result);
}

bool TBrokers::QueryData(std::string_view table, std::string_view kind, const Variant& keys, Variant& result)
{
    return lookup("QueryData", table, kind, keys, result);
}

bool TBrokers::lookup(std::string_view method, std::string_view table, std::string_view kind, const Variant& keys,
                      Variant& result)
{
    if (!validator_.isDispatch())
        return false;
    if (noted_ && method == "CheckValue")
        addLookup(*noted_, PrefetchCall::lookup(table, kind, keys));
    const Variant key = BrokerAnswers::keyOf(method, {table, kind, keys});
    if (answerScopes_ > 0)
        if (const BrokerAnswers::Answer* kept = answers_.find(key)) {
            result = kept->result;
            return isTrue(kept->value);
        }
    std::vector<Variant> args{table, kind, companyDb_, keys, result};
    const Variant answer = validator_.dispatch()->invoke(method, args);
    result = std::move(args[4]);
    if (answerScopes_ > 0)
        answers_.keep(key, {answer, result});
    return isTrue(answer);
}

TBrokers::AnswerScope::AnswerScope(TBrokers& brokers) : brokers_(brokers)
{
    ++brokers_.answerScopes_;
}

TBrokers::AnswerScope::~AnswerScope()
{
    if (--brokers_.answerScopes_ == 0)
        brokers_.answers_.clear();
}

void TBrokers::addLookup(std::vector<PrefetchCall>& calls, const PrefetchCall& call)
{
    const bool present = std::ranges::any_of(calls, [&](const PrefetchCall& other) {
        return other.name == call.name && other.kind == call.kind && other.values == call.values;
    });
    if (!present && calls.size() < maxLearnedLookups)
        calls.push_back(call);
}

TBrokers::LearnedStep::LearnedStep(TBrokers& brokers, std::string_view step) : brokers_(brokers), scope_(brokers)
{
    if (brokers.noted_)
        return;
    step_ = step;
    brokers.noted_.emplace();
    if (const auto it = brokers.learnedSteps_.find(step); it != brokers.learnedSteps_.end()) {
        std::vector<PrefetchCall> ahead = it->second[0];
        for (const PrefetchCall& call : it->second[1])
            addLookup(ahead, call);
        brokers.Prefetch(ahead);
    }
}

std::optional<TBrokers::LearnedStep> learnedStep(TBrokers* brokers, std::string_view step)
{
    if (brokers == nullptr)
        return std::nullopt;
    return std::optional<TBrokers::LearnedStep>(std::in_place, *brokers, step);
}

TBrokers::LearnedStep::~LearnedStep()
{
    if (step_.empty())
        return;
    auto& learned = brokers_.learnedSteps_[step_];
    learned[1] = std::exchange(learned[0], std::move(*brokers_.noted_));
    brokers_.noted_.reset();
}

void TBrokers::Prefetch(std::span<const PrefetchCall> calls)
{
    if (answerScopes_ == 0)
        return;
    std::vector<std::pair<Variant, Invocation>> lookups;
    std::vector<std::pair<Variant, Invocation>> methods;
    for (const PrefetchCall& call : calls) {
        if (call.isRemote)
            methods.push_back(
                {BrokerAnswers::keyOf("GETCOUNTER", {call.name, call.values}),
                 {"GETCOUNTER", {call.name, Variant::arrayOf({companyId_, companyDb_}), call.values}, {}, {}}});
        else
            lookups.push_back({BrokerAnswers::keyOf("CheckValue", {call.name, call.kind, call.values}),
                               {"CheckValue", {call.name, call.kind, companyDb_, call.values, Variant()}, {}, {}}});
    }
    prefetchFrom(validator_, std::move(lookups));
    prefetchFrom(counter_, std::move(methods));
}

void TBrokers::prefetchFrom(const Variant& component, std::vector<std::pair<Variant, Invocation>> calls)
{
    std::erase_if(calls, [this](const auto& call) { return answers_.find(call.first) != nullptr; });
    if (calls.empty() || !component.isDispatch())
        return;
    std::vector<Invocation> batch;
    for (auto& call : calls)
        batch.push_back(std::move(call.second));
    component.dispatch()->invokeAll(batch);
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (batch[i].error)
            continue;
        const bool isLookup = batch[i].name == "CheckValue";
        answers_.keep(std::move(calls[i].first),
                      {std::move(batch[i].result), isLookup ? std::move(batch[i].args[4]) : Variant()});
    }
}

void TBrokers::PrefetchAnswers(std::string_view method, const Variant& args)
{
    if (answerScopes_ == 0 || !counter_.isDispatch())
        return;
    std::array<Invocation, 1> call{
        Invocation{"GETCOUNTER", {std::string(method), Variant::arrayOf({companyId_, companyDb_}), args}, {}, {}}};
    counter_.dispatch()->invokeAll(call);
    if (!call[0].error)
        answers_.keepForeseen(std::move(call[0].result));
}

bool TBrokers::QueryMaxSeq(std::string_view table, std::string_view keyList, const Variant& keyValues,
                           std::string_view date, std::string& mode, std::string& maxSeq, std::string& nextSeq)
{
    bool found = false;
    if (validator_.isDispatch()) {
        std::vector<Variant> args{table, nameArray(keyList), keyValues, date, mode, maxSeq, nextSeq};
        found = isTrue(validator_.dispatch()->invoke("QueryMaxSeq", args));
        mode = args[4].toString();
        maxSeq = args[5].toString();
        nextSeq = args[6].toString();
    }
    if (!found) {
        maxSeq = "unKnow";
        nextSeq = "unKnow";
    }
    return found;
}

void TBrokers::GetMessage(std::string_view type, std::string_view code, std::string& text)
{
    text =
        hostObject_.isDispatch() ? hostObject_.dispatch()->call("GetMessage", {type, code}).toString() : std::string();
}

void TBrokers::GetPhrase2(std::string_view first, std::string_view second, int number, std::string& phrase)
{
    if (!phrase_.isDispatch())
        return;
    std::vector<Variant> args{first, second, number, phrase};
    phrase_.dispatch()->invoke("GetPhrase2", args);
    phrase = args[3].toString();
}

void TBrokers::PopupAddress(std::string& address, int number)
{
    if (!address_.isDispatch())
        address_ = registry_.create("AddressC.Class1");
    std::vector<Variant> args{address, number};
    address_.dispatch()->invoke("PopupAddress", args);
    address = args[0].toString();
}

std::string TBrokers::ShowInputDay(const Variant& date)
{
    if (!inputDate_.isDispatch())
        return {};
    return inputDate_.dispatch()->call("ShowInputDay", {date}).toString();
}

LookupRequest TBrokers::lookupRequest(const Variant& value0, const Variant& value1, const Variant& value2, bool flag1,
                                      const Variant& text, std::int64_t windowHandle, bool flag2) const
{
    return {
        .table = value0.toString(),
        .kind = value1.toString(),
        .keys = value2,
        .takeFirstRow = flag1,
        .text = text.toString(),
        .companyId = companyId_,
        .companyDb = companyDb_,
        .windowHandle = windowHandle != 0 ? windowHandle : owner_.windowHandle(),
        .secondFlag = flag2,
        .commands33or35 = owner_.hasCommand(33) || owner_.hasCommand(35),
        .commands32or34 = owner_.hasCommand(32) || owner_.hasCommand(34),
    };
}

void TBrokers::F2GetData(const Variant& value0, const Variant& value1, const Variant& value2, bool flag1,
                         const Variant& text, std::int64_t windowHandle, bool flag2, Variant& result)
{
    result = Variant();
    if (!f2Window_.isDispatch())
        return;
    std::vector<Variant> args{lookupRequest(value0, value1, value2, flag1, text, windowHandle, flag2).toVariant()};
    result = f2Window_.dispatch()->invoke("F2GetData", args);
}

SearchRequest TBrokers::searchRequest(std::string_view table, std::string_view kind, const Variant& keys,
                                      const Variant& text, std::string_view bodyKind, std::string_view bodyField) const
{
    return {lookupRequest(Variant(std::string(table)), Variant(std::string(kind)), keys, false, text, 0, false),
            std::string(bodyKind), std::string(bodyField)};
}

bool TBrokers::ShowSearchWindow(const SearchRequest& lists, Variant& row)
{
    std::optional<std::vector<Variant>> chosen = owner_.openSearchWindow(lists);
    if (!chosen)
        return false;
    row = Variant::arrayOf(std::move(*chosen));
    return true;
}

int TBrokers::RunProgram(std::string_view programId, const Variant& filter, const Variant& params, Variant& result)
{
    if (!hostObject_.isDispatch())
        return -1;
    std::vector<Variant> args{
        Variant::arrayOf({userId_, companyId_, programId, owner_.windowHandle()}),
        filter,
        params.isEmpty() ? Variant::arrayOf({0, 4, Variant()}) : params,
        2,
        Variant(),
    };
    const Variant answer = hostObject_.dispatch()->invoke("ExecWork", args);
    result = std::move(args[4]);
    return static_cast<int>(answer.toInteger());
}

bool TBrokers::SendJob(int kind, const Variant& job)
{
    switch (kind) {
    case 1: return sendWorkflowJob(job);
    case 2: return notifyUser(job);
    default: return false;
    }
}

bool TBrokers::sendWorkflowJob(const Variant& job)
{
    const auto elements = jobElements(job, workflowJobSize, "a workflow job");
    // The document key is the key values joined by "||"; the first is the document type.
    const std::string key = elements[1].toString();
    Variant settings;
    CheckValue("ZTKMB", "02", Variant::arrayOf({programId_, key.substr(0, key.find("||"))}), settings);
    const bool hasFlow = settings.isArray() && settings.dimensions() == 1 && settings.array().size() > 2;

    std::vector<Variant> record(elements.begin(), elements.begin() + workflowJobSize);
    for (const std::string* identity : {&userId_, &companyId_, &companyDb_, &programId_, &userGroup_})
        record.emplace_back(*identity);
    record.emplace_back(hasFlow ? settings.array().elements()[2].toString() : std::string());
    record.emplace_back(workflowCodePage);

    Variant answer;
    RemoteCall("INSERTVLJOB", Variant::arrayOf({Variant::arrayOf(std::move(record))}), answer);
    switch (integerOf(answer).value_or(-1)) {
    case 0: messages_.ShowMessageCode("I", "200007", false, {}); return true;
    case 1: messages_.ShowMessageCode("E", "200128", false, {}); return false;
    case 2: messages_.ShowMessageCode("E", "200129", false, {}); return false;
    default:
        throw BrokerError(std::string(undefinedCounterAnswer) + " (INSERTVLJOB answered " +
                          (answer.isString() || answer.isNumeric() ? "'" + answer.toString() + "'"
                                                                   : "a " + std::string(typeName(answer.type()))) +
                          ")");
    }
}

bool TBrokers::notifyUser(const Variant& job)
{
    const auto elements = jobElements(job, pagerJobSize, "a note to a user");
    const DispatchPtr pager = registry_.create("ZTKPagerC.Class1");
    std::vector<Variant> args{elements[0].toString(), elements[1], elements[2], elements[3]};
    pager->invoke("ShowSendTalvex", args);
    return true;
}

void TBrokers::setProgramId(std::string_view id)
{
    programId_ = text::upperCase(id);
}

const Variant& TBrokers::component(BrokerComponent flag) const
{
    return componentSlot(*this, flag);
}

} // namespace orvane
