#pragma once
// SerialDispatch: an object whose calls from several threads go through one at a time. A data
// module reads its next packet on a worker while the clerk keeps working; both reach the server
// through the module's one session, which takes one call at a time (a socket carries one
// request and its answer), so a call from another thread waits until the running one has its
// answer. Objects the wrapped object hands out are not wrapped. Thread-safe.

#include "platform/variant/Dispatch.h"

#include <mutex>

namespace orvane {

class SerialDispatch : public Dispatch {
public:
    // Wraps `object`; an object already wrapped is returned as it is, so its calls keep one lock.
    static DispatchPtr wrap(DispatchPtr object);

    explicit SerialDispatch(DispatchPtr object) : object_(std::move(object)) {}

    Variant invoke(std::string_view name, std::span<Variant> args) override;
    Variant get(std::string_view name) override;
    void put(std::string_view name, const Variant& value) override;
    std::string className() const override { return object_->className(); }
    void invokeAll(std::span<Invocation> calls) override;

private:
    DispatchPtr object_;
    // Recursive: a call that calls back into the module (a hook) on the same thread goes on.
    std::recursive_mutex calling_;
};

} // namespace orvane
