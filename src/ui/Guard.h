#pragma once
// The guard at the edge of Qt: every entry from Qt into our code (a slot, an event handler, a
// timer) runs under guarded(), so no exception ever reaches Qt's event loop. The silent abort
// ends the operation quietly; any other exception goes to the exception reporter (the alert log
// once the services install theirs) and is shown in an error box through the dialog service,
// and the application goes on. Client (GUI) thread only.

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace orvane {

// Receives each exception the guard caught, with the routine it ended; error is null for an
// exception not derived from std::exception. It may raise: the guard then adds that failure to
// the error box.
using ExceptionReporter = std::function<void(const std::exception* error, std::string_view routine)>;

// Installs the reporter; an empty function restores the default, which writes to standard error.
void setExceptionReporter(ExceptionReporter reporter);

// Runs action; true when it ended normally, false when an exception ended it (reported as above).
bool guarded(std::string_view routine, const std::function<void()>& action) noexcept;

// A slot that runs `slot` under the guard, for QObject::connect and queued invocations. The
// signal's arguments are passed on when `slot` takes them.
template <typename Slot>
auto guardedSlot(std::string routine, Slot slot)
{
    return [routine = std::move(routine), slot = std::move(slot)](auto&&... args) mutable {
        guarded(routine, [&] {
            if constexpr (std::is_invocable_v<Slot&, decltype(args)...>)
                slot(std::forward<decltype(args)>(args)...);
            else
                slot();
        });
    };
}

} // namespace orvane
