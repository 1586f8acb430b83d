// The services over the real wire: a session proves its user once with the protocol's
// login, and the objects it creates afterwards work for that user without a login of
// their own; a session that did not log in gets nothing.
#include "ServicesFixture.h"

#include "platform/rpc/RemoteDispatch.h"
#include "platform/rpc/RpcConnection.h"
#include "platform/rpc/RpcServer.h"
#include "server/services/SessionAuthenticator.h"

namespace orvane::test {
namespace {

class NetworkLoginTest : public ServicesFixture {
protected:
    void SetUp() override
    {
        ServicesFixture::SetUp();
        if (IsSkipped())
            return;
        server_ = std::make_unique<RpcServer>(
            RpcServerOptions{"127.0.0.1", 0, 2, {}, passwordAuthenticator(context_)}, registry_);
        server_->start();
    }
    void TearDown() override
    {
        server_.reset();
        ServicesFixture::TearDown();
    }
    std::shared_ptr<RpcConnection> connect() { return RpcConnection::connect("127.0.0.1", server_->port()); }

    std::unique_ptr<RpcServer> server_;
};

TEST_P(NetworkLoginTest, ObjectsOfALoggedInSessionWorkForItsUser)
{
    auto client = connect();
    EXPECT_EQ(client->login({"ZT", std::string(demoPassword), "PRTest50"}), Variant(true));
    auto services = client->createObject("OrvaneS.Services");
    EXPECT_FALSE(services->call("GetMessage", {"E", "000001"}).toString().empty());
    std::vector<Variant> args{"PRTest50"};
    EXPECT_EQ(services->invoke("GetSysInfo", args).dimensions(), 2);
}

TEST_P(NetworkLoginTest, RefusedOrMissingLoginsGiveNothing)
{
    auto client = connect();
    for (const auto& credentials : std::vector<std::vector<Variant>>{
             {"ZT", "wrong", "PRTest50"}, {"NOBODY", std::string(demoPassword), "PRTest50"}, {"ZT"}}) {
        const std::string error = errorOf([&] { client->login(credentials); });
        EXPECT_NE(error.find("login"), std::string::npos) << error;
    }
    const std::string error =
        errorOf([&] { client->createObject("OrvaneS.Services")->call("GetSysInfo", {"PRTest50"}); });
    EXPECT_NE(error.find("not logged in"), std::string::npos) << error;
    // The embedded-only trusted attach stays closed on the network.
    EXPECT_FALSE(errorOf([&] { client->createObject("OrvaneS.Services")->call("Attach", {"ZT", "PRTest50"}); })
                     .empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, NetworkLoginTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         backendName);

} // namespace
} // namespace orvane::test
