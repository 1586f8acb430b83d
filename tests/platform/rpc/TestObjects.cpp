#include "platform/rpc/TestObjects.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace orvane::test {

std::atomic<int> liveObjects{0};
std::atomic<int> fillCalls{0};
std::atomic<int> announcedCalls{0};

EchoObject::EchoObject() : AutomationObject(echoClass)
{
    ++liveObjects;
    method("Echo", 1, [](std::span<Variant> args) { return args[0]; });
    method("Swap", 2, [](std::span<Variant> args) {
        std::swap(args[0], args[1]);
        return Variant(true);
    });
    method("Length", 1,
           [](std::span<Variant> args) { return Variant(static_cast<long long>(args[0].asString().size())); });
    // A large answer to a small request.
    method("Fill", 1, [](std::span<Variant> args) {
        ++fillCalls;
        return Variant(std::string(static_cast<std::size_t>(args[0].toInteger()), 'x'));
    });
    method("Fail", 1, [](std::span<Variant> args) -> Variant { throw std::runtime_error(args[0].toString()); });
    method("Wait", 1, [](std::span<Variant> args) {
        std::this_thread::sleep_for(std::chrono::milliseconds(args[0].toInteger()));
        return Variant();
    });
    method("Child", 0, [this](std::span<Variant>) {
        if (!child_)
            child_ = std::make_shared<EchoObject>();
        return Variant(child_);
    });
    method("NewChild", 0, [](std::span<Variant>) { return Variant(DispatchPtr(std::make_shared<EchoObject>())); });
    method("IsChild", 1,
           [this](std::span<Variant> args) { return Variant(args[0].isDispatch() && args[0].dispatch() == child_); });
    // Calls a method without arguments on the object passed in.
    method("CallOn", 2, [](std::span<Variant> args) { return args[0].dispatch()->call(args[1].toString()); });
    property(
        "Value", [this] { return value_; }, [this](const Variant& value) { value_ = value; });
    property("Name", [] { return Variant(echoClass); });
}

EchoObject::~EchoObject()
{
    --liveObjects;
}

void registerTestClasses(AutomationRegistry& registry)
{
    registry.registerClass(echoClass, [] { return std::make_shared<EchoObject>(); });
}

} // namespace orvane::test
