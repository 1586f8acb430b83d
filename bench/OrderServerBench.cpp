// The order server in process, as the client reaches it through DispatchProvider:
// saving a new order of a head and 20 lines (numbered by the server) from 1 and 8
// concurrent clients, all on the same order type and day (they share its numbering
// counter) or each on days of its own, reported as orders per second of all clients;
// and fetching 10,000 stored orders in packets of 20. On SQLite, and on PostgreSQL when
// ORVANE_TEST_PG names a server. Beside the save, in the same run and alternating with it, the
// bare order-shaped transaction (BareOrderWriter): the storage's own limit, and the save's share of it.

#include "BareOrderWriter.h"
#include "platform/data/DispatchProvider.h"
#include "server/db/ConnectionPool.h"
#include "server/db/PostgresDatabase.h"
#include "server/db/SqliteDatabase.h"
#include "server/db/Transaction.h"
#include "server/salesorder/OrderServer.h"
#include "server/schema/DemoSeed.h"
#include "server/services/RegisterServices.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

namespace orvane {
namespace {

enum class Backend { Sqlite, Postgres };

constexpr int fetchedOrders = 10'000;
constexpr int linesPerOrder = 20;

const char* pgConnection()
{
    const char* value = std::getenv("ORVANE_TEST_PG");
    return value && *value ? value : nullptr;
}

// A seeded demonstration database with the services and the order server registered,
// plus 10,000 stored orders of 2024-01-01 (two lines each) to fetch.
class BenchServer {
public:
    explicit BenchServer(Backend backend) : backend_(backend)
    {
        const std::string unique = "orvane_bench_" + std::to_string(getpid());
        if (backend_ == Backend::Sqlite) {
            location_ = (std::filesystem::temp_directory_path() / unique).string();
            std::filesystem::create_directories(location_);
        } else {
            location_ = unique;
            PostgresDatabase(pgConnection())
                .executeScript("CREATE DATABASE " + location_ + " ENCODING 'UTF8' TEMPLATE template0");
        }
        auto db = connect();
        seedDemo(*db);
        storeOrders(*db);
        // Statistics as a database in use has them (both backends know the statement).
        db->executeScript("ANALYZE");
        pool_ = std::make_shared<ConnectionPool>([this] { return connect(); }, 10);
        // In process, as the client's embedded server: Connect names the user without a network login.
        registerOrderServer(registerServices(pool_, {.embedded = true}, registry_), registry_);
    }
    ~BenchServer()
    {
        pool_.reset();
        if (backend_ == Backend::Sqlite)
            std::filesystem::remove_all(location_);
        else
            PostgresDatabase(pgConnection()).executeScript("DROP DATABASE IF EXISTS " + location_ + " WITH (FORCE)");
    }

    std::unique_ptr<bench::BareOrderWriter> bareWriter() const
    {
        if (backend_ == Backend::Sqlite)
            return bench::bareSqliteWriter((std::filesystem::path(location_) / "system.db").string(), "PRTest50");
        return bench::barePostgresWriter(std::string(pgConnection()) + " dbname=" + location_, "PRTest50");
    }

    std::unique_ptr<Database> connect() const
    {
        if (backend_ == Backend::Sqlite)
            return std::make_unique<SqliteDatabase>((std::filesystem::path(location_) / "system.db").string());
        return std::make_unique<PostgresDatabase>(std::string(pgConnection()) + " dbname=" + location_);
    }

    // A new order server object with an open session of ZT.
    DispatchPtr session()
    {
        DispatchPtr object = registry_.create("TavIS52S.Class1");
        std::vector<Variant> args{Variant::arrayOf({"TAVI52", "ZT", "PRTest50", "PRTest50", false})};
        if (object->invoke("Connect", args).toInteger() != 0)
            throw std::runtime_error("OrderServerBench: Connect refused");
        return object;
    }

private:
    static void storeOrders(Database& db)
    {
        const auto head = db.prepare("INSERT INTO \"PRTest50\".COPTC (TC001, TC002, TC003, TC004, TC039, TC029, FLAG) "
                                     "VALUES ('2201', ?, '20240101', 'C001', '20240101', 100, 1)");
        const auto line = db.prepare("INSERT INTO \"PRTest50\".COPTD (TD001, TD002, TD003, TD004, TD007, TD008, "
                                     "TD010, TD029, FLAG) VALUES ('2201', ?, ?, 'A100', 'A01', 5, 'PCS', 'P01', 1)");
        inTransaction(db, [&] {
            for (int i = 1; i <= fetchedOrders; ++i) {
                const Variant number = "240101" + std::to_string(10000 + i).substr(1);
                head->run(std::vector<Variant>{number});
                line->run(std::vector<Variant>{number, "0001"});
                line->run(std::vector<Variant>{number, "0002"});
            }
        });
    }

