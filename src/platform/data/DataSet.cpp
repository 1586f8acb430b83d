#include "platform/data/DataSet.h"

#include "platform/data/DataSetError.h"
#include "platform/data/DataSource.h"
#include "platform/text/ByteText.h"

#include <algorithm>
#include <utility>

namespace orvane {

DataSet::DataSet(std::string name) : name_(std::move(name)) {}

DataSet::~DataSet()
{
    for (DataSet* detail : details_) {
        detail->master_ = nullptr;
    }
    if (master_ != nullptr) {
        std::erase(master_->details_, this);
    }
    for (DataSource* source : sources_) {
        source->dataSetGone();
    }
}

namespace {

// A field name as the index keeps it: names match without regard to ASCII case.
std::string fieldIndexName(std::string_view name)
{
    std::string upper(name);
    for (char& c : upper)
        c = text::upperAscii(c);
    return upper;
}

} // namespace

void DataSet::fail(const std::string& what) const
{
    throw DataSetError("Dataset " + name_ + ": " + what);
}

// Fields ------------------------------------------------------------------------

Field& DataSet::addField(FieldDef def)
{
    if (active()) {
        fail("cannot add field '" + def.name + "' while the dataset is open");
    }
    if (findField(def.name) != nullptr) {
        fail("field '" + def.name + "' is defined twice");
    }
    return appendField(std::move(def));
}

Field& DataSet::appendField(FieldDef def)
{
    fieldIndex_.emplace(fieldIndexName(def.name), static_cast<int>(fields_.size()));
    defs_.push_back(std::move(def));
    fields_.push_back(std::make_unique<Field>(*this, static_cast<int>(fields_.size()), defs_.back()));
    return *fields_.back();
}

void DataSet::addFields(std::vector<FieldDef> defs)
{
    for (FieldDef& def : defs) {
        addField(std::move(def));
    }
}

Field* DataSet::findField(std::string_view name) const
{
    const auto found = fieldIndex_.find(fieldIndexName(name));
    return found == fieldIndex_.end() ? nullptr : fields_[static_cast<std::size_t>(found->second)].get();
}

Field& DataSet::fieldByName(std::string_view name) const
{
    Field* field = findField(name);
    if (field == nullptr) {
        throw DataSetError("Dataset " + name_ + " has no field '" + std::string(name) + "'");
    }
    return *field;
}

std::vector<FieldDef> DataSet::effectiveDefs() const
{
    std::vector<FieldDef> defs = defs_;
    for (const DataSet* detail : details_) {
        if (!detail->defs_.empty()) {
            defs[static_cast<std::size_t>(detail->masterField_)].nested = detail->effectiveDefs();
        }
    }
    return defs;
}

void DataSet::createFieldsFromSchema()
{
    if (!fields_.empty()) {
        return;
    }
    for (const FieldDef& def : schema_->fields()) {
        appendField(def);
    }
}

void DataSet::setSchema(std::shared_ptr<const RecordSchema> schema)
{
    schema_ = std::move(schema);
    createFieldsFromSchema();
    if (schema_->fieldCount() != fieldCount()) {
        fail("its " + std::to_string(fieldCount()) + " fields do not match the " +
             std::to_string(schema_->fieldCount()) + " fields of its data");
    }
}

// Opening -----------------------------------------------------------------------

void DataSet::open()
{
    if (active()) {
        return;
    }
    if (events.beforeOpen) {
        events.beforeOpen(*this);
    }
    openStorage();
    compileViewSettings();
    view_.setOrder(indexFields_);
    view_.setFilter(filtered_ ? filterExpression_ : FilterExpression());
    state_ = DataSetState::Browse;
    modified_ = false;
    bindRecords(storage_);
    if (events.afterOpen) {
        events.afterOpen(*this);
    }
    notify(DataEvent::StateChanged);
    if (!isEmpty() && events.afterScroll) {
        events.afterScroll(*this);
    }
}

void DataSet::openStorage()
{
    if (master_ != nullptr) {
        if (!master_->active()) {
            fail("its master dataset " + master_->name() + " is not open");
        }
        setSchema(master_->schema_->nested(master_->layout().nestedOrdinal(masterField_)));
        Record* masterRecord = master_->currentRecord();
        storage_ = masterRecord != nullptr
                       ? masterRecord->nested[static_cast<std::size_t>(master_->layout().nestedOrdinal(masterField_))]
                       : nullptr;
        return;
    }
    setSchema(std::make_shared<const RecordSchema>(effectiveDefs()));
    storage_ = std::make_shared<RecordSet>(schema_);
}

void DataSet::close()
{
    if (!active()) {
        return;
    }
    for (DataSet* detail : details_) {
        detail->close();
    }
    if (events.beforeClose) {
        events.beforeClose(*this);
    }
    pending_.reset();
    editBuffer_.clear();
    state_ = DataSetState::Inactive;
    view_.bind(nullptr);
    storage_.reset();
    pos_ = RecordView::npos;
    currentId_ = 0;
    bof_ = eof_ = true;
    modified_ = false;
    if (events.afterClose) {
        events.afterClose(*this);
    }
    notify(DataEvent::StateChanged);
}

void DataSet::checkActive() const
{
    if (!active()) {
        fail("cannot perform this operation on a closed dataset");
    }
}

void DataSet::bindRecords(std::shared_ptr<RecordSet> set)
{
    storage_ = std::move(set);
    view_.bind(storage_.get());
    setPosition(view_.size() > 0 ? 0 : RecordView::npos);
    bof_ = true;
    eof_ = view_.size() == 0;
    syncDetails();
}

// Position ----------------------------------------------------------------------

void DataSet::setPosition(std::size_t position) const
{
    pos_ = position < view_.size() ? position : RecordView::npos;
    currentId_ = pos_ != RecordView::npos ? view_.at(pos_)->id : 0;
}

void DataSet::refreshView() const
{
    if (!view_.stale()) {
        return;
    }
    view_.refresh();
    if (state_ == DataSetState::Insert) {
        insertAt_ = std::min(insertAt_, view_.size());
        return;
    }
    const std::size_t found = currentId_ != 0 ? view_.findId(currentId_) : RecordView::npos;
    if (found != RecordView::npos) {
        setPosition(found);
    } else if (view_.size() > 0) {
        setPosition(pos_ == RecordView::npos ? 0 : std::min(pos_, view_.size() - 1));
    } else {
        setPosition(RecordView::npos);
    }
}

Record* DataSet::currentRecord() const
{
    if (state_ == DataSetState::Insert) {
        return pending_.get();
    }
    refreshView();
    return pos_ != RecordView::npos ? view_.at(pos_) : nullptr;
}

const std::byte* DataSet::readBuffer() const
{
    if (readingRow_) {
        return rowBuffer_;
    }
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        return editBuffer_.data();
    }
    const Record* record = currentRecord();
    return record != nullptr ? record->data.data() : nullptr;
}

