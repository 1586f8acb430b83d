#include "framework/VozurazCD.h"

#include "platform/rpc/ServerConnector.h"
#include "services/Brokers.h"
#include "services/OrvaneINI.h"

#include <stdexcept>

namespace orvane {

namespace {

std::string endpointText(const std::string& address, int port)
{
    return "application server " + address + ":" + std::to_string(port);
}

} // namespace

TdmVozuraz::TdmVozuraz() = default;

TdmVozuraz::~TdmVozuraz() = default;

std::pair<std::string, int> TdmVozuraz::serverEndpoint()
{
    const TOrvaneIniC configuration;
    const Variant& servers = configuration.serverList();
    if (servers.dimensions() != 2 || servers.highBound(2) < servers.lowBound(2))
        return {std::string(), defaultPort};
    const int column = servers.lowBound(2);
    return {servers.at(0, column).toString(), static_cast<int>(servers.at(1, column).toIntegerOrZero())};
}

bool TdmVozuraz::ConnectServer()
{
    if (brokers_ == nullptr)
        throw std::logic_error("the data module has no brokers to connect with");
    CloseConnection();
    const auto [address, port] = serverEndpoint();
    if (port <= 0 || port > 65535)
        throw std::runtime_error(endpointText(address, port) + ": the port is not a valid TCP port");
    const std::shared_ptr<ServerConnector> connector = ServerConnector::installed();
    if (!connector)
        throw std::runtime_error(endpointText(address, port) +
                                 ": no server connector is installed in this process (the shell installs "
                                 "one after its login)");
    appServer_ = Variant(connector->connect(address, static_cast<std::uint16_t>(port), serverClassName));
    if (!appServer_.isDispatch())
        return false;

    Variant request = Variant::arrayOf({brokers_->programId(), brokers_->userId(), brokers_->companyId(),
                                        brokers_->companyDb(), created_});
    std::vector<Variant> args{std::move(request)};
    const Variant answer = appServer_.dispatch()->invoke("Connect", args);
    brokers_->SetProgramParameters(appServer_.dispatch()->get("SvrData").toString());
    return answer.isNumeric() && answer.toInteger() == 0;
}

void TdmVozuraz::CloseConnection()
{
    appServer_ = Variant();
}

Variant TdmVozuraz::WhatIs(std::string_view item)
{
    if (!connected())
        throw std::runtime_error("WhatIs(" + std::string(item) + "): the data module is not connected to the " +
                                 std::string(serverClassName) + " server object");
    return appServer_.dispatch()->call("WhatIs", {Variant(item)});
}

void TdmVozuraz::PrepareFieldTexts(const TCodeConverter& /*converter*/) {}

} // namespace orvane
