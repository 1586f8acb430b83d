// Editing operations of DataSet: insert, edit, post, cancel, delete and field writes.

#include "platform/data/DataSet.h"

#include "platform/data/DataSetError.h"

#include <algorithm>

namespace orvane {

std::byte* DataSet::writableBuffer(const Field& field)
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        fail("not in edit or insert mode (writing field '" + field.name() + "')");
    }
    if (field.readOnly()) {
        throw DataSetError("Field '" + field.name() + "' cannot be modified");
    }
    return editBuffer_.data();
}

void DataSet::fieldChanged(Field& field)
{
    modified_ = true;
    if (field.onChange) {
        field.onChange(field);
    }
    notify(DataEvent::FieldChanged, &field);
}

bool DataSet::modifiedBesides(const std::function<bool(const Field&)>& ignored) const
{
    const Record* stored = state_ == DataSetState::Edit ? currentRecord() : nullptr;
    if (!modified_ || stored == nullptr)
        return modified_;
    return std::ranges::any_of(fields_, [&](const std::unique_ptr<Field>& field) {
        return field->type() != FieldType::DataSet && !ignored(*field) &&
               !(layout().value(editBuffer_.data(), field->index()) ==
                 layout().value(stored->data.data(), field->index()));
    });
}

void DataSet::checkBrowseMode()
{
    if (!active()) {
        return;
    }
    for (DataSet* detail : details_) {
        detail->checkBrowseMode();
    }
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_) {
            post();
        } else {
            cancel();
        }
    }
}

void DataSet::append()
{
    beginInsert(true);
}

void DataSet::insert()
{
    beginInsert(false);
}

void DataSet::beginInsert(bool append)
{
    checkActive();
    if (master_ != nullptr && master_->currentRecord() == nullptr) {
        fail("cannot add a record: its master dataset " + master_->name() + " has no current record");
    }
    checkBrowseMode();
    if (events.beforeInsert) {
        events.beforeInsert(*this);
    }
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    if (storage_ == nullptr) {
        fail("cannot add a record: it has no records bound");
    }
    refreshView();
    insertAt_ = append || pos_ == RecordView::npos ? view_.size() : pos_;
    pending_ = storage_->newRecord();
    editBuffer_ = layout().newBuffer();
    state_ = DataSetState::Insert;
    modified_ = false;
    bof_ = eof_ = false;
    syncDetails();
    notify(DataEvent::StateChanged);
    try {
        if (events.onNewRecord) {
            events.onNewRecord(*this);
        }
    } catch (...) {
        if (state_ == DataSetState::Insert) {
            discardInsert();
        }
        throw;
    }
    if (state_ != DataSetState::Insert) {
        return; // the new-record handler cancelled the insert
    }
    modified_ = false;
    if (events.afterInsert) {
        events.afterInsert(*this);
    }
    if (events.afterScroll) {
        events.afterScroll(*this);
    }
    notify(DataEvent::RecordChanged);
}

void DataSet::edit()
{
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        return;
    }
    if (isEmpty()) {
        insert();
        return;
    }
    if (events.beforeEdit) {
        events.beforeEdit(*this);
    }
    const Record* record = currentRecord();
    editBuffer_ = record->data;
    editId_ = record->id;
    state_ = DataSetState::Edit;
    modified_ = false;
    notify(DataEvent::StateChanged);
    if (events.afterEdit) {
        events.afterEdit(*this);
    }
}

void DataSet::checkRequired() const
{
    for (const auto& field : fields_) {
        if (field->required() && field->type() != FieldType::DataSet &&
            layout().isNull(editBuffer_.data(), field->index())) {
            throw DataSetError("Field '" + field->name() + "' of dataset " + name_ + " must have a value");
        }
    }
}