void DataSet::resync()
{
    if (!active()) {
        return;
    }
    view_.refresh();
    const std::size_t found = currentId_ != 0 ? view_.findId(currentId_) : RecordView::npos;
    if (found != RecordView::npos) {
        setPosition(found);
    } else {
        setPosition(view_.size() == 0 ? RecordView::npos : std::min(pos_, view_.size() - 1));
    }
    if (view_.size() == 0) {
        bof_ = eof_ = true;
    }
    syncDetails();
    notify(DataEvent::DataSetChanged);
}

int DataSet::recordCount() const
{
    if (!active()) {
        return 0;
    }
    refreshView();
    return static_cast<int>(view_.size());
}

int DataSet::recNo() const
{
    if (state_ == DataSetState::Insert) {
        return static_cast<int>(insertAt_) + 1;
    }
    refreshView();
    return pos_ == RecordView::npos ? 0 : static_cast<int>(pos_) + 1;
}

void DataSet::setRecNo(int recNo)
{
    moveBy(recNo - this->recNo());
}

// Rows of the view -------------------------------------------------------------

int DataSet::viewRowCount() const
{
    if (!active()) {
        return 0;
    }
    refreshView();
    return static_cast<int>(view_.size()) + (state_ == DataSetState::Insert ? 1 : 0);
}

