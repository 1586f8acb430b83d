#pragma once
// Late binding by name: the automation objects of the host, the shell's components
// and the application server's objects all answer through this interface.
//
// Member names are matched without regard to case, as automation does ("WhatIs" and
// "Whatis" reach the same member). Arguments are passed by reference: a callee that
// writes an argument changes the caller's variant.

#include "platform/variant/Variant.h"

#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// A call that the object cannot take: unknown member, wrong number of arguments,
// a read-only property written, a class name not registered.
class DispatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One call of a batch (Dispatch::invokeAll): the member, its arguments (written back as the
// callee leaves them), and either the answer or the failure.
struct Invocation {
    std::string name;
    std::vector<Variant> args;
    Variant result;
    std::exception_ptr error; // set when the call raised; result is then unassigned
};

class Dispatch : public std::enable_shared_from_this<Dispatch> {
public:
    virtual ~Dispatch() = default;

    // Calls method `name`; the callee may write any element of `args`.
    virtual Variant invoke(std::string_view name, std::span<Variant> args) = 0;
    virtual Variant get(std::string_view name) = 0;
    virtual void put(std::string_view name, const Variant& value) = 0;
    // Class name used in error texts.
    virtual std::string className() const = 0;

    // Calls with arguments passed by value, for callers that do not read them back.
    Variant call(std::string_view name, std::vector<Variant> args = {});

    // Makes the calls in order, each as invoke would; a failure is kept in its call and the
    // next ones still run. An object whose calls travel (a remote object) sends them all
    // before it waits for the first answer, so the batch costs one round trip.
    virtual void invokeAll(std::span<Invocation> calls);

    // Whether calls of member `name` that arrive together are worth announcing (prepareCalls):
    // the object can read what they need in one go. The default is no.
    virtual bool preparesCalls(std::string_view name) const;
    // Calls of member `name` with these arguments are about to be invoked one after another,
    // each still invoked as usual; nothing of their answers may depend on the preparation.
    virtual void prepareCalls(std::string_view name, std::span<const std::vector<Variant>> calls);
};

// Case-insensitive ordering of member and class names.
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

// A dispatch object whose members are declared in a table: derived classes call
// method() and property() in their constructor.
class AutomationObject : public Dispatch {
public:
    using Method = std::function<Variant(std::span<Variant> args)>;
    using Getter = std::function<Variant()>;
    using Setter = std::function<void(const Variant&)>;

    explicit AutomationObject(std::string className);

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    Variant get(std::string_view name) override;
    void put(std::string_view name, const Variant& value) override;
    std::string className() const override { return className_; }

protected:
    // Declares a method taking between minArgs and maxArgs arguments.
    void method(std::string name, std::size_t minArgs, std::size_t maxArgs, Method body);
    void method(std::string name, std::size_t argCount, Method body)
    {
        method(std::move(name), argCount, argCount, std::move(body));
    }
    // Declares a property; without a setter it is read-only.
    void property(std::string name, Getter getter, Setter setter = {});

private:
    struct MethodEntry {
        std::size_t minArgs;
        std::size_t maxArgs;
        Method body;
    };
    struct PropertyEntry {
        Getter getter;
        Setter setter;
    };

    std::string className_;
    std::map<std::string, MethodEntry, CaseInsensitiveLess> methods_;
    std::map<std::string, PropertyEntry, CaseInsensitiveLess> properties_;
};

// The automation classes that can be created by name ("AddressC.Class1").
// Class names are matched without regard to case. Thread-safe.
class AutomationRegistry {
public:
    using Factory = std::function<DispatchPtr()>;

    static AutomationRegistry& instance();

    // Registers or replaces the factory of a class.
    void registerClass(std::string className, Factory factory);
    void unregisterClass(std::string_view className);
    bool isRegistered(std::string_view className) const;
    // Creates an object of the class; raises DispatchError naming the class when
    // it is not registered.
    DispatchPtr create(std::string_view className) const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, Factory, CaseInsensitiveLess> factories_;
};

// Shorthand for AutomationRegistry::instance().create(className).
DispatchPtr createAutomationObject(std::string_view className);

} // namespace orvane
