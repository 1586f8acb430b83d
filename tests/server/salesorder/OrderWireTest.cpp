// The order server over the real wire: an RpcServer on a free local port, clients with
// their own connections, the order program's datasets over RemoteDispatch. Saving at once over
// TCP, numbering included, is the server process test's; the rules of a save are OrderSaveTest's;
// the stored orders a window reads over TCP, ShellSessionTest's.
#include "OrderFixture.h"
#include "support/Contains.h"

#include "platform/rpc/RpcServer.h"
#include "server/services/SessionAuthenticator.h"

namespace orvane::test {
namespace {

class OrderWireTest : public OrderFixture {
protected:
    void SetUp() override
    {
        OrderFixture::SetUp();
        if (IsSkipped())
            return;
        server_ = std::make_unique<RpcServer>(RpcServerOptions{"127.0.0.1", 0, 4, {}, passwordAuthenticator(context_)},
                                              registry_);
        server_->start();
    }
    void TearDown() override
    {
        server_.reset(); // stops serving before the services go
        OrderFixture::TearDown();
    }

    // The network server: sessions must prove their user.
    ServicesOptions options() const override { return {}; }

    std::unique_ptr<RpcServer> server_;
};

TEST_F(OrderWireTest, AStoredOrderTravelsThereAndARefusalBack)
{
    OrderClient client(remoteOrderSession(server_->port()));
    OrderClient other(remoteOrderSession(server_->port()));
    client.open("TC002 = '2501200001'");
    other.open("TC002 = '2501200001'");
    ASSERT_EQ(client.saveHead(), 0);
    // A refusal travels back as a reconcile error of its record.
    EXPECT_EQ(other.saveHead(), 1);
    EXPECT_TRUE(contains(other.reconciled.at(0).message, "changed by another user"));
}

TEST_F(OrderWireTest, ANetworkLoginDecidesWhoMayConnect)
{
    auto anonymous = RpcConnection::connect("127.0.0.1", server_->port());
    EXPECT_EQ(connect(*anonymous->createObject("TavIS52S.Class1"), {"TAVI52", "ZT", "PRTest50", "PRTest50", 0}), 7);
    // A wrong password or an unknown user is refused by the server process's test, whose log names it.
    const std::string error = errorOf([&] { anonymous->login(std::vector<Variant>{"ZT"}); });
    EXPECT_TRUE(contains(error, "login takes [user, password, company]"));
    // A logged-in session connects its own user only, objects of no login answer nothing and the
    // trusted attach stays closed: ConnectTest's and ServicesTest's, the same checks in process.
}

} // namespace
} // namespace orvane::test
