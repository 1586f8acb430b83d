#include "framework/BaseCD.h"

#include "framework/HeadProvider.h"
#include "platform/data/DataSetError.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/Rounding.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace orvane {

class TdmBase::BusyCursor {
public:
    explicit BusyCursor(DataModuleOwner* owner) : owner_(owner)
    {
        if (owner_ != nullptr)
            owner_->setBusy(true);
    }
    ~BusyCursor()
    {
        if (owner_ != nullptr)
            owner_->setBusy(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    DataModuleOwner* owner_;
};

namespace {

void openDetails(DataSet& dataSet)
{
    for (DataSet* detail : dataSet.details()) {
        detail->open();
        openDetails(*detail);
    }
}

// Keeps the bound controls of a dataset and of its details quiet for the life of the scope:
// they hear of the dataset once at its end rather than of each close and open on the way.
class QuietControls {
public:
    explicit QuietControls(DataSet& dataSet) { disable(dataSet); }
    ~QuietControls()
    {
        for (auto dataSet = disabled_.rbegin(); dataSet != disabled_.rend(); ++dataSet)
            (*dataSet)->enableControls();
    }
    QuietControls(const QuietControls&) = delete;
    QuietControls& operator=(const QuietControls&) = delete;

private:
    void disable(DataSet& dataSet)
    {
        dataSet.disableControls();
        disabled_.push_back(&dataSet);
        for (DataSet* detail : dataSet.details())
            disable(*detail);
    }

    std::vector<DataSet*> disabled_; // the master first
};

} // namespace

TdmBase::TdmBase()
{
    registerDataSet(cdsMain);
    cdsMain.setPacketRecords(maxPacketRecords);
    cdsMain.events.onNewRecord = [this](DataSet& dataSet) { cdsMainNewRecord(dataSet); };
    cdsMain.events.afterEdit = [this](DataSet& dataSet) { cdsMainAfterEdit(dataSet); };
    cdsMain.events.beforePost = [this](DataSet& dataSet) { cdsMainBeforePost(dataSet); };
    cdsMain.events.beforeScroll = [this](DataSet& dataSet) { cdsMainBeforeScroll(dataSet); };
    cdsMain.events.afterScroll = [this](DataSet& dataSet) { cdsMainAfterScroll(dataSet); };
}

TdmBase::~TdmBase()
{
    cdsMain.close();
}

bool TdmBase::IsLocalServer() const
{
    return serverAddress() == "127.0.0.1";
}

void TdmBase::SetKeyFields(std::string_view keyFields)
{
    if (!text::equalsIgnoringCase(keyFields, keyFields_))
        keyFields_ = text::upperCase(keyFields);
}

void TdmBase::ProgramHook() {}

bool TdmBase::OpenData()
{
    if (!connected() || brokers() == nullptr)
        throw DataSetError("cdsMain cannot open: the data module is not connected to its " +
                           std::string(serverClassName) + " server object");
    // MAX_RECORD missing or not positive would mean packets of metadata only: no head record
    // would ever show, so the cap is used instead.
    const int maxRecord = brokers()->MaxRecord();
    cdsMain.setPacketRecords(maxRecord > 0 ? std::min(maxRecord, maxPacketRecords) : maxPacketRecords);
    mainTable_ = brokers()->ProgramParameter("M11_TABLE");
    SetKeyFields(brokers()->ProgramParameter("M11_KEY"));
    cdsMain.setProvider(std::make_shared<HeadProvider>(appServer().dispatch(), std::string(mainProviderName)));
    // The module's server object lets one call through at a time (ConnectServer), so the head
    // list may read its next packet on a worker.
    cdsMain.setReadsAhead(true);
    openHead();
    LabelAuditFields(cdsMain, langType(), *this);
    applyNumberGroups();
    ConvertFieldTexts();
    return cdsMain.active();
}

void TdmBase::openHead()
{
    cdsMain.open();
}

void TdmBase::OpenAllDataSets()
{
    TdmVozuraz::OpenAllDataSets();
    applyNumberGroups();
    ConvertFieldTexts();
}

bool TdmBase::Renew()
{
    auto* head = dynamic_cast<HeadProvider*>(cdsMain.provider().get());
    if (head == nullptr || !cdsMain.active())
        return TdmVozuraz::Renew();
    Invocation opening = head->openingCall(cdsMain.packetRecords(), cdsMain.params());
    if (!RenewConnection(std::span(&opening, 1)))
        return false;
    if (opening.error)
        std::rethrow_exception(opening.error);
    if (head->takeOpening(cdsMain.packetRecords(), cdsMain.params(), std::move(opening.result)) && asOpened())
        return true;
    cdsMain.close();
    OpenAllDataSets();
    return true;
}

bool TdmBase::asOpened() const
{
    if (cdsMain.changeCount() > 0 || cdsMain.readingAhead())
        return false;
    return std::all_of(dataSets().begin(), dataSets().end(), [](const ClientDataSet* dataSet) {
        return dataSet->active() && dataSet->state() == DataSetState::Browse && dataSet->recNo() <= 1;
    });
}

void TdmBase::applyNumberGroups()
{
    for (int group = 0; group < NumberGroups::count; ++group)
        SetNumberFormats(numberGroups_.fields(group), numberGroups_.length(group));
}

void TdmBase::ShowAuditFields(bool show)
{
    orvane::ShowAuditFields(cdsMain, show);
}

void TdmBase::OpenDataSet(ClientDataSet& dataSet, std::string_view condition, std::string_view order)
{
    const QuietControls quiet(dataSet);
    dataSet.close();
    const std::string where =
        text::equalsIgnoringCase(text::trim(condition), "All") ? std::string() : std::string(condition);
    const BusyCursor busy(owner());
    dataSet.setParams(Variant::arrayOf({Variant(where), Variant(order)}));
    dataSet.open();
    openDetails(dataSet);
    ConvertFieldTexts();
}

void TdmBase::SetNumberFormats(std::string_view groupText, int decimals)
{
    const std::string display = numberDisplayFormat(decimals);
    const std::string edit = numberEditFormat(decimals);
    for (const FieldListItem& item : parseFieldList(groupText)) {
        const ClientDataSet* dataSet = findDataSet(item.dataSet);
        if (dataSet == nullptr)
            continue;
        for (const std::string& name : item.fields) {
            Field* field = dataSet->findField(name);
            if (field == nullptr || !field->isNumeric())
                continue;
            field->setDisplayFormat(display);
            field->setEditFormat(edit);
            if (!field->onSetText)
                field->onSetText = [this](Field& target, std::string_view text) { NumberFieldSetText(target, text); };
        }
    }
}

void TdmBase::NumberFieldSetText(Field& field, std::string_view text)
{
    if (!isEditing(field.dataSet()))
        return;
    const std::string typed = text::trim(text);
    const std::optional<double> value = typed.empty() ? 0.0 : text::tryParseFloat(typed);
    const std::string refused = "Field '" + field.displayLabel() + "': '" + typed + "' ";
    if (!value)
        throw ConversionError(refused + "is not a number (type it without thousands separators)");
    const int group = numberGroups_.groupOf(field.dataSet().name(), field.name());
    const int decimals = group >= 0 ? numberGroups_.length(group) : -1;
    // Rounding and storing keep 15 significant digits: a number needing more within the decimals
    // it keeps would be stored as another one ("12345678901234.56" as 12345678901234.6).
    if (text::significantDigits(typed, decimals) > text::keptSignificantDigits)
        throw ConversionError(refused + "has more than " + std::to_string(text::keptSignificantDigits) +
                              " significant digits, more than a number field keeps");
    const double stored = group >= 0 ? text::roundTo(*value, decimals) : *value;
    SetFieldText(&field, text::floatToText(stored), false);
}

void TdmBase::setFNumberFields(int group, std::string text)
{
    numberGroups_.setFields(group, std::move(text));
    SetNumberFormats(numberGroups_.fields(group), numberGroups_.length(group));
}

void TdmBase::setFNumberLength(int group, int decimals)
{
    numberGroups_.setLength(group, decimals);
    SetNumberFormats(numberGroups_.fields(group), numberGroups_.length(group));
}

void TdmBase::cdsMainNewRecord(DataSet& dataSet)
{
    // A new head looks up the same defaults' companions order after order.
    const auto lookups = learnedStep(brokers(), "new order");
    StampAuditFields(dataSet);
    NewHeadDefaults();
    FillEmptyFields(dataSet);
}

void TdmBase::cdsMainAfterEdit(DataSet& dataSet)
{
    if (ownerMode() == RecordMode::Edit)
        StampAuditFields(dataSet);
}

void TdmBase::cdsMainBeforePost(DataSet& dataSet)
{
    if (owner() != nullptr && !owner()->ValidateDataSet(dataSet))
        abortSilently();
}

void TdmBase::cdsMainBeforeScroll(DataSet& dataSet)
{
    if (dataSet.state() != DataSetState::Browse || cdsMain.allFetched())
        return;
    if (!dataSet.eof() && dataSet.recNo() < dataSet.recordCount())
        return;
    const bool enabled = dsMain.enabled();
    dsMain.setEnabled(false);
    try {
        cdsMain.getNextPacket();
    } catch (...) {
        dsMain.setEnabled(enabled);
        throw;
    }
    dsMain.setEnabled(enabled);
}

void TdmBase::cdsMainAfterScroll(DataSet& dataSet)
{
    if (owner() != nullptr)
        owner()->AfterRecordChange(dataSet);
}

} // namespace orvane
