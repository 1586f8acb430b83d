// orvane-server: the application server. Reads "OrvaneS.ini", brings the database schema
// up to date, serves the server objects over TCP until SIGTERM or SIGINT, and logs to its
// log file. With --init-demo it creates the schema and the demonstration data and exits; with
// --import-dictionary it loads data dictionary files into a company database and exits.

#include "platform/config/ConfigError.h"
#include "platform/rpc/RpcServer.h"
#include "server/app/DictionaryImport.h"
#include "server/app/ServerConfig.h"
#include "server/app/ServerLog.h"
#include "server/app/ServerObjects.h"
#include "server/schema/DemoSeed.h"
#include "server/services/SessionAuthenticator.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>

namespace orvane {
namespace {

constexpr const char* usage =
    "usage: orvane-server --config PATH [--init-demo] [--import-dictionary FOLDER [--company DB]]\n"
    "  --config PATH                the server configuration file (OrvaneS.ini)\n"
    "  --init-demo                  create the schema and the demonstration data, then exit\n"
    "  --import-dictionary FOLDER   load the data dictionary files of FOLDER, then exit\n"
    "  --company DB                 the company database they go to (default PRTest50)\n";

struct Options {
    std::filesystem::path config;
    bool initDemo = false;
    std::filesystem::path dictionary;
    std::string company{demoCompanyDb};
};

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--config" && i + 1 < argc)
            options.config = argv[++i];
        else if (arg == "--init-demo")
            options.initDemo = true;
        else if (arg == "--import-dictionary" && i + 1 < argc)
            options.dictionary = argv[++i];
        else if (arg == "--company" && i + 1 < argc)
            options.company = argv[++i];
        else
            return std::nullopt;
    }
    if (options.config.empty())
        return std::nullopt;
    return options;
}

std::string describe(const ServerConfig& config)
{
    return config.backend == DatabaseBackend::Postgres ? "PostgreSQL" : "SQLite in " + config.dataFolder.string();
}

std::string userName(uid_t uid)
{
    const passwd* user = getpwuid(uid);
    return user != nullptr ? user->pw_name : "#" + std::to_string(uid);
}

// Root refuses to write where another user keeps the server's files: a database, a write-ahead
// log or a log file it made would belong to root, and the service, running as that user, could
// then no longer write them.
void refuseRootOverAnotherUsersFiles(const ServerConfig& config)
{
    if (geteuid() != 0)
        return;
    std::vector<std::filesystem::path> folders{config.logFile.parent_path()};
    if (config.backend == DatabaseBackend::Sqlite)
        folders.push_back(config.dataFolder);
    for (const auto& folder : folders) {
        struct stat status {};
        if (stat(folder.c_str(), &status) != 0 || status.st_uid == 0)
            continue;
        const std::string owner = userName(status.st_uid);
        throw ConfigError("run as root, the server would leave files in " + folder.string() + " that its owner '" +
                          owner + "' could not write; run it as that user (sudo -u " + owner + " orvane-server ...)");
    }
}

void initDemo(const ServerConfig& config, ServerLog& log)
{
    auto db = databaseFactory(config)();
    seedDemo(*db);
    log.info("demonstration data created on " + describe(config));
    std::cout << "Demonstration data created on " << describe(config) << "\n";
}

void importDictionary(const ServerConfig& config, const Options& options, ServerLog& log)
{
    auto db = databaseFactory(config)();
    upgradeSchema(*db);
    std::string imported;
    for (const std::string& language : importDictionaryFolder(*db, options.company, options.dictionary))
        imported += " " + language;
    log.info("data dictionary imported into " + options.company + ":" + imported);
    std::cout << "Data dictionary imported into " << options.company << ":" << imported << "\n";
}

// Serves until SIGTERM or SIGINT; the signals are blocked first, so that the server's
// threads inherit the mask and the signal reaches sigwait.
void serve(const ServerConfig& config, ServerLog& log)
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const auto factory = databaseFactory(config);
    upgradeSchema(*factory());
    auto pool = std::make_shared<ConnectionPool>(factory, config.poolSize);
    auto context =
        registerServerObjects(pool, ServicesOptions{}, AutomationRegistry::instance(), {config.keepSaveAnswers});

    const RpcServerOptions options{config.address,
                                   config.port,
                                   config.threads,
                                   config.limits,
                                   passwordAuthenticator(context),
                                   config.serverLimits,
                                   [&log](std::string_view text) { log.write(LogLevel::Warning, text); }};
    RpcServer server(options);
    server.start();
    const std::string listening =
        "listening on " + config.address + ":" + std::to_string(server.port()) + " with " + describe(config);
    log.info(listening);
    std::cout << "orvane-server " << listening << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    log.info(std::string("stopping on ") + strsignal(signal));
    server.stop();
    log.info("stopped");
}

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    const auto options = orvane::parseArguments(argc, argv);
    if (!options) {
        std::cerr << orvane::usage;
        return 2;
    }
    std::optional<orvane::ServerLog> log;
    const auto fail = [&log](const std::exception& e, int status) {
        if (log)
            log->error(e.what());
        std::cerr << "orvane-server: " << e.what() << "\n";
        return status;
    };
    std::optional<orvane::ServerConfig> config;
    try {
        config = orvane::ServerConfig::load(options->config);
        orvane::refuseRootOverAnotherUsersFiles(*config);
        log.emplace(config->logFile);
    } catch (const orvane::ConfigError& e) {
        // EX_CONFIG, which the service unit does not restart: no restart can mend the file.
        return fail(e, 78);
    }
    try {
        if (options->initDemo)
            orvane::initDemo(*config, *log);
        if (!options->dictionary.empty())
            orvane::importDictionary(*config, *options, *log);
        else if (!options->initDemo)
            orvane::serve(*config, *log);
        return 0;
    } catch (const std::exception& e) {
        return fail(e, 1);
    }
}
