// The orvane-server executable under faults: two server processes numbering orders of one
// type and day on one PostgreSQL database, and a server killed (SIGKILL) while clerks save
// orders over TCP, then started again.
#include "OrderFixture.h"
#include "support/Concurrently.h"
#include "support/ServerProcess.h"
#include "support/TempFolder.h"

#include "server/db/SqliteDatabase.h"

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace orvane::test {
namespace {

using namespace std::chrono_literals;

// Lines per order and where the clerks' orders are dated.
constexpr int linesPerOrder = 4;
constexpr const char* orderDate = "20250310";

// A clerk of a server process: the order server object of a logged-in connection with an open
// session numbering new orders, the order program's datasets over it.
struct Clerk {
    explicit Clerk(std::uint16_t port) : client(remoteOrderSession(port))
    {
        client.server->call("SetIsSeq", {Variant(-1)});
        client.open("1=2");
    }
    // Enters an order whose customer order number TC012 is its request identifier.
    void enter(const std::string& requestId)
    {
        client.appendHead("2201", "2503109999", orderDate, "C001");
        OrderClient::change(client.main, {{"TC012", requestId}});
        for (int line = 1; line <= linesPerOrder; ++line) {
            client.appendLine("000" + std::to_string(line), line == 1 ? "A100" : "A200", line);
            if (line == 1)
                client.appendSubLine("F100", "P101");
        }
    }
    // Saves the entered order under its request identifier; answers the number it got.
    std::string save(const std::string& requestId)
    {
        if (client.main.applyUpdates(0, requestId) != 0)
            throw std::runtime_error("save " + requestId + " refused");
        return client.server->call("WhatIs", {"SEQNO"}).toString();
    }

    OrderClient client;
};

// The demonstration database of a server process: on PostgreSQL a fresh database, on SQLite
// a data folder; db_ is the test's own connection to it.
class OrderServerProcessTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        std::string database;
        if (GetParam() == Backend::Postgres) {
            if (!postgresConnection())
                GTEST_SKIP() << "ORVANE_TEST_PG is not set: PostgreSQL case skipped";
            store_ = std::make_unique<TestDatabase>(Backend::Postgres);
            db_ = store_->connect();
            database = "Backend=postgresql\nConnection=" + std::string(postgresConnection()) +
                       " dbname=" + db_->query("SELECT current_database()").rows[0][0].toString();
        } else {
            db_ = sqliteFactory(folder_.path() / "data")();
            database = "Path=data";
        }
        seedDemo(*db_);
        db_->ensureCompany("PRTest50");
        settings_ = "[Server]\nAddress=127.0.0.1\nPort=0\nThreads=4\n[Database]\n" + database + "\n";
    }
    // A configuration of a server of this test's database on a free loopback port.
    std::filesystem::path config(const std::string& name)
    {
        return folder_.write(name + ".ini", settings_ + "[Log]\nFile=" + name + ".log\n");
    }
    // A server process over a configuration; its standard output names the port it listens on.
    static ServerProcess start(const std::filesystem::path& config)
    {
        return ServerProcess(ORVANE_SERVER_BINARY, {"--config", config.string()});
    }
    // Per stored order of a request identifier: its number, lines and sub-lines.
    std::vector<DbRow> ordersOf(const std::string& requestId)
    {
        const auto t = [&](const char* name) { return db_->dialect().companyTable("PRTest50", name); };
        return db_
            ->query("SELECT TC002, (SELECT COUNT(*) FROM " + t("COPTD") +
                        " WHERE TD001 = TC001 AND TD002 = TC002), (SELECT COUNT(*) FROM " + t("COPTM") +
                        " WHERE TM001 = TC001 AND TM002 = TC002) FROM " + t("COPTC") + " WHERE TC012 = ?",
                    {Variant(requestId)})
            .rows;
    }
    // The order of a request identifier is stored once, whole, under the number it was given.
    void expectWhole(const std::string& requestId, const std::string& number)
    {
        const auto orders = ordersOf(requestId);
        ASSERT_EQ(orders.size(), 1u) << requestId;
        EXPECT_TRUE(number.empty() || orders[0][0] == Variant(number)) << requestId;
        EXPECT_EQ(orders[0][1], Variant(linesPerOrder)) << requestId;
        EXPECT_EQ(orders[0][2], Variant(1)) << requestId;
    }
    // The day's numbers run from 1 to orders, each once.
    void expectGapFree(int orders)
    {
        const DbRow day = db_->query("SELECT COUNT(*), MAX(TC002) FROM " +
                                     db_->dialect().companyTable("PRTest50", "COPTC") + " WHERE TC002 LIKE '250310%'")
                              .rows.at(0);
        const std::string last = std::to_string(orders);
        EXPECT_EQ(day, (DbRow{orders, "250310" + std::string(4 - last.size(), '0') + last}));
    }

    TempFolder folder_;
    std::unique_ptr<TestDatabase> store_;
    std::unique_ptr<Database> db_;
    std::string settings_;
};

