#pragma once
// A dataset cursor: fields over the records of a record set, one current record, the
// states inactive / browse / edit / insert, navigation with bookmarks, locate, filter and
// index, the dataset events, master-detail binding of nested datasets, and the data
// sources that bound controls listen to. ClientDataSet adds the provider side.
//
// Semantics follow the classic dataset toolkit: moving while a record is edited posts it
// first (or cancels it when nothing was typed); a failed post leaves the record in edit;
// cancelling an inserted record removes it; Edit on an empty dataset inserts.
// Client thread only.

#include "platform/data/Field.h"
#include "platform/data/FieldDef.h"
#include "platform/data/RecordSchema.h"
#include "platform/data/RecordSet.h"
#include "platform/data/RecordView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane {

class DataSource;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// The dataset events. Detach them all by saving and clearing the struct, and restore
// them by assigning it back.
struct DataSetEvents {
    using Handler = std::function<void(class DataSet& dataSet)>;
    Handler beforeOpen, afterOpen, beforeClose, afterClose;
    Handler beforeInsert, afterInsert, beforeEdit, afterEdit;
    Handler beforePost, afterPost, beforeCancel, afterCancel;
    Handler beforeDelete, afterDelete, beforeScroll, afterScroll;
    Handler onNewRecord; // a new record is ready for defaults
};

// A position to come back to: the identity of a record, not its index.
struct Bookmark {
    std::uint64_t recordId = 0;
    bool empty() const { return recordId == 0; }
    bool operator==(const Bookmark&) const = default;
};

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; // a text value matches the start of the field's text
};

// What changed, for data sources and their links.
enum class DataEvent { RecordChanged, FieldChanged, StateChanged, DataSetChanged };

class DataSet {
public:
    explicit DataSet(std::string name);
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    const std::string& name() const { return name_; }

    // Fields, declared while the dataset is inactive. A dataset opened without fields
    // takes them from its data.
    Field& addField(FieldDef def);
    void addFields(std::vector<FieldDef> defs);
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field& field(int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
    // The field named `name` (any case); raises DataSetError naming both.
    Field& fieldByName(std::string_view name) const;
    Field* findField(std::string_view name) const;
    const std::vector<FieldDef>& fieldDefs() const { return defs_; }

    // State and opening.
    DataSetState state() const { return state_; }
    bool active() const { return state_ != DataSetState::Inactive; }
    void open();
    void close();

    // Navigation. Each move posts a pending edit first and runs before/after scroll.
    void first();
    void last();
    void next();
    void prior();
    // Moves by `distance` records, stopping at either end; returns the distance moved.
    int moveBy(int distance);
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    // Whether there is a current record to read: a stored one, or one being inserted, which the
    // count leaves out until it is posted (a new document's first record, a first line).
    bool hasRecord() const { return state_ == DataSetState::Insert || (active() && !isEmpty()); }
    // 1-based position of the current record (0 when there is none).
    int recNo() const;
    void setRecNo(int recNo);

    // Editing.
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    // True when a field was written since edit or insert began.
    bool modified() const { return modified_; }
    // modified(), leaving out what holds the stored values again: while editing a stored record, true
    // only when a field that ignored does not pick holds another value than the record.
    bool modifiedBesides(const std::function<bool(const Field&)>& ignored) const;
    // Posts or cancels a pending edit of this dataset and its details, as a move would.
    void checkBrowseMode();

    // Bookmarks.
    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark& bookmark) const;
    // Moves to the bookmarked record; raises DataSetError when it is gone.
    void gotoBookmark(const Bookmark& bookmark);
    void freeBookmark(Bookmark& bookmark) const { bookmark = {}; }

    // Moves to the first record whose fields ("A;B") equal `values` (one value, or an
    // array with one element per field); false, without moving, when none does.
    bool locate(std::string_view fieldNames, const Variant& values, LocateOptions options = {});

    // Filter text (see FilterExpression); raises DataSetError for bad text. In force
    // while filtered is on.
    void setFilter(std::string_view text);
    const std::string& filter() const { return filterText_; }
    void setFiltered(bool filtered);
    bool filtered() const { return filtered_; }

    // Ascending order by the named fields ("TM001;TM002"), stable; empty for the natural
    // order. The current record stays current.
    void setIndexFieldNames(std::string_view names);
    const std::string& indexFieldNames() const { return indexFieldNames_; }

