#include "platform/data/ViewRowScope.h"

namespace orvane {

ViewRowScope::ViewRowScope(const DataSet& dataSet, int row)
    : dataSet_(dataSet), savedBuffer_(dataSet.rowBuffer_), savedReading_(dataSet.readingRow_)
{
    const std::byte* buffer = dataSet.viewRowBuffer(row);
    valid_ = buffer != nullptr;
    dataSet.rowBuffer_ = buffer;
    dataSet.readingRow_ = true;
}

ViewRowScope::~ViewRowScope()
{
    dataSet_.rowBuffer_ = savedBuffer_;
    dataSet_.readingRow_ = savedReading_;
}

} // namespace orvane
