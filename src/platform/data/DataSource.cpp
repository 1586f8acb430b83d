#include "platform/data/DataSource.h"

#include <algorithm>

namespace orvane {

DataLink::~DataLink()
{
    setDataSource(nullptr);
}

void DataLink::setDataSource(DataSource* source)
{
    if (source_ == source) {
        return;
    }
    if (source_ != nullptr) {
        source_->removeLink(this);
    }
    source_ = source;
    if (source_ != nullptr) {
        source_->addLink(this);
    }
}

DataSet* DataLink::dataSet() const
{
    return source_ != nullptr ? source_->dataSet() : nullptr;
}

DataSource::DataSource(DataSet* dataSet)
{
    setDataSet(dataSet);
}

DataSource::~DataSource()
{
    setDataSet(nullptr);
    for (DataLink* link : links_) {
        link->source_ = nullptr;
    }
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (dataSet_ != nullptr) {
        dataSet_->detachSource(this);
    }
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) {
        dataSet_->attachSource(this);
    }
}

void DataSource::dataSetGone()
{
    dataSet_ = nullptr;
}

void DataSource::addLink(DataLink* link)
{
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) {
        links_.push_back(link);
    }
}

void DataSource::removeLink(DataLink* link)
{
    if (std::erase(links_, link) > 0)
        ++linksRemoved_;
}

void DataSource::dataEvent(DataEvent event, Field* field)
{
    if (!enabled_) {
        return;
    }
    if (event == DataEvent::StateChanged) {
        if (onStateChange) {
            onStateChange(*this);
        }
    } else if (onDataChange) {
        onDataChange(*this, event == DataEvent::FieldChanged ? field : nullptr);
    }
    tellLinks(event, field);
}

void DataSource::setAutoEdit(bool autoEdit)
{
    if (autoEdit == autoEdit_)
        return;
    autoEdit_ = autoEdit;
    if (enabled_)
        tellLinks(DataEvent::StateChanged, nullptr);
}

void DataSource::tellLinks(DataEvent event, Field* field)
{
    const std::vector<DataLink*> snapshot = links_;
    const std::size_t removedBefore = linksRemoved_;
    for (DataLink* link : snapshot) {
        if (linksRemoved_ != removedBefore && std::find(links_.begin(), links_.end(), link) == links_.end()) {
            continue; // removed by an earlier link's handler
        }
        switch (event) {
        case DataEvent::RecordChanged: link->recordChanged(); break;
        case DataEvent::FieldChanged: link->fieldChanged(*field); break;
        case DataEvent::StateChanged: link->stateChanged(); break;
        case DataEvent::DataSetChanged: link->dataSetChanged(); break;
        }
    }
}

} // namespace orvane
