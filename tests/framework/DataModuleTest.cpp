// The root data module's connection to the program's server object, over the real demonstration
// server: the login and program parameters, a refused login, and the failures that name the
// server they could not reach.
#include "framework/ProgramHost.h"

#include "framework/VozurazCD.h"
#include "services/Brokers.h"

namespace orvane::test {
namespace {

class Owner : public BrokersOwner, public MessageCodeService {
public:
    std::int64_t windowHandle() const override { return 0; }
    bool hasCommand(int) const override { return false; }
    int ShowMessageCode(std::string_view, std::string_view, bool, std::span<const Variant>) override { return 1; }
};

class DataModuleTest : public ProgramHostTest {
protected:
    void SetUp() override
    {
        ProgramHostTest::SetUp();
        brokers.setProgramId("TAVI52");
        brokers.setUserId("ZT");
        brokers.setCompanyId("PRTest50");
        brokers.setCompanyDb("PRTest50");
        module.setBrokers(&brokers);
    }

    Owner owner;
    TBrokers brokers{owner, owner};
    TdmVozuraz module;
};

TEST_P(DataModuleTest, ConnectLogsTheProgramInAndTakesItsParameters)
{
    ASSERT_TRUE(module.ConnectServer());
    EXPECT_TRUE(module.connected());
    EXPECT_EQ(brokers.ProgramParameter("POWER_DATA"), ",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY");
    EXPECT_EQ(brokers.MaxRecord(), 20);
    EXPECT_EQ(module.WhatIs("SQLTYPE"), Variant(1));
    module.CloseConnection();
    EXPECT_FALSE(module.connected());
    EXPECT_NE(errorOf([&] { module.WhatIs("SQLTYPE"); }).find("not connected"), std::string::npos);
}

TEST_P(DataModuleTest, ARefusedConnectAnswersFalseWithoutParameters)
{
    brokers.setProgramId("TAVB14");
    EXPECT_FALSE(module.ConnectServer());
    EXPECT_EQ(brokers.ProgramParameter("POWER_DATA"), "");
}

TEST_P(DataModuleTest, WithoutAConnectorTheErrorNamesTheServer)
{
    ServerConnector::install(nullptr);
    const std::string expected = GetParam() == Road::Embedded
                                     ? "application server 127.0.0.1:211"
                                     : "application server 127.0.0.2:" + std::to_string(server_->port());
    const std::string error = errorOf([&] { module.ConnectServer(); });
    EXPECT_NE(error.find(expected), std::string::npos) << error;
    EXPECT_NE(error.find("no server connector"), std::string::npos) << error;
}

TEST_P(DataModuleTest, WithoutAConfigurationTheEmptyAddressIsRefused)
{
    ::setenv("ORVANE_SETTINGS", (folder_ / "missing.ini").c_str(), 1);
    const std::string error = errorOf([&] { module.ConnectServer(); });
    EXPECT_NE(error.find("application server :211"), std::string::npos) << error;
    EXPECT_FALSE(module.connected());
}

INSTANTIATE_TEST_SUITE_P(Roads, DataModuleTest, ::testing::Values(Road::Embedded, Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
