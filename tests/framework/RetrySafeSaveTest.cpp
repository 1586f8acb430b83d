// Saving again after a lost answer: the request identifier a data module sends with each save,
// kept for the same changes and new for edited ones, and a save over TCP whose answer is lost
// after the server committed it, sent again on a new connection, stored once.
#include "framework/ModuleOwner.h"
#include "framework/ProgramHost.h"

#include "platform/data/DispatchProvider.h"

#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::test {
namespace {

Delta oneChange(std::uint64_t recordId, const char* value)
{
    Delta delta;
    delta.fields = {FieldDef::string("TC004", 10)};
    delta.records.push_back({recordId, UpdateStatus::Inserted, {}, {Variant(value)}, {}});
    return delta;
}

TEST(SaveRequestTest, TheSameChangesKeepTheirIdentifierUntilAnswered)
{
    SaveRequest request;
    const std::string first = request.idFor(oneChange(7, "C001"));
    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(first[14], '4') << first;
    EXPECT_EQ(request.idFor(oneChange(7, "C001")), first);
    EXPECT_EQ(request.idFor(oneChange(42, "C001")), first) << "a restored draft numbers its records anew";
    const std::string edited = request.idFor(oneChange(42, "C002"));
    EXPECT_NE(edited, first);
    request.answered();
    EXPECT_NE(request.idFor(oneChange(42, "C002")), edited);
}

// A TCP relay between the client and the server on the loopback that can lose the server's next
// answer: it is read from the server (so the server has done its work) and both ends are closed.
class Relay {
public:
    Relay(const char* host, std::uint16_t target) : host_(host), target_(target)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopback(0);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptAll(); });
    }
    ~Relay()
    {
        ::shutdown(listener_, SHUT_RDWR);
        acceptor_.join();
        ::close(listener_);
        for (const int socket : sockets_)
            ::shutdown(socket, SHUT_RDWR);
        for (std::thread& pump : pumps_)
            pump.join();
        for (const int socket : sockets_)
            ::close(socket);
    }
    std::uint16_t port() const { return port_; }
    void loseNextAnswer() { lose_ = true; }

private:
    sockaddr_in loopback(std::uint16_t port) const
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        ::inet_pton(AF_INET, host_, &address.sin_addr);
        return address;
    }
    void acceptAll()
    {
        for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) {
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address = loopback(target_);
            ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address);
            const std::lock_guard lock(mutex_);
            sockets_.insert(sockets_.end(), {client, server});
            pumps_.emplace_back([this, client, server] { pump(client, server, false); });
            pumps_.emplace_back([this, client, server] { pump(server, client, true); });
        }
    }
    void pump(int from, int to, bool answers)
    {
        char buffer[65536];
        for (ssize_t got; (got = ::read(from, buffer, sizeof buffer)) > 0;) {
            if (answers && lose_.exchange(false)) {
                ::shutdown(from, SHUT_RDWR);
                ::shutdown(to, SHUT_RDWR);
                return;
            }
            for (ssize_t sent = 0, n; sent < got; sent += n) {
                if ((n = ::write(to, buffer + sent, static_cast<std::size_t>(got - sent))) <= 0)
                    return;
            }
        }
        ::shutdown(to, SHUT_WR);
    }

    const char* host_;
    std::uint16_t target_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> lose_{false};
    std::mutex mutex_;
    std::vector<int> sockets_;
    std::vector<std::thread> pumps_;
    std::thread acceptor_;
};

// The order program's module over TCP through the relay.
class RetrySafeSaveTest : public ProgramHostTest {
protected:
    void SetUp() override
    {
        ProgramHostTest::SetUp();
        relay_ = std::make_unique<Relay>(tcpAddress, server_->port());
        std::ofstream(folder_ / "client" / "OrvaneC.ini")
            << "[Server Information]\nComputerName=" << tcpAddress << "\nServerPort=" << relay_->port()
            << "\n[Client Components]\nLangType=CHS\n";
        ServerAccessOptions through = options();
        through.port = relay_->port();
        server = std::make_unique<ServerAccess>(through, demoUser());
        ServerConnector::install(server->connector());
    }
    void TearDown() override
    {
        ProgramHostTest::TearDown();
        relay_.reset();
    }
    // Saves the head with the server numbering it, as the document window does; the save's
    // answer is lost when asked.
    bool save(bool loseAnswer = false)
    {
        module.appServer().dispatch()->call("SetIsSeq", {Variant(-1)});
        if (loseAnswer)
            relay_->loseNextAnswer();
        return module.SaveData(module.cdsMain);
    }
    int ordersOf(const std::string& customerOrder)
    {
        const auto db = sqliteFactory(folder_)();
        db->ensureCompany("PRTest50");
        return static_cast<int>(
            db->query("SELECT TC002 FROM " + db->dialect().companyTable("PRTest50", "COPTC") + " WHERE TC012 = ?",
                      {Variant(customerOrder)})
                .rows.size());
    }

    std::unique_ptr<Relay> relay_;
    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    HeadLinesModule module;
};

TEST_P(RetrySafeSaveTest, ASaveWhoseAnswerWasLostIsStoredOnceWhenSentAgain)
{
    ASSERT_TRUE(connectModule(module, brokers, owner, hostObject()));
    module.bindLines();
    owner.mode = RecordMode::Add;
    module.RefreshToday();
    module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
    module.cdsMain.append();
    for (const auto& [name, value] : {std::pair{"TC001", "2201"},
                                      {"TC002", "2503010001"},
                                      {"TC003", "20250301"},
                                      {"TC004", "C001"},
                                      {"TC039", "20250301"},
                                      {"TC012", "lost-answer"}})
        module.cdsMain.fieldByName(name).setAsString(value);
    module.cdsBody1.append();
    for (const auto& [name, value] :
         {std::pair{"TD001", "2201"}, {"TD002", "2503010001"}, {"TD003", "0001"}, {"TD004", "A100"}})
        module.cdsBody1.fieldByName(name).setAsString(value);
    module.cdsBody1.post();

    EXPECT_THROW(save(true), std::exception);
    EXPECT_EQ(ordersOf("lost-answer"), 1) << "the server committed before the answer was lost";

    ASSERT_TRUE(module.ConnectServer());
    module.cdsMain.setProvider(std::make_shared<DispatchProvider>(module.appServer().dispatch(), "pvdMain"));
    EXPECT_TRUE(save());
    EXPECT_EQ(ordersOf("lost-answer"), 1);
    EXPECT_FALSE(module.cdsMain.hasChanges());
}

INSTANTIATE_TEST_SUITE_P(Tcp, RetrySafeSaveTest, ::testing::Values(Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
