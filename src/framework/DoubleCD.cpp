#include "framework/DoubleCD.h"

#include "framework/KnlVozuraz.h"
#include "platform/data/DataSetError.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/Format.h"
#include "platform/text/LocalText.h"
#include "platform/variant/NumberText.h"
#include "services/Brokers.h"
#include "services/LibSys.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace orvane {

namespace {

// Keeps a dataset's bound controls quiet and its current record for the life of the scope.
class KeptPosition {
public:
    explicit KeptPosition(DataSet& dataSet) : dataSet_(dataSet), bookmark_(dataSet.bookmark())
    {
        dataSet_.disableControls();
    }
    ~KeptPosition()
    {
        if (dataSet_.bookmarkValid(bookmark_))
            dataSet_.gotoBookmark(bookmark_);
        dataSet_.enableControls();
    }
    KeptPosition(const KeptPosition&) = delete;
    KeptPosition& operator=(const KeptPosition&) = delete;

private:
    DataSet& dataSet_;
    Bookmark bookmark_;
};

// Opens a client dataset for its fields alone while the scope lasts: no record is read.
class MetadataOnly {
public:
    explicit MetadataOnly(ClientDataSet& dataSet) : dataSet_(dataSet), packetRecords_(dataSet.packetRecords())
    {
        dataSet_.setPacketRecords(0);
    }
    ~MetadataOnly() { dataSet_.setPacketRecords(packetRecords_); }
    MetadataOnly(const MetadataOnly&) = delete;
    MetadataOnly& operator=(const MetadataOnly&) = delete;

private:
    ClientDataSet& dataSet_;
    int packetRecords_;
};

// The integer value of a line number text; text that is not a number counts 0.
std::int64_t lineNumberOf(const Field& field)
{
    return field.isNull() ? 0 : text::parseIntegerOrZero(text::trim(field.asString()));
}

double roundedForSum(double value, int rounding)
{
    if (rounding == -1)
        return value;
    if (rounding == -2)
        return std::trunc(value);
    return text::tryParseFloat(text::trim(text::format("%10.*f", {rounding, value}))).value_or(0.0);
}

} // namespace

TdmDouble::TdmDouble()
{
    registerDataSet(cdsBody1);
    cdsBody1.events.onNewRecord = [this](DataSet& dataSet) { cdsBody1NewRecord(dataSet); };
    cdsBody1.events.afterEdit = [this](DataSet& dataSet) { cdsBody1AfterEdit(dataSet); };
    cdsBody1.events.beforePost = [this](DataSet& dataSet) { cdsBody1BeforePost(dataSet); };
    cdsBody1.events.afterPost = [this](DataSet& dataSet) {
        raiseKeptNumber();
        cdsBody1AfterChange(dataSet);
    };
    cdsBody1.events.afterDelete = [this](DataSet& dataSet) { cdsBody1AfterChange(dataSet); };
    cdsBody1.onReconcileError = [this](ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action) {
        cdsBody1ReconcileError(dataSet, error, action);
    };
    dsBody1.onDataChange = [this](DataSource&, Field* field) {
        if (linesOwner_ != nullptr)
            linesOwner_->LineDataChange(field);
    };
}

TdmDouble::~TdmDouble()
{
    lineCopy_.close();
    cdsBody1.close();
}

bool TdmDouble::OpenData()
{
    if (!TdmSingle::OpenData())
        return false;
    SetLineKeyFields(brokers()->ProgramParameter("D11_KEY"));
    cdsBody1.open();
    LabelAuditFields(cdsBody1, langType(), *this);
    OpenAllDataSets();
    return cdsMain.active() && cdsBody1.active();
}

void TdmDouble::bindLines()
{
    if (cdsBody1.master() != nullptr)
        return;
    cdsMain.close();
    cdsBody1.setDataSetField(cdsMain.fieldByName(linesField));
    cdsMain.open();
}

void TdmDouble::openHead()
{
    if (cdsBody1.master() == nullptr) {
        const MetadataOnly fieldsAlone(cdsMain);
        cdsMain.open();
    }
    bindLines();
    cdsMain.open();
}

void TdmDouble::ShowAuditFields(bool show)
{
    TdmSingle::ShowAuditFields(show);
    orvane::ShowAuditFields(cdsBody1, show);
}

void TdmDouble::SetLineKeyFields(std::string_view keyFields)
{
    lineKeys_ = text::splitList(text::upperCase(keyFields), ',', text::ListItems::TrimmedNonEmpty);
}

