#pragma once
// A data source connects bound controls (data links) to a dataset and passes on what
// changed: the current record (scroll), a field's value, the dataset's state, or the
// whole dataset. Links and sources may be destroyed in any order; each side forgets the
// other, so nothing is left dangling. Client thread only.

#include "platform/data/DataSet.h"

#include <functional>
#include <vector>

namespace orvane {

class DataSource;

// A bound control's end of a data source. Override the notifications it needs.
class DataLink {
public:
    DataLink() = default;
    virtual ~DataLink();
    DataLink(const DataLink&) = delete;
    DataLink& operator=(const DataLink&) = delete;

    // Registers with `source` (null to leave the current one).
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    // The dataset of the source, or null.
    DataSet* dataSet() const;

    virtual void recordChanged() {}                // another record became current
    virtual void fieldChanged(Field& /*field*/) {} // a field of the current record got a value
    virtual void stateChanged() {}                 // the dataset's state changed
    virtual void dataSetChanged() {}               // records were added, removed or reordered

private:
    friend class DataSource;
    DataSource* source_ = nullptr;
};

class DataSource {
public:
    // Runs on a record change (field null) and a field change (the field).
    using DataChange = std::function<void(DataSource& source, Field* field)>;
    using StateChange = std::function<void(DataSource& source)>;

    explicit DataSource(DataSet* dataSet = nullptr);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return dataSet_; }
    // A disabled source passes nothing on.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }
    // Whether a bound control may put a browsing dataset into edit (on at creation). A window
    // that edits a record only after its Edit command turns it off while it browses; the links
    // hear of the change as of a change of state.
    void setAutoEdit(bool autoEdit);
    bool autoEdit() const { return autoEdit_; }

    DataChange onDataChange;
    StateChange onStateChange;

    // Used by the dataset and the links.
    void dataEvent(DataEvent event, Field* field);
    void dataSetGone();
    void addLink(DataLink* link);
    void removeLink(DataLink* link);

private:
    void tellLinks(DataEvent event, Field* field);

    DataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    bool autoEdit_ = true;
    std::vector<DataLink*> links_;
    // Links removed so far: an event whose handlers removed none calls its snapshot of the links
    // without searching the current list for each (a window has hundreds of them).
    std::size_t linksRemoved_ = 0;
};

} // namespace orvane
