#include "framework/VozurazCD.h"

#include "platform/rpc/ServerConnector.h"
#include "platform/text/ByteText.h"
#include "platform/text/DateText.h"
#include "platform/variant/NumberText.h"
#include "platform/variant/SerialDispatch.h"
#include "services/Brokers.h"
#include "services/CodeConversion.h"
#include "services/LibSys.h"
#include "services/OrvaneINI.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

namespace orvane {

namespace {

std::string endpointText(const std::string& address, int port)
{
    return "application server " + address + ":" + std::to_string(port);
}

// FLAG of the current record as an integer; 0 when missing or not a number.
std::int64_t flagOf(const Field* flag)
{
    if (flag == nullptr || flag->isNull())
        return 0;
    if (flag->isNumeric())
        return static_cast<std::int64_t>(std::trunc(flag->asFloat()));
    return text::parseIntegerOrZero(flag->asString());
}

// Detaches a dataset's events and disables its controls until it goes out of scope.
class QuietDataSet {
public:
    explicit QuietDataSet(DataSet& dataSet) : dataSet_(dataSet), events_(std::move(dataSet.events))
    {
        dataSet.events = {};
        dataSet.disableControls();
    }
    ~QuietDataSet()
    {
        dataSet_.events = std::move(events_);
        dataSet_.enableControls();
    }
    QuietDataSet(const QuietDataSet&) = delete;
    QuietDataSet& operator=(const QuietDataSet&) = delete;

private:
    DataSet& dataSet_;
    DataSetEvents events_;
};

// Makes a negative FLAG of the current record positive (posting when the record had to be
// put into edit for it).
void makeFlagPositive(DataSet& dataSet)
{
    Field* flag = dataSet.findField("FLAG");
    const std::int64_t value = flagOf(flag);
    if (value >= 0)
        return;
    if (isEditing(dataSet)) {
        SetFieldText(flag, std::to_string(-value), false);
        return;
    }
    dataSet.edit();
    SetFieldText(flag, std::to_string(-value), false);
    dataSet.post();
}

void normaliseDetails(DataSet& dataSet);

// Every record of a detail from last to first: its own details, then its FLAG. The detail's
// current record is current again afterwards.
void normaliseDetail(DataSet& detail)
{
    if (!detail.active() || detail.isEmpty())
        return;
    const QuietDataSet quiet(detail);
    const Bookmark current = detail.bookmark();
    detail.last();
    while (true) {
        normaliseDetails(detail);
        makeFlagPositive(detail);
        if (detail.recNo() <= 1)
            break;
        detail.prior();
    }
    if (detail.bookmarkValid(current))
        detail.gotoBookmark(current);
}

void normaliseDetails(DataSet& dataSet)
{
    for (DataSet* detail : dataSet.details())
        normaliseDetail(*detail);
}

// Posts the typing pending in the details (deepest first), with their events, so the owner's
// checks see every line before the FLAG walk moves through them quietly.
void postDetails(DataSet& dataSet)
{
    for (DataSet* detail : dataSet.details()) {
        postDetails(*detail);
        if (isEditing(*detail))
            detail->post();
    }
}

} // namespace

TdmVozuraz::TdmVozuraz() = default;

TdmVozuraz::~TdmVozuraz()
{
    CloseConnection();
}

void TdmVozuraz::NewHeadDefaults() {}

void TdmVozuraz::StampAuditFields(DataSet& dataSet)
{
    if (brokers() == nullptr)
        throw std::logic_error("StampAuditFields(" + dataSet.name() + "): the data module has no brokers");
    Field* flag = dataSet.findField("FLAG");
    const std::int64_t counter = flagOf(flag);
    if (counter < 0)
        return;
    if (dataSet.state() == DataSetState::Insert) {
        SetFieldText(dataSet.findField("COMPANY"), brokers()->companyId(), true);
        SetFieldText(dataSet.findField("CREATOR"), brokers()->userId(), true);
        SetFieldText(dataSet.findField("CREATE_DATE"), today_, true);
        SetFieldText(dataSet.findField("USR_GROUP"), brokers()->userGroup(), true);
        SetFieldText(flag, "-1", true);
        return;
    }
    // A record whose change is already pending was stamped when that change began; a save
    // refused by the server leaves its FLAG positive, and counting it again would make the
    // client's FLAG run ahead of the server's.
    if (dataSet.state() != DataSetState::Edit || dataSet.updateStatus() != UpdateStatus::Unmodified)
        return;
    SetFieldText(dataSet.findField("MODIFIER"), brokers()->userId(), true);
    SetFieldText(dataSet.findField("MODI_DATE"), today_, true);
    SetFieldText(flag, std::to_string(-((counter + 1) % 1000)), true);
}

bool TdmVozuraz::OpenData()
{
    return false;
}

DispatchPtr connectServerObject(std::string_view className, std::string* addressUsed)
{
    const ServerEndpoint server = TOrvaneIniC().firstServer();
    const std::string& address = server.address;
    const int port = server.port;
    if (port <= 0 || port > 65535)
        throw ServerConnectionError(endpointText(address, port) + ": the port is not a valid TCP port");
    const std::shared_ptr<ServerConnector> connector = ServerConnector::installed();
    if (!connector)
        throw ServerConnectionError(endpointText(address, port) +
                                    ": no server connector is installed in this process (the shell installs "
                                    "one after its login)");
    if (addressUsed != nullptr)
        *addressUsed = address;
    return connector->connect(address, static_cast<std::uint16_t>(port), className);
}

bool TdmVozuraz::ConnectServer()
{
    if (brokers() == nullptr)
        throw std::logic_error("the data module has no brokers to connect with");
    CloseConnection();
    std::string address;
    // One call at a time: the head's next packet is read on a worker while the clerk works on.
    appServer_ = Variant(SerialDispatch::wrap(connectServerObject(serverClassName, &address)));
    if (!appServer_.isDispatch())
        return false;
    serverAddress_ = address;

    const bool accepted = logIn();
    brokers()->SetProgramParameters(svrData_);
    return accepted;
}

bool TdmVozuraz::logIn(std::span<Invocation> alongside)
{
    TBrokers& gate = *brokers();
    Variant request = Variant::arrayOf({gate.programId(), gate.userId(), gate.companyId(), gate.companyDb(), created_});
    // The program parameters are asked for as a call, so that the login is one round trip.
    std::vector<Invocation> batch{{"Connect", {std::move(request)}, {}, {}}, {"SvrData", {}, {}, {}}};
    std::move(alongside.begin(), alongside.end(), std::back_inserter(batch));
    appServer_.dispatch()->invokeAll(batch);
    std::move(batch.begin() + 2, batch.end(), alongside.begin());
    for (const Invocation& call : std::span(batch).first(2)) {
        if (call.error)
            std::rethrow_exception(call.error);
    }
    svrData_ = batch[1].result.toString();
    return batch[0].result.isNumeric() && batch[0].result.toInteger() == 0;
}

bool TdmVozuraz::RenewConnection(std::span<Invocation> alongside)
{
    if (!connected() || brokers() == nullptr)
        return false;
    const std::string before = svrData_;
    return logIn(alongside) && svrData_ == before;
}

bool TdmVozuraz::Renew()
{
    return RenewConnection();
}

bool TdmVozuraz::SaveData(ClientDataSet& dataSet)
{
    postDetails(dataSet);
    {
        const QuietDataSet quiet(dataSet);
        normaliseDetails(dataSet);
        if (!dataSet.isEmpty() || dataSet.state() == DataSetState::Insert)
            makeFlagPositive(dataSet);
    }
    if (isEditing(dataSet))
        dataSet.post();
    try {
        const bool saved =
            dataSet.applyUpdates(0, [this](const Delta& changes) { return saveRequest_.idFor(changes); }) == 0;
        saveRequest_.answered();
        return saved;
    } catch (const std::exception& e) {
        WriteLog(saveLogSource, e.what(), "D");
        throw;
    }
}

void TdmVozuraz::OpenAllDataSets()
{
    for (ClientDataSet* dataSet : dataSets_) {
        if (!dataSet->active())
            dataSet->open();
    }
}

void TdmVozuraz::CloseConnection()
{
    appServer_ = Variant();
}

Variant TdmVozuraz::WhatIs(std::string_view item)
{
    if (!connected())
        throw ServerConnectionError("WhatIs(" + std::string(item) + "): the data module is not connected to the " +
                                    std::string(serverClassName) + " server object");
    return appServer_.dispatch()->call("WhatIs", {Variant(item)});
}

void TdmVozuraz::RefreshToday()
{
    if (!connected())
        return;
    try {
        today_ = appServer_.dispatch()->call("TODAY", {}).toString();
    } catch (const std::exception&) {
        today_ = text::dateText(text::today());
    }
}

void TdmVozuraz::PrepareFieldTexts(const CodeConversion& converter)
{
    const ConvertMode display = converter.displayMode();
    if (display != ConvertMode::GbToBig5 && display != ConvertMode::Big5ToGb)
        return;
    const ConvertMode reverse = display == ConvertMode::GbToBig5 ? ConvertMode::Big5ToGb : ConvertMode::GbToBig5;
    fieldTextConverter_ = &converter;
    setTextConversion({[&converter](const Variant& text) { return converter.DisplayConvert(text); },
                       [&converter, reverse](const Variant& text) { return converter.Convert(text, reverse); }});
    ConvertFieldTexts();
}

void TdmVozuraz::ConvertFieldTexts()
{
    if (fieldTextConverter_ == nullptr)
        return;
    for (const ClientDataSet* dataSet : dataSets_) {
        for (int i = 0; i < dataSet->fieldCount(); ++i) {
            Field& field = dataSet->field(i);
            // A label converted twice would be garbled: each field once.
            if (!convertedFields_.insert(&field).second)
                continue;
            field.setDisplayLabel(fieldTextConverter_->DisplayConvert(Variant(field.displayLabel())).toString());
            if (field.type() == FieldType::String && !field.onGetText && !field.onSetText) {
                field.onGetText = getText(&FieldTextFormats::DOGetText);
                field.onSetText = setText(&FieldTextFormats::DOSetText);
            }
        }
    }
}

CodeChecks TdmVozuraz::codeChecks() const
{
    if (brokers() == nullptr)
        throw std::logic_error("the data module has no brokers to check codes with");
    return CodeChecks(*brokers(), messageService());
}

bool TdmVozuraz::CodeLookup(Field& field, std::string_view table, std::string_view messageType,
                            std::string_view targetFields, std::string_view kind, const Variant& keyValues) const
{
    return codeChecks().CodeLookup(field, table, messageType, targetFields, kind, keyValues);
}

bool TdmVozuraz::CodeExists(Field& field, std::string_view table, std::string_view kind, const Variant& keyValues) const
{
    return codeChecks().CodeExists(field, table, kind, keyValues);
}

bool TdmVozuraz::CheckKeyUnique(Field& field, std::string_view table, std::string_view messageType,
                                std::string_view keyFields, std::string_view kind) const
{
    return codeChecks().CheckKeyUnique(field, table, messageType, keyFields, kind);
}

ClientDataSet* TdmVozuraz::findDataSet(std::string_view name) const
{
    for (ClientDataSet* dataSet : dataSets_) {
        if (text::equalsIgnoringCase(dataSet->name(), name))
            return dataSet;
    }
    return nullptr;
}

void TdmVozuraz::registerDataSet(ClientDataSet& dataSet)
{
    dataSets_.push_back(&dataSet);
}

} // namespace orvane