void DataSet::post()
{
    checkActive();
    for (DataSet* detail : details_) {
        detail->checkBrowseMode();
    }
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        return;
    }
    if (events.beforePost) {
        events.beforePost(*this);
    }
    checkRequired();
    if (state_ == DataSetState::Insert) {
        postInsert();
    } else {
        postEdit();
    }
    state_ = DataSetState::Browse;
    modified_ = false;
    syncDetails();
    if (master_ != nullptr) {
        master_->detailChanged();
    }
    if (events.afterPost) {
        events.afterPost(*this);
    }
    notify(DataEvent::StateChanged);
}

void DataSet::postInsert()
{
    refreshView();
    std::size_t natural = storage_->size();
    if (view_.natural()) {
        natural = insertAt_;
    } else if (!view_.ordered() && insertAt_ < view_.size()) {
        natural = storage_->indexOf(*view_.at(insertAt_));
    }
    pending_->data = std::move(editBuffer_);
    Record* record = pending_.get();
    storage_->insert(std::move(pending_), natural);
    const std::size_t placed = view_.placeInserted(record, insertAt_);
    view_.markSeen();
    if (placed != RecordView::npos) {
        setPosition(placed);
    } else {
        setPosition(view_.size() == 0 ? RecordView::npos : std::min(insertAt_, view_.size() - 1));
    }
}

void DataSet::postEdit()
{
    refreshView();
    if (pos_ == RecordView::npos || view_.at(pos_)->id != editId_) {
        editBuffer_.clear();
        state_ = DataSetState::Browse;
        fail("the record being edited was deleted through another cursor; the edit is lost");
    }
    storage_->modify(*view_.at(pos_), std::move(editBuffer_));
    const std::size_t placed = view_.placeModified(pos_);
    view_.markSeen();
    if (placed != RecordView::npos) {
        setPosition(placed);
    } else {
        setPosition(view_.size() == 0 ? RecordView::npos : std::min(pos_, view_.size() - 1));
    }
}

void DataSet::discardInsert()
{
    dropDetailEdits();
    pending_.reset();
    editBuffer_.clear();
    state_ = DataSetState::Browse;
    modified_ = false;
    refreshView();
    setPosition(view_.size() == 0 ? RecordView::npos : std::min(insertAt_, view_.size() - 1));
    bof_ = view_.size() == 0;
    eof_ = view_.size() == 0;
    syncDetails();
}

void DataSet::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        return;
    }
    for (DataSet* detail : details_) {
        detail->cancel();
    }
    if (events.beforeCancel) {
        events.beforeCancel(*this);
    }
    if (state_ == DataSetState::Insert) {
        discardInsert();
    } else {
        editBuffer_.clear();
        state_ = DataSetState::Browse;
        modified_ = false;
    }
    if (events.afterCancel) {
        events.afterCancel(*this);
    }
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
}

void DataSet::deleteRecord()
{
    checkActive();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (isEmpty()) {
        fail("cannot delete a record: the dataset is empty");
    }
    checkBrowseMode();
    if (events.beforeDelete) {
        events.beforeDelete(*this);
    }
    if (events.beforeScroll) {
        events.beforeScroll(*this);
    }
    refreshView();
    if (pos_ == RecordView::npos) {
        fail("cannot delete a record: there is no current record");
    }
    Record& record = *view_.at(pos_);
    const std::size_t hint = view_.natural() ? pos_ : 0;
    const std::size_t position = pos_;
    view_.erase(position);
    storage_->remove(record, hint);
    view_.markSeen();
    setPosition(view_.size() == 0 ? RecordView::npos : std::min(position, view_.size() - 1));
    bof_ = view_.size() == 0;
    eof_ = view_.size() == 0;
    syncDetails();
    if (master_ != nullptr) {
        master_->detailChanged();
    }
    if (events.afterDelete) {
        events.afterDelete(*this);
    }
    if (events.afterScroll) {
        events.afterScroll(*this);
    }
    notify(DataEvent::DataSetChanged);
}

} // namespace orvane