    Backend backend_;
    std::string location_;
    std::shared_ptr<ConnectionPool> pool_;
    AutomationRegistry registry_;
};

BenchServer& server(Backend backend)
{
    static std::map<Backend, std::unique_ptr<BenchServer>> servers;
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    auto& slot = servers[backend];
    if (!slot)
        slot = std::make_unique<BenchServer>(backend);
    return *slot;
}

// Document dates: all clients share one day (the counter of that type and day is the one
// they queue on), or each client has days of its own. A new day every 5,000 orders of a
// lane, so no day runs out of serials.
enum class Days { Shared, PerClient };

std::string nextDate(Days days, int client)
{
    static std::array<std::atomic<int>, 65> orders{};
    const int lane = days == Days::Shared ? 0 : 1 + client % 64;
    const int day = lane * 100 + orders[static_cast<std::size_t>(lane)]++ / 5000;
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", 2030 + day / 336, 1 + day / 28 % 12, 1 + day % 28);
    return text;
}

Delta newOrder(const std::string& date)
{
    Delta delta;
    const auto s = [](const char* name, int size) { return FieldDef::string(name, size); };
    const auto f = [](const char* name) { return FieldDef::of(name, FieldType::Float); };
    delta.fields = {
        s("TC001", 4),
        s("TC002", 11),
        s("TC003", 8),
        s("TC004", 10),
        s("TC039", 8),
        f("TC029"),
        s("CREATOR", 10),
        f("FLAG"),
        FieldDef::dataSet("qryBody", {s("TD001", 4), s("TD002", 11), s("TD003", 4), s("TD004", 20), s("TD005", 60),
                                      s("TD007", 10), f("TD008"), s("TD010", 4), f("TD011"), f("TD012"), f("FLAG")})};
    DeltaRecord head{
        1, UpdateStatus::Inserted, {}, {"2201", "~", date, "C001", date, 1900.0, "ZT", 1.0, Variant()}, {{}}};
    for (int i = 1; i <= linesPerOrder; ++i) {
        const std::string line = std::to_string(1000 + i).substr(1);
        head.nested[0].push_back({static_cast<std::uint64_t>(1 + i),
                                  UpdateStatus::Inserted,
                                  {},
                                  {"2201", "~", "0" + line, "A100", "LED台灯", "A01", 5.0, "PCS", 95.0, 475.0, 1.0},
                                  {}});
    }
    delta.records.push_back(std::move(head));
    return delta;
}

void saveOrder(benchmark::State& state, Backend backend, Days days)
{
    DispatchPtr object = server(backend).session();
    object->call("SetIsSeq", {true});
    DispatchProvider provider(object, "pvdMain");
    for (auto _ : state) {
        state.PauseTiming();
        const Delta delta = newOrder(nextDate(days, state.thread_index()));
        state.ResumeTiming();
        const ApplyResult result = provider.applyUpdates(delta, 0);
        if (result.errorCount != 0)
            state.SkipWithError(result.errors.front().message.c_str());
    }
    // Summed over the clients and divided by the wall-clock time: orders saved per second by all.
    state.counters["orders/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Orders per second of all clients, each writing orders orders on a thread of its own with
// write(client, order); the first failure is raised once all threads ended.
double ordersPerSecond(int clients, int orders, const std::function<void(int, int)>& write)
{
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::string failure;
    const auto start = std::chrono::steady_clock::now();
    for (int client = 0; client < clients; ++client) {
        threads.emplace_back([&, client] {
            try {
                for (int order = 0; order < orders; ++order)
                    write(client, order);
            } catch (const std::exception& e) {
                const std::lock_guard lock(mutex);
                failure = e.what();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    if (!failure.empty())
        throw std::runtime_error(failure);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return clients * orders / elapsed.count();
}

// 8 clients saving orders of 20 lines through the order server, alternating round by round with
// 8 bare writers of the same rows; reports both rates and the save's share of the bare one.
void saveBesideBare(benchmark::State& state, Backend backend, Days days)
{
    constexpr int clients = 8, orders = 60, rounds = 4;
    static std::atomic<long> bareSerial{0};
    BenchServer& bench = server(backend);
    std::vector<std::unique_ptr<bench::BareOrderWriter>> bare;
    std::vector<std::unique_ptr<DispatchProvider>> providers;
    for (int client = 0; client < clients; ++client) {
        bare.push_back(bench.bareWriter());
        DispatchPtr object = bench.session();
        object->call("SetIsSeq", {true});
        providers.push_back(std::make_unique<DispatchProvider>(object, "pvdMain"));
    }
    double bareRate = 0, saveRate = 0;
    try {
        for (auto _ : state) {
            for (int round = 0; round < rounds; ++round) {
                bareRate += ordersPerSecond(clients, orders, [&](int client, int) {
                    bare[static_cast<std::size_t>(client)]->writeOrder(client, ++bareSerial);
                });
                std::vector<std::vector<Delta>> deltas(clients);
                for (int client = 0; client < clients; ++client) {
                    for (int order = 0; order < orders; ++order)
                        deltas[static_cast<std::size_t>(client)].push_back(newOrder(nextDate(days, client)));
                }
                saveRate += ordersPerSecond(clients, orders, [&](int client, int order) {
                    const auto c = static_cast<std::size_t>(client);
                    const ApplyResult result =
                        providers[c]->applyUpdates(deltas[c][static_cast<std::size_t>(order)], 0);
                    if (result.errorCount != 0)
                        throw std::runtime_error(result.errors.front().message);
                });
            }
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const double runs = static_cast<double>(state.iterations()) * rounds;
    state.counters["bare_orders/s"] = bareRate / runs;
    state.counters["save_orders/s"] = saveRate / runs;
    state.counters["save/bare"] = saveRate / bareRate;
}

void fetchOrders(benchmark::State& state, Backend backend)
{
    DispatchProvider provider(server(backend).session(), "pvdMain");
    std::size_t heads = 0;
    for (auto _ : state) {
        heads = 0;
        DataPacket packet = provider.getRecords(20, Variant::arrayOf({"TC003 = '20240101'", ""}), true);
        for (heads = packet.rows.size(); !packet.endOfData; heads += packet.rows.size())
            packet = provider.getRecords(20, Variant(), false);
    }
    if (heads != fetchedOrders)
        state.SkipWithError("not every order was fetched");
    state.counters["orders"] = static_cast<double>(heads);
}

const bool registered = [] {
    for (const Backend backend : {Backend::Sqlite, Backend::Postgres}) {
        if (backend == Backend::Postgres && !pgConnection())
            continue;
        const std::string name = backend == Backend::Sqlite ? "Sqlite" : "Postgres";
        for (const Days days : {Days::Shared, Days::PerClient}) {
            const std::string day = days == Days::Shared ? "/SameDay" : "/OwnDays";
            benchmark::RegisterBenchmark(("SaveOrderOf20Lines/" + name + day).c_str(), saveOrder, backend, days)
                ->Threads(1)
                ->Threads(8)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        }
        for (const Days days : {Days::Shared, Days::PerClient}) {
            const std::string day = days == Days::Shared ? "/SameDay" : "/OwnDays";
            benchmark::RegisterBenchmark(("SaveBesideBareTransaction/" + name + day).c_str(), saveBesideBare, backend,
                                         days)
                ->Iterations(1)
                ->Unit(benchmark::kSecond);
        }
        benchmark::RegisterBenchmark(("Fetch10000OrdersInPackets/" + name).c_str(), fetchOrders, backend)
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
} // namespace orvane