std::string TdmDouble::LineNumberField() const
{
    return lineNumbering_ && !lineKeys_.empty() ? lineKeys_.back() : std::string();
}

void TdmDouble::SetHeadToLineFields(std::string_view pairs)
{
    headToLine_.clear();
    for (const std::string& pair : text::splitList(pairs, ',', text::ListItems::TrimmedNonEmpty)) {
        const std::size_t arrow = pair.find("->");
        if (arrow == std::string::npos)
            throw DataSetError("HeadToLineFields: '" + pair + "' is not HEADFIELD->LINEFIELD");
        headToLine_.emplace_back(text::trim(pair.substr(0, arrow)), text::trim(pair.substr(arrow + 2)));
    }
}

void TdmDouble::SetLineCopyFields(std::string_view fields)
{
    lineCopyFields_ = text::splitList(fields, ',', text::ListItems::TrimmedNonEmpty);
}

std::string TdmDouble::NextLineNumber(const Field& field, DataSet& copy) const
{
    std::string next = std::to_string(highestLineNumber(field, copy) + 1);
    if (static_cast<int>(next.size()) < field.size())
        next.insert(0, static_cast<std::size_t>(field.size()) - next.size(), '0');
    return next;
}

std::int64_t TdmDouble::highestLineNumber(const Field& field, const DataSet& copy) const
{
    const std::shared_ptr<const RecordSet> lines = copy.active() ? copy.recordSet() : nullptr;
    if (lines == nullptr)
        return 0;
    const bool kept = !copy.filtered() && keptNumber_.lines.lock() == lines &&
                      keptNumber_.version == lines->version() && keptNumber_.field == field.name();
    if (kept)
        return keptNumber_.highest;
    const int column = lines->schema().indexOf(field.name());
    std::int64_t highest = 0;
    for (std::size_t i = 0; column >= 0 && i < lines->size(); ++i) {
        const Variant value = lines->schema().layout().value(lines->at(i).data.data(), column);
        if (!value.isUnassignedOrNull())
            highest = std::max(highest, text::parseIntegerOrZero(text::trim(value.toString())));
    }
    if (!copy.filtered())
        keptNumber_ = {lines, lines->version(), field.name(), highest};
    return highest;
}

void TdmDouble::noteLinePost()
{
    const std::shared_ptr<const RecordSet> lines = cdsBody1.recordSet();
    raiseAfterPost_ = cdsBody1.state() == DataSetState::Insert && lines != nullptr &&
                      keptNumber_.lines.lock() == lines && keptNumber_.version == lines->version();
}

void TdmDouble::raiseKeptNumber()
{
    if (!std::exchange(raiseAfterPost_, false))
        return;
    const std::shared_ptr<const RecordSet> lines = cdsBody1.recordSet();
    const Field* number = cdsBody1.findField(keptNumber_.field);
    if (lines == nullptr || number == nullptr)
        return;
    keptNumber_.highest = std::max(keptNumber_.highest, lineNumberOf(*number));
    keptNumber_.version = lines->version();
}

void TdmDouble::copyHeadKeys(bool placeholder)
{
    const std::vector<std::string> headKeys = text::splitList(KeyFields(), ',', text::ListItems::TrimmedNonEmpty);
    const std::size_t paired = std::min(headKeys.size(), lineKeys_.size());
    for (std::size_t i = 0; i < paired; ++i) {
        Field* line = cdsBody1.findField(lineKeys_[i]);
        if (line == nullptr || (placeholder && line->type() != FieldType::String))
            continue;
        const Field* head = cdsMain.findField(headKeys[i]);
        SetFieldText(line, placeholder ? std::string(linePlaceholder) : head ? head->asString() : std::string(), false);
    }
}

void TdmDouble::NewLineDefaults()
{
    copyHeadKeys(cdsMain.state() == DataSetState::Insert);
    refreshLineCopy();
    if (const std::string number = LineNumberField(); !number.empty()) {
        if (Field* field = cdsBody1.findField(number))
            SetFieldText(field, NextLineNumber(*field, lineCopy_), false);
    }
    for (const auto& [headName, lineName] : headToLine_) {
        const Field* head = cdsMain.findField(headName);
        Field* line = cdsBody1.findField(lineName);
        if (head != nullptr && line != nullptr && head->asString() != line->asString())
            SetFieldText(line, head->asString(), false);
    }
    if (lineCopy_.active() && !lineCopy_.isEmpty()) {
        lineCopy_.last();
        for (const std::string& name : lineCopyFields_) {
            Field* line = cdsBody1.findField(name);
            const Field* previous = lineCopy_.findField(name);
            if (line != nullptr && previous != nullptr && text::trim(line->asString()).empty())
                SetFieldText(line, previous->asString(), false);
        }
    }
}

