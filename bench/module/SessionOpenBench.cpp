// What a program's own server session costs over loopback TCP, in one run: a bare round trip
// of the shell's session (the baseline), a session opened with a ticket of the shell's login
// (ask for the ticket, connect, redeem it, create the order server object), and the same
// session opened with the password, as every program start did before tickets.

#include "DemoInstallation.h"
#include "RoundTripTiming.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"

namespace orvane {
namespace {

constexpr const char* orderClass = "TavIS52S.Class1";

std::uint16_t portOf(const std::string& endpoint)
{
    return static_cast<std::uint16_t>(std::stoi(endpoint.substr(endpoint.rfind(':') + 1)));
}

void bareRoundTrip(benchmark::State& state)
{
    const DemoInstallation loopback(false, "session");
    const DispatchPtr services = loopback.access().createObject("OrvaneS.Services");
    bench::timeEach(state, [&] { return services->call("Today"); });
}

void ownSessionByTicket(benchmark::State& state)
{
    const DemoInstallation loopback(false, "session");
    ServerAccess& access = loopback.access();
    bench::timeEach(state, [&] { return access.createObjectInOwnSession(orderClass); });
}

void ownSessionByPassword(benchmark::State& state)
{
    const DemoInstallation loopback(false, "session");
    const std::uint16_t port = portOf(loopback.access().endpoint());
    bench::timeEach(state, [&] {
        auto connection = RpcConnection::connect("127.0.0.2", port);
        connection->login({"ZT", std::string(demoPassword), "PRTest50"});
        return connection->createObject(orderClass);
    });
}

BENCHMARK(bareRoundTrip)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(ownSessionByTicket)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(ownSessionByPassword)->Iterations(50)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvane
