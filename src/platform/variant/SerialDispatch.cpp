#include "platform/variant/SerialDispatch.h"

namespace orvane {

DispatchPtr SerialDispatch::wrap(DispatchPtr object)
{
    if (object == nullptr || std::dynamic_pointer_cast<SerialDispatch>(object) != nullptr)
        return object;
    return std::make_shared<SerialDispatch>(std::move(object));
}

Variant SerialDispatch::invoke(std::string_view name, std::span<Variant> args)
{
    const std::scoped_lock lock(calling_);
    return object_->invoke(name, args);
}

Variant SerialDispatch::get(std::string_view name)
{
    const std::scoped_lock lock(calling_);
    return object_->get(name);
}

void SerialDispatch::put(std::string_view name, const Variant& value)
{
    const std::scoped_lock lock(calling_);
    object_->put(name, value);
}

void SerialDispatch::invokeAll(std::span<Invocation> calls)
{
    const std::scoped_lock lock(calling_);
    object_->invokeAll(calls);
}

} // namespace orvane