int DataSet::viewRow() const
{
    if (!active()) {
        return -1;
    }
    refreshView();
    if (state_ == DataSetState::Insert) {
        return static_cast<int>(insertAt_);
    }
    return pos_ == RecordView::npos ? -1 : static_cast<int>(pos_);
}

std::size_t DataSet::viewPosition(int row) const
{
    if (!active() || row < 0) {
        return RecordView::npos;
    }
    refreshView();
    auto at = static_cast<std::size_t>(row);
    if (state_ == DataSetState::Insert && at >= insertAt_) {
        if (at == insertAt_) {
            return RecordView::npos;
        }
        --at;
    }
    return at < view_.size() ? at : RecordView::npos;
}

Bookmark DataSet::viewRowBookmark(int row) const
{
    const std::size_t at = viewPosition(row);
    return Bookmark{at != RecordView::npos ? view_.at(at)->id : 0};
}

const std::byte* DataSet::viewRowBuffer(int row) const
{
    if (state_ == DataSetState::Insert && row >= 0 && static_cast<std::size_t>(row) == insertAt_) {
        return editBuffer_.data();
    }
    const std::size_t at = viewPosition(row);
    if (at == RecordView::npos) {
        return nullptr;
    }
    if (state_ == DataSetState::Edit && at == pos_) {
        return editBuffer_.data();
    }
    return view_.at(at)->data.data();
}

// Navigation --------------------------------------------------------------------

void DataSet::scrollTo(std::size_t position, bool bof, bool eof)
{
    setPosition(position);
    bof_ = bof || view_.size() == 0;
    eof_ = eof || view_.size() == 0;
    syncDetails();
    if (events.afterScroll) {
        events.afterScroll(*this);
    }
    notify(DataEvent::RecordChanged);
}

void DataSet::first()
{
    checkActive();
    checkBrowseMode();
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    refreshView();
    scrollTo(0, true, false);
}

void DataSet::last()
{
    checkActive();
    checkBrowseMode();
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    while (fetchMore()) {
    }
    refreshView();
    scrollTo(view_.size() == 0 ? RecordView::npos : view_.size() - 1, false, true);
}

void DataSet::next()
{
    moveBy(1);
}

void DataSet::prior()
{
    moveBy(-1);
}

int DataSet::moveBy(int distance)
{
    checkActive();
    checkBrowseMode();
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    refreshView();
    if (view_.size() == 0) {
        bof_ = eof_ = true;
        return 0;
    }
    const auto from = static_cast<std::ptrdiff_t>(pos_ == RecordView::npos ? 0 : pos_);
    std::ptrdiff_t target = from + distance;
    while (target >= static_cast<std::ptrdiff_t>(view_.size()) && fetchMore()) {
        refreshView();
    }
    const auto lastPosition = static_cast<std::ptrdiff_t>(view_.size()) - 1;
    const std::ptrdiff_t reached = std::clamp<std::ptrdiff_t>(target, 0, lastPosition);
    const bool hitEnd = target > lastPosition;
    const bool hitStart = target < 0;
    if (reached == from) {
        eof_ = eof_ || hitEnd;
        bof_ = bof_ || hitStart;
        return 0;
    }
    scrollTo(static_cast<std::size_t>(reached), hitStart, hitEnd);
    return static_cast<int>(reached - from);
}

// Bookmarks and locate ----------------------------------------------------------

Bookmark DataSet::bookmark() const
{
    const Record* record = active() ? currentRecord() : nullptr;
    return Bookmark{record != nullptr ? record->id : 0};
}

bool DataSet::bookmarkValid(const Bookmark& bookmark) const
{
    if (!active() || bookmark.empty()) {
        return false;
    }
    refreshView();
    return view_.findId(bookmark.recordId) != RecordView::npos;
}

