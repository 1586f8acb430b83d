#pragma once
// Points the fields of a dataset at one row of its view while the scope lives, so a grid can
// paint any row through the fields (display text, get-text events) without moving the cursor
// or running dataset events; the fields read the current record again afterwards. Scopes
// nest. Fields must not be written while a scope lives. Client thread only.

#include "platform/data/DataSet.h"

namespace orvane {

class ViewRowScope {
public:
    // `row` counts as DataSet::viewRowCount does; a row out of range reads as null fields.
    ViewRowScope(const DataSet& dataSet, int row);
    ~ViewRowScope();
    ViewRowScope(const ViewRowScope&) = delete;
    ViewRowScope& operator=(const ViewRowScope&) = delete;

    // True when the row exists.
    bool valid() const { return valid_; }

private:
    const DataSet& dataSet_;
    const std::byte* savedBuffer_;
    bool savedReading_;
    bool valid_;
};

} // namespace orvane
