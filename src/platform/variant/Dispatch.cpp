#include "platform/variant/Dispatch.h"

#include <algorithm>
#include <strings.h>

namespace orvane {

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const
{
    const std::size_t n = std::min(a.size(), b.size());
    const int order = strncasecmp(a.data(), b.data(), n);
    return order != 0 ? order < 0 : a.size() < b.size();
}

Variant Dispatch::call(std::string_view name, std::vector<Variant> args)
{
    return invoke(name, args);
}

bool Dispatch::preparesCalls(std::string_view /*name*/) const
{
    return false;
}

void Dispatch::prepareCalls(std::string_view /*name*/, std::span<const std::vector<Variant>> /*calls*/) {}

void Dispatch::invokeAll(std::span<Invocation> calls)
{
    for (Invocation& call : calls) {
        try {
            call.result = invoke(call.name, call.args);
        } catch (...) {
            call.error = std::current_exception();
        }
    }
}

// ---- AutomationObject ----------------------------------------------------------

AutomationObject::AutomationObject(std::string className) : className_(std::move(className)) {}

Variant AutomationObject::invoke(std::string_view name, std::span<Variant> args)
{
    const auto it = methods_.find(name);
    if (it == methods_.end())
        throw DispatchError("Method '" + std::string(name) + "' not supported by automation object " + className_);
    const MethodEntry& entry = it->second;
    if (args.size() < entry.minArgs || args.size() > entry.maxArgs) {
        const std::string expected = entry.minArgs == entry.maxArgs
                                         ? std::to_string(entry.minArgs)
                                         : std::to_string(entry.minArgs) + " to " + std::to_string(entry.maxArgs);
        throw DispatchError(className_ + "." + it->first + " takes " + expected + " argument(s), " +
                            std::to_string(args.size()) + " given");
    }
    return entry.body(args);
}

Variant AutomationObject::get(std::string_view name)
{
    const auto it = properties_.find(name);
    if (it == properties_.end())
        throw DispatchError("Property '" + std::string(name) + "' not supported by automation object " + className_);
    return it->second.getter();
}

void AutomationObject::put(std::string_view name, const Variant& value)
{
    const auto it = properties_.find(name);
    if (it == properties_.end())
        throw DispatchError("Property '" + std::string(name) + "' not supported by automation object " + className_);
    if (!it->second.setter)
        throw DispatchError("Property " + className_ + "." + it->first + " is read-only");
    it->second.setter(value);
}

void AutomationObject::method(std::string name, std::size_t minArgs, std::size_t maxArgs, Method body)
{
    methods_.insert_or_assign(std::move(name), MethodEntry{minArgs, maxArgs, std::move(body)});
}

void AutomationObject::property(std::string name, Getter getter, Setter setter)
{
    properties_.insert_or_assign(std::move(name), PropertyEntry{std::move(getter), std::move(setter)});
}

// ---- AutomationRegistry --------------------------------------------------------

AutomationRegistry& AutomationRegistry::instance()
{
    static AutomationRegistry registry;
    return registry;
}

void AutomationRegistry::registerClass(std::string className, Factory factory)
{
    std::lock_guard lock(mutex_);
    factories_.insert_or_assign(std::move(className), std::move(factory));
}

void AutomationRegistry::unregisterClass(std::string_view className)
{
    std::lock_guard lock(mutex_);
    if (const auto it = factories_.find(className); it != factories_.end())
        factories_.erase(it);
}

bool AutomationRegistry::isRegistered(std::string_view className) const
{
    std::lock_guard lock(mutex_);
    return factories_.contains(className);
}

DispatchPtr AutomationRegistry::create(std::string_view className) const
{
    Factory factory;
    {
        std::lock_guard lock(mutex_);
        const auto it = factories_.find(className);
        if (it == factories_.end())
            throw DispatchError("Invalid class string: automation class \"" + std::string(className) +
                                "\" is not registered");
        factory = it->second;
    }
    // The factory runs unlocked: creating an object may itself create others.
    DispatchPtr object = factory();
    if (!object)
        throw DispatchError("Automation class \"" + std::string(className) + "\" could not create an object");
    return object;
}

DispatchPtr createAutomationObject(std::string_view className)
{
    return AutomationRegistry::instance().create(className);
}

} // namespace orvane