void DataSet::gotoBookmark(const Bookmark& bookmark)
{
    checkActive();
    checkBrowseMode();
    if (!bookmarkValid(bookmark)) {
        fail("the bookmarked record no longer exists");
    }
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    refreshView();
    const std::size_t position = view_.findId(bookmark.recordId);
    if (position == RecordView::npos) {
        fail("the bookmarked record no longer exists");
    }
    scrollTo(position, false, false);
}

bool DataSet::matchesLocate(const Record& record, const std::vector<int>& fields, const std::vector<Variant>& values,
                            LocateOptions options) const
{
    const RecordLayout& layout = this->layout();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const int field = fields[k];
        const Variant& wanted = values[k];
        const bool isNull = layout.isNull(record.data.data(), field);
        if (wanted.isUnassignedOrNull() || isNull) {
            if (wanted.isUnassignedOrNull() != isNull) {
                return false;
            }
            continue;
        }
        try {
            switch (layout.type(field)) {
            case FieldType::String: {
                std::string have(layout.string(record.data.data(), field));
                std::string want = wanted.toString();
                if (options.caseInsensitive) {
                    have = text::lowerCase(have);
                    want = text::lowerCase(want);
                }
                if (options.partialKey ? !have.starts_with(want) : have != want) {
                    return false;
                }
                break;
            }
            case FieldType::Boolean:
                if (layout.boolean(record.data.data(), field) != wanted.toBoolean()) {
                    return false;
                }
                break;
            default:
                if (layout.value(record.data.data(), field).toFloat() != wanted.toFloat()) {
                    return false;
                }
                break;
            }
        } catch (const ConversionError&) {
            return false;
        }
    }
    return true;
}

bool DataSet::locate(std::string_view fieldNames, const Variant& values, LocateOptions options)
{
    checkActive();
    std::vector<int> fields;
    for (const std::string& name : text::splitList(fieldNames, ';', text::ListItems::TrimmedNonEmpty)) {
        fields.push_back(fieldByName(name).index());
    }
    if (fields.empty()) {
        fail("locate needs at least one field name");
    }
    std::vector<Variant> wanted;
    if (values.isArray()) {
        const auto elements = values.array().elements();
        wanted.assign(elements.begin(), elements.end());
    } else {
        wanted.push_back(values);
    }
    if (wanted.size() != fields.size()) {
        fail("locate on '" + std::string(fieldNames) + "' needs " + std::to_string(fields.size()) + " values, got " +
             std::to_string(wanted.size()));
    }
    checkBrowseMode();
    refreshView();
    for (std::size_t i = 0; i < view_.size(); ++i) {
        if (matchesLocate(*view_.at(i), fields, wanted, options)) {
            const std::uint64_t id = view_.at(i)->id;
            if (events.beforeScroll) {
                events.beforeScroll(*this);
            }
            refreshView();
            scrollTo(view_.findId(id), false, false);
            return true;
        }
    }
    return false;
}

// Filter and index --------------------------------------------------------------

void DataSet::compileViewSettings()
{
    if (fields_.empty()) {
        return;
    }
    filterExpression_ = FilterExpression::parse(filterText_, [this](std::string_view name) {
        const Field* field = findField(name);
        return field != nullptr && field->type() != FieldType::DataSet ? field->index() : -1;
    });
    indexFields_.clear();
    for (const std::string& name : text::splitList(indexFieldNames_, ';', text::ListItems::TrimmedNonEmpty)) {
        const Field& field = fieldByName(name);
        if (field.type() == FieldType::DataSet) {
            fail("cannot order by the nested field '" + field.name() + "'");
        }
        indexFields_.push_back(field.index());
    }
}

void DataSet::applyViewSettings(bool keepCurrent)
{
    if (!active()) {
        return;
    }
    checkBrowseMode();
    const std::uint64_t current = currentId_;
    view_.setOrder(indexFields_);
    view_.setFilter(filtered_ ? filterExpression_ : FilterExpression());
    const std::size_t found = keepCurrent && current != 0 ? view_.findId(current) : RecordView::npos;
    setPosition(found != RecordView::npos ? found : 0);
    bof_ = found == RecordView::npos || view_.size() == 0;
    eof_ = view_.size() == 0;
    syncDetails();
    notify(DataEvent::DataSetChanged);
}