    // Bound controls: while disabled (nesting count) data sources hear nothing; the last
    // enable sends one dataset-changed notification, after one state change notification when
    // the state changed meanwhile (even back to what it was: a dataset closed and opened again).
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disableCount_ > 0; }

    // Detail datasets bound to nested fields of this dataset.
    const std::vector<DataSet*>& details() const { return details_; }

    // Update status of the current record in the change log.
    UpdateStatus updateStatus() const;
    // The records shown (null while closed): their identity and version tell a reader whether
    // what it counted over them still holds.
    std::shared_ptr<const RecordSet> recordSet() const { return storage_; }

    // The rows a grid shows, read without moving the cursor or running events: the records
    // of the view in order, with the new record at its place while inserting (ViewRowScope
    // points the fields at one of them).
    int viewRowCount() const;
    // The row of the current record (the new one while inserting); -1 when there is none.
    int viewRow() const;
    // The bookmark of the record at `row`; empty for the new record or a row out of range.
    Bookmark viewRowBookmark(int row) const;

    DataSetEvents events;

    // Used by fields: the buffer fields read, the buffer a write goes to (after the state
    // and read-only checks), and the notice that a field got a new value.
    const std::byte* readBuffer() const;
    std::byte* writableBuffer(const Field& field);
    void fieldChanged(Field& field);
    const RecordLayout& layout() const { return schema_->layout(); }

    // Used by data sources.
    void attachSource(DataSource* source);
    void detachSource(DataSource* source);

protected:
    // Provides the records when the dataset opens; the base opens an empty local set.
    virtual void openStorage();
    // Asked for more records when a move reaches the end; true when some came.
    virtual bool fetchMore() { return false; }

    // Starts showing `set` from its first record (details follow); none for null.
    void bindRecords(std::shared_ptr<RecordSet> set);
    void setSchema(std::shared_ptr<const RecordSchema> schema);
    // Field definitions with the definitions of bound details put into nested fields.
    std::vector<FieldDef> effectiveDefs() const;
    void createFieldsFromSchema();
    std::shared_ptr<const RecordSchema> schema() const { return schema_; }
    RecordSet* records() const { return storage_.get(); }
    // Cancels a pending edit of every detail, without events.
    void dropDetailEdits();
    // The current record (the new one while inserting); null when there is none.
    Record* currentRecord() const;
    // Re-reads the view after the record set changed (keeps the current record when it
    // still shows) and tells data sources.
    void resync();
    void notify(DataEvent event, Field* field = nullptr);
    // Makes this dataset the detail of the nested field `field` (both closed).
    void bindToMaster(Field& field);

    DataSet* master_ = nullptr;          // set for a detail bound to a nested field
    int masterField_ = -1;               // index of that nested field in the master
    std::vector<DataSet*> details_;      // details bound to nested fields of this dataset
    std::shared_ptr<RecordSet> storage_; // the records shown (shared with clones and the master record)

private:
    friend class ViewRowScope;
    // The buffer the fields read for `row` (the edit buffer for the record being edited or
    // inserted); null for a row out of range.
    const std::byte* viewRowBuffer(int row) const;
    // The record at `row` of the view once the new record is skipped; npos when none.
    std::size_t viewPosition(int row) const;

    void checkActive() const;
    void refreshView() const;
    void setPosition(std::size_t position) const;
    std::size_t position() const { return pos_; }
    void scrollTo(std::size_t position, bool bof, bool eof);
    void beginInsert(bool append);
    void postInsert();
    void postEdit();
    void checkRequired() const;
    void syncDetails();
    void masterRecordChanged();
    void discardInsert();
    void applyViewSettings(bool keepCurrent);
    void compileViewSettings();
    bool matchesLocate(const Record& record, const std::vector<int>& fields, const std::vector<Variant>& values,
                       LocateOptions options) const;
    void detailChanged();
    [[noreturn]] void fail(const std::string& what) const;
    Field& appendField(FieldDef def);

    std::string name_;
    std::vector<FieldDef> defs_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::unordered_map<std::string, int> fieldIndex_; // upper-case name -> first field of that name
    std::shared_ptr<const RecordSchema> schema_;
    DataSetState state_ = DataSetState::Inactive;
    mutable RecordView view_;
    mutable std::size_t pos_ = RecordView::npos; // position in the view, npos when none
    mutable std::uint64_t currentId_ = 0;        // id of the record at pos_
    bool bof_ = true;
    bool eof_ = true;
    RecordBuffer editBuffer_;
    std::unique_ptr<Record> pending_;  // the new record while inserting
    mutable std::size_t insertAt_ = 0; // view position the new record was inserted at
    std::uint64_t editId_ = 0;         // record being edited
    bool modified_ = false;
    int disableCount_ = 0;
    bool stateChangedQuietly_ = false; // the state changed while the controls were disabled
    std::string filterText_;
    FilterExpression filterExpression_;
    bool filtered_ = false;
    std::string indexFieldNames_;
    std::vector<int> indexFields_;
    std::vector<DataSource*> sources_;
    mutable const std::byte* rowBuffer_ = nullptr; // what the fields read while a ViewRowScope lives
    mutable bool readingRow_ = false;
};

// True while the current record is being edited or inserted.
inline bool isEditing(const DataSet& dataSet)
{
    return dataSet.state() == DataSetState::Edit || dataSet.state() == DataSetState::Insert;
}

} // namespace orvane
