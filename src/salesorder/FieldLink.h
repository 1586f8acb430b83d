#pragma once
// FieldLink: the data link of a control bound to one field. The control shows the field again
// (its refresh()) whenever its data source reports another record, another state, changed
// records, or a new value of that field. Client (GUI) thread only.

#include "platform/data/DataSource.h"

namespace orvane {

template <typename Control>
class FieldLink : public DataLink {
public:
    explicit FieldLink(Control& control) : control_(control) {}
    void recordChanged() override { control_.refresh(); }
    void stateChanged() override { control_.refresh(); }
    void dataSetChanged() override { control_.refresh(); }
    void fieldChanged(Field& field) override
    {
        if (&field == control_.field())
            control_.refresh();
    }

private:
    Control& control_;
};

} // namespace orvane