void DataSet::setFilter(std::string_view text)
{
    const std::string previous = filterText_;
    filterText_ = std::string(text);
    try {
        compileViewSettings();
    } catch (...) {
        filterText_ = previous;
        throw;
    }
    if (filtered_) {
        applyViewSettings(false);
    }
}

void DataSet::setFiltered(bool filtered)
{
    if (filtered_ == filtered) {
        return;
    }
    filtered_ = filtered;
    applyViewSettings(false);
}

void DataSet::setIndexFieldNames(std::string_view names)
{
    const std::string previous = indexFieldNames_;
    indexFieldNames_ = std::string(names);
    try {
        compileViewSettings();
    } catch (...) {
        indexFieldNames_ = previous;
        throw;
    }
    applyViewSettings(true);
}

// Controls and notifications ----------------------------------------------------

void DataSet::disableControls()
{
    ++disableCount_;
}

void DataSet::enableControls()
{
    if (disableCount_ == 0) {
        return;
    }
    if (--disableCount_ == 0) {
        if (std::exchange(stateChangedQuietly_, false)) {
            notify(DataEvent::StateChanged);
        }
        notify(DataEvent::DataSetChanged);
    }
}

void DataSet::attachSource(DataSource* source)
{
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) {
        sources_.push_back(source);
    }
}

void DataSet::detachSource(DataSource* source)
{
    std::erase(sources_, source);
}

void DataSet::notify(DataEvent event, Field* field)
{
    if (disableCount_ > 0) {
        stateChangedQuietly_ = stateChangedQuietly_ || event == DataEvent::StateChanged;
        return;
    }
    if (sources_.empty()) {
        return;
    }
    const std::vector<DataSource*> snapshot = sources_;
    for (DataSource* source : snapshot) {
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) {
            source->dataEvent(event, field);
        }
    }
}

UpdateStatus DataSet::updateStatus() const
{
    const Record* record = active() ? currentRecord() : nullptr;
    return record != nullptr ? record->status : UpdateStatus::Unmodified;
}

// Master and details ------------------------------------------------------------

void DataSet::bindToMaster(Field& field)
{
    DataSet& master = field.dataSet();
    if (field.type() != FieldType::DataSet) {
        fail("field '" + field.name() + "' is not a nested dataset field");
    }
    if (&master == this) {
        fail("a dataset cannot be its own master");
    }
    if (active() || master.active()) {
        fail("bind it to " + master.name() + "." + field.name() + " while both are closed");
    }
    if (master_ != nullptr) {
        std::erase(master_->details_, this);
    }
    master_ = &master;
    masterField_ = field.index();
    master.details_.push_back(this);
}

void DataSet::syncDetails()
{
    for (DataSet* detail : details_) {
        if (detail->active()) {
            detail->masterRecordChanged();
        }
    }
}

void DataSet::masterRecordChanged()
{
    Record* masterRecord = master_->currentRecord();
    const int ordinal = master_->layout().nestedOrdinal(masterField_);
    std::shared_ptr<RecordSet> set =
        masterRecord != nullptr ? masterRecord->nested[static_cast<std::size_t>(ordinal)] : nullptr;
    if (set == storage_ && state_ == DataSetState::Browse) {
        if (view_.stale()) {
            resync();
        }
        return;
    }
    dropDetailEdits();
    pending_.reset();
    editBuffer_.clear();
    state_ = DataSetState::Browse;
    modified_ = false;
    bindRecords(std::move(set));
    if (events.afterScroll) {
        events.afterScroll(*this);
    }
    notify(DataEvent::DataSetChanged);
}

void DataSet::dropDetailEdits()
{
    for (DataSet* detail : details_) {
        if (detail->state_ == DataSetState::Edit || detail->state_ == DataSetState::Insert) {
            detail->dropDetailEdits();
            detail->pending_.reset();
            detail->editBuffer_.clear();
            detail->state_ = DataSetState::Browse;
            detail->modified_ = false;
        }
    }
}

void DataSet::detailChanged()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        modified_ = true;
    }
}

} // namespace orvane
