#pragma once
// The real application server over a freshly seeded demonstration database, reached by one of
// the client's roads: embedded (in process, address 127.0.0.1) or over TCP (a server listening
// on another loopback address, logged in with the password), whose database is SQLite or, on
// the TcpPostgres road, PostgreSQL (skipped, visibly, without ORVANE_TEST_PG).
//
// Fixtures derive from DemoServerTest. A TEST_F case runs on the embedded road; a TEST_P case
// runs on each road its suite is instantiated with, for the cases the road itself is tested by:
//     INSTANTIATE_TEST_SUITE_P(Roads, SomeTest, everyRoad(), roadName);

#include "support/ErrorOf.h"
#include "support/Installation.h"
#include "support/LocalText.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"

#include "platform/rpc/RpcServer.h"
#include "server/app/ServerObjects.h"
#include "server/db/SqliteDatabase.h"
#include "server/schema/DemoSeed.h"
#include "server/services/SessionAuthenticator.h"
#include "shell/ServerAccess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace orvane::test {

enum class Road { Embedded, Tcp, TcpPostgres };

inline std::string roadName(const ::testing::TestParamInfo<Road>& info)
{
    static constexpr const char* names[] = {"Embedded", "Tcp", "TcpPostgres"};
    return names[static_cast<int>(info.param)];
}

inline ::testing::internal::ParamGenerator<Road> everyRoad()
{
    return ::testing::Values(Road::Embedded, Road::Tcp, Road::TcpPostgres);
}

class DemoServerTest : public ::testing::TestWithParam<Road> {
protected:
    // The TCP server listens here, so that the address is not the embedded one.
    static constexpr const char* tcpAddress = "127.0.0.2";

    // The parameter of a TEST_P case; the embedded road for a TEST_F one.
    Road road() const { return isParametrised() ? GetParam() : Road::Embedded; }

    void SetUp() override
    {
        if (road() == Road::TcpPostgres && !postgresConnection())
            GTEST_SKIP() << "ORVANE_TEST_PG is not set: PostgreSQL case skipped (scripts/start-postgres.sh prints it)";
        if (road() == Road::TcpPostgres) {
            postgres_ = std::make_unique<TestDatabase>(Backend::Postgres);
            seedDemo(*postgres_->connect());
            startTcpServer([this] { return postgres_->connect(); });
            return;
        }
        seedDemo(*sqliteFactory(folder_)());
        if (road() == Road::Embedded) {
            context_ = startEmbeddedServer(folder_, registry_);
            return;
        }
        startTcpServer(sqliteFactory(folder_));
    }
    void TearDown() override
    {
        server_.reset();
        context_.reset();
        postgres_.reset();
    }

    void startTcpServer(std::function<std::unique_ptr<Database>()> connect)
    {
        auto pool = std::make_shared<ConnectionPool>(std::move(connect), 4);
        context_ = registerServerObjects(pool, {}, serverRegistry_);
        server_ = std::make_unique<RpcServer>(RpcServerOptions{tcpAddress, 0, 2, {}, passwordAuthenticator(context_)},
                                              serverRegistry_);
        server_->start();
    }

    ServerAccessOptions options() const
    {
        ServerAccessOptions options;
        options.registry = &registry_;
        options.dataFolder = folder_;
        if (road() == Road::Embedded) {
            options.address = std::string(ServerAccess::embeddedAddress);
        } else {
            options.address = tcpAddress;
            options.port = server_->port();
        }
        return options;
    }
    std::unique_ptr<ServerAccess> access(std::string password = std::string(demoPassword)) const
    {
        return std::make_unique<ServerAccess>(options(),
                                              ServerCredentials{"ZT", std::move(password), std::string(demoCompanyId)});
    }
    // The demonstration company's database as the server holds it on the SQLite roads, for what a
    // test changes or reads on the server's side.
    std::unique_ptr<Database> companyDatabase() const
    {
        auto db = sqliteFactory(folder_)();
        db->ensureCompany(std::string(demoCompanyDb));
        return db;
    }
    // Makes the server's folder the client folder of the installation settings for this test.
    void useClientFolder() { useSettings(folder_, "ClientPath=" + folder_.string() + "\n"); }

    EnvironmentGuard settings_{"ORVANE_SETTINGS"}; // put back what useClientFolder changed
    TempFolder temp_;
    const std::filesystem::path folder_{temp_.path()};
    std::unique_ptr<TestDatabase> postgres_; // the PostgreSQL road's database
    mutable AutomationRegistry registry_;    // the client process's classes (embedded server objects)
    AutomationRegistry serverRegistry_;      // the TCP server's classes
    std::shared_ptr<ServiceContext> context_;
    std::unique_ptr<RpcServer> server_;
};

} // namespace orvane::test