TEST_P(OrderServerProcessTest, TwoServerProcessesOnOneDatabaseNumberWithoutGapsOrTwins)
{
    if (GetParam() != Backend::Postgres)
        GTEST_SKIP() << "several server processes share a PostgreSQL database only";
    ServerProcess first = start(config("first"));
    ServerProcess second = start(config("second"));
    const std::uint16_t ports[] = {first.listeningPort(), second.listeningPort()};

    constexpr int clerks = 4, ordersEach = 10;
    EXPECT_EQ(runConcurrently(clerks,
                              [&](int c) {
                                  Clerk clerk(ports[c % 2]);
                                  for (int n = 0; n < ordersEach; ++n) {
                                      const std::string id = "two-" + std::to_string(c) + "-" + std::to_string(n);
                                      clerk.enter(id);
                                      clerk.save(id);
                                  }
                              }),
              std::vector<std::string>{});
    expectGapFree(clerks * ordersEach);
}

TEST_P(OrderServerProcessTest, AKilledServerLosesNoAcknowledgedOrderAndARetryNeverDuplicates)
{
    const auto settings = config("server");
    struct Sent {
        std::string number; // empty: no answer came
        Delta delta;
    };
    constexpr int clerks = 5;
    std::vector<std::map<std::string, Sent>> sent(clerks);
    std::atomic<int> acknowledged{0};
    {
        ServerProcess server = start(settings);
        const std::uint16_t port = server.listeningPort();
        std::thread killer([&] {
            // Kill while saves are under way: after some answers, or after 3 s at most.
            for (auto waited = 0ms; waited < 3s && acknowledged < 20; waited += 10ms)
                std::this_thread::sleep_for(10ms);
            std::this_thread::sleep_for(50ms);
            server.stop(SIGKILL);
        });
        runConcurrently(clerks, [&](int c) {
            Clerk clerk(port);
            for (int n = 0;; ++n) {
                const std::string id = "kill-" + std::to_string(c) + "-" + std::to_string(n);
                clerk.enter(id);
                sent[static_cast<std::size_t>(c)][id] = {{}, clerk.client.main.delta()};
                sent[static_cast<std::size_t>(c)][id].number = clerk.save(id); // throws once the server is gone
                ++acknowledged;
                clerk.client.open("1=2");
            }
        });
        killer.join();
    }
    ASSERT_GT(acknowledged, 0);

    ServerProcess restarted = start(settings);
    Clerk clerk(restarted.listeningPort());
    DispatchProvider provider(clerk.client.server, "pvdMain");
    int orders = 0;
    for (const auto& ofClerk : sent) {
        for (const auto& [id, save] : ofClerk) {
            if (!save.number.empty())
                expectWhole(id, save.number);
            else if (!ordersOf(id).empty())
                expectWhole(id, {}); // committed, but its answer was lost
            // Sent again with its identifier, every save ends up stored exactly once.
            ASSERT_TRUE(provider.applyUpdates(save.delta, 0, id).applied) << id;
            expectWhole(id, save.number);
            ++orders;
        }
    }
    expectGapFree(orders);
}

INSTANTIATE_TEST_SUITE_P(Backends, OrderServerProcessTest, eachBackend(), backendName);

} // namespace
} // namespace orvane::test
