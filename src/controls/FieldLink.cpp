#include "controls/FieldLink.h"

#include "platform/data/DataSet.h"
#include "platform/text/ByteText.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

namespace orvane {

FieldLink::FieldLink(std::function<void()> refresh) : refresh_(std::move(refresh)) {}

Field* FieldLink::field() const
{
    DataSet* fields = dataSet();
    return fields == nullptr || fieldName_.isEmpty() ? nullptr : fields->findField(fieldNameBytes_);
}

void FieldLink::bindSource(DataSource* source)
{
    setDataSource(source);
    refresh_();
}

void FieldLink::bindField(const QString& name)
{
    fieldName_ = name;
    fieldNameBytes_ = text::fromQString(name);
    refresh_();
}

void FieldLink::setControlReadOnly(bool readOnly)
{
    controlReadOnly_ = readOnly;
    refresh_();
}

bool FieldLink::writable(const Field& field) const
{
    const DataSet& fields = field.dataSet();
    return !controlReadOnly_ && !field.readOnly() && fields.active() &&
           (fields.state() != DataSetState::Browse || dataSource()->autoEdit());
}

void FieldLink::fieldChanged(Field& field)
{
    // Every control of the source hears of every field's change: the name tells most of them
    // apart before the lookup that makes sure.
    if (text::equalsIgnoringAsciiCase(field.name(), fieldNameBytes_) && &field == this->field())
        refresh_();
}

FieldBinding::FieldBinding(std::function<void()> refresh, std::function<void()> rebound)
    : link_(std::move(refresh)), rebound_(std::move(rebound))
{}

void FieldBinding::setDataSource(DataSource* source)
{
    link_.bindSource(source);
    rebound_();
}

void FieldBinding::setDataField(const QString& name)
{
    link_.bindField(name);
    rebound_();
}

bool FieldBinding::writeField(const char* action, const std::function<void(Field&)>& write)
{
    Field* bound = field();
    if (writing_ || bound == nullptr || !link_.writable(*bound))
        return true;
    writing_ = true;
    const bool written = guarded(action, [&] {
        DataSet& dataSet = bound->dataSet();
        if (dataSet.state() == DataSetState::Browse)
            dataSet.edit();
        write(*bound);
    });
    writing_ = false;
    return written;
}

} // namespace orvane
