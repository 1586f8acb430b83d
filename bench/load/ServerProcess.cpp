#include "ServerProcess.h"

#include "server/db/PostgresDatabase.h"
#include "server/db/SqliteDatabase.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace orvane::bench {
namespace {

std::string clusterConnection()
{
    const char* value = std::getenv("ORVANE_TEST_PG");
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(
            "ORVANE_TEST_PG does not name a PostgreSQL cluster (scripts/start-postgres.sh prints it)");
    return value;
}

// The cluster's connection string with its dbname replaced.
std::string connectionTo(const std::string& database)
{
    return clusterConnection() + " dbname=" + database;
}

} // namespace

ServerProcess::ServerProcess(const std::filesystem::path& serverProgram, LoadBackend backend,
                             const std::filesystem::path& folder)
    : program_(serverProgram), backend_(backend), folder_(folder)
{
    std::filesystem::create_directories(folder_);
    std::ofstream config(folder_ / "OrvaneS.ini");
    config << "[Server]\nAddress=127.0.0.1\nPort=0\nThreads=4\n[Database]\n";
    if (backend_ == LoadBackend::Sqlite) {
        config << "Backend=sqlite\nPath=data\n";
    } else {
        database_ = "orvane_load_" + std::to_string(getpid());
        PostgresDatabase(clusterConnection())
            .executeScript("CREATE DATABASE " + database_ + " ENCODING 'UTF8' TEMPLATE template0");
        config << "Backend=postgresql\nConnection=" << connectionTo(database_) << "\n";
    }
    config << "[Log]\nFile=orvane-server.log\n";
    config.close();
    run({"--init-demo"}, true);
    pid_ = run({}, false);
    waitForPort();
}

ServerProcess::~ServerProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (!database_.empty())
        PostgresDatabase(clusterConnection()).executeScript("DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

pid_t ServerProcess::run(std::initializer_list<std::string> arguments, bool wait) const
{
    std::vector<std::string> words{program_.string(), "--config", (folder_ / "OrvaneS.ini").string()};
    words.insert(words.end(), arguments);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string output = (folder_ / "server.out").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        throw std::runtime_error("cannot start " + words[0]);
    if (!wait)
        return pid;
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("orvane-server " + *arguments.begin() + " failed; see " + output);
    return -1;
}

void ServerProcess::waitForPort()
{
    const std::string marker = "listening on 127.0.0.1:";
    for (int attempt = 0; attempt < 300; ++attempt) {
        std::ifstream output(folder_ / "server.out");
        std::stringstream text;
        text << output.rdbuf();
        if (const std::size_t at = text.str().find(marker); at != std::string::npos) {
            port_ = static_cast<std::uint16_t>(std::stoi(text.str().substr(at + marker.size())));
            return;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw std::runtime_error("orvane-server did not listen; see " + (folder_ / "server.out").string());
}

std::string ServerProcess::clusterDatabase() const
{
    return backend_ == LoadBackend::Postgres ? connectionTo(database_) : std::string();
}

double ServerProcess::cpuSeconds() const
{
    return processCpuSeconds(pid_);
}

long ServerProcess::confirmedOrders(const std::string& orderType) const
{
    std::unique_ptr<Database> db;
    if (backend_ == LoadBackend::Sqlite)
        db = std::make_unique<SqliteDatabase>((folder_ / "data" / "orvane.db").string());
    else
        db = std::make_unique<PostgresDatabase>(connectionTo(database_));
    db->ensureCompany("PRTest50");
    const QueryResult answer = db->query("SELECT COUNT(*) FROM " + db->dialect().companyTable("PRTest50", "COPTC") +
                                             " WHERE TC001 = ? AND TC027 = 'Y'",
                                         {Variant(orderType)});
    return static_cast<long>(answer.rows.at(0)[0].toIntegerOrZero());
}

double processCpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t end = text.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    double ticks = 0;
    // After the command: state is field 3; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number)
        if (number >= 14)
            ticks += std::stod(field);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::vector<pid_t> postgresProcesses()
{
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream comm(entry.path() / "comm");
        std::string command;
        if (std::getline(comm, command) && command.starts_with("postgres"))
            found.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    return found;
}

} // namespace orvane::bench