void TdmDouble::StampLines()
{
    if (!cdsBody1.active() || cdsBody1.isEmpty())
        return;
    const std::string order = cdsBody1.indexFieldNames();
    const auto events = dsBody1.onDataChange;
    dsBody1.onDataChange = nullptr;
    cdsBody1.disableControls();
    // Each line's post checks the same codes (the warehouse, the order type's settings): asked
    // once for all the lines, and ahead in one batch from the last saves.
    const auto lookups = learnedStep(brokers(), "stamp lines");
    try {
        cdsBody1.setIndexFieldNames("FLAG");
        for (cdsBody1.first(); !cdsBody1.eof(); cdsBody1.next()) {
            cdsBody1.edit();
            copyHeadKeys(false);
            cdsBody1.post();
        }
    } catch (...) {
        cdsBody1.setIndexFieldNames(order);
        cdsBody1.enableControls();
        dsBody1.onDataChange = events;
        throw;
    }
    cdsBody1.setIndexFieldNames(order);
    cdsBody1.enableControls();
    dsBody1.onDataChange = events;
}

void TdmDouble::RecalcHeadTotals()
{
    if (cdsMain.state() == DataSetState::Browse && !cdsMain.isEmpty())
        cdsMain.edit();
}

void TdmDouble::BeforeLinePost() {}

bool TdmDouble::RejectLine()
{
    return false;
}

LineSum TdmDouble::LineSumFilter(std::string_view /*field*/, double& /*value*/)
{
    return LineSum::Count;
}

double TdmDouble::SumLineField(std::string_view field, int rounding, std::string_view filter)
{
    if (!cdsBody1.active() || cdsBody1.isEmpty())
        return 0;
    const Field& summed = cdsBody1.fieldByName(field);
    const std::size_t equals = filter.find('=');
    const Field* filterField =
        equals == std::string_view::npos ? nullptr : cdsBody1.findField(text::trim(filter.substr(0, equals)));
    const std::string filterValue = filterField ? std::string(filter.substr(equals + 1)) : std::string();
    const KeptPosition kept(cdsBody1);
    double sum = 0;
    for (cdsBody1.first(); !cdsBody1.eof(); cdsBody1.next()) {
        if (filterField != nullptr && text::trim(filterField->asString()) != filterValue)
            continue;
        double value = summed.isNull() ? 0.0 : summed.asFloat();
        if (LineSumFilter(field, value) == LineSum::Skip)
            continue;
        sum += roundedForSum(value, rounding);
    }
    return sum;
}

void TdmDouble::refreshLineCopy()
{
    if (!cdsBody1.active()) {
        lineCopy_.close();
        return;
    }
    try {
        lineCopy_.cloneCursor(cdsBody1);
    } catch (const std::exception&) {
        throw DataSetError("Copy Body Clone Error!!");
    }
}

void TdmDouble::cdsBody1NewRecord(DataSet& dataSet)
{
    if (!isEditing(cdsMain)) {
        dataSet.cancel();
        return;
    }
    // A new line checks the codes it copies from the last line and looks up their companions,
    // the same lookups line after line: the brokers send them ahead together.
    const auto lookups = learnedStep(brokers(), "new line");
    StampAuditFields(dataSet);
    NewLineDefaults();
    FillEmptyFields(dataSet);
    if (linesOwner_ != nullptr)
        linesOwner_->NewLineStarted();
}

void TdmDouble::cdsBody1AfterEdit(DataSet& dataSet)
{
    StampAuditFields(dataSet);
}

void TdmDouble::cdsBody1BeforePost(DataSet& dataSet)
{
    if (owner() != nullptr && !owner()->ValidateDataSet(dataSet))
        abortSilently();
    BeforeLinePost();
    if (RejectLine())
        abortSilently();
    noteLinePost();
}

void TdmDouble::cdsBody1AfterChange(DataSet& /*dataSet*/)
{
    if (autoRecalc_)
        RecalcHeadTotals();
    refreshLineCopy();
}

void TdmDouble::cdsBody1ReconcileError(ClientDataSet& /*dataSet*/, const ReconcileError& error,
                                       ReconcileAction& /*action*/)
{
    if (owner() != nullptr)
        owner()->ShowServerMessage(error.message);
    WriteLog(reconcileLogSource, "Context :" + error.context, "D");
    WriteLog(reconcileLogSource, "PreviousError :" + std::to_string(error.previousError), "D");
}

} // namespace orvane
