#pragma once
// A seeded demonstration installation for the client-side benchmarks: the real server over a
// fresh SQLite database, reached embedded (127.0.0.1) or over loopback TCP (127.0.0.2), a client
// configuration naming it (ORVANE_SETTINGS), the user ZT logged in and the process's server
// connector installed, as the shell does after its login.

#include "platform/rpc/RpcServer.h"
#include "platform/rpc/ServerConnector.h"
#include "server/app/ServerObjects.h"
#include "server/db/SqliteDatabase.h"
#include "server/schema/DemoSeed.h"
#include "server/services/SessionAuthenticator.h"
#include "shell/ServerAccess.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace orvane {

class DemoInstallation {
public:
    using Populate = std::function<void(Database&)>;

    DemoInstallation(bool embedded, const std::string& name, const Populate& populate = {})
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("orvane-bench-" + name + "-" + std::to_string(getpid()) + (embedded ? "-e" : "-t"));
        std::filesystem::create_directories(folder_ / "client");
        const ConnectionPool::Factory factory = sqliteFactory(folder_);
        const std::unique_ptr<Database> db = factory();
        seedDemo(*db);
        if (populate)
            populate(*db);
        ServerAccessOptions options;
        options.registry = &clientRegistry_;
        options.dataFolder = folder_;
        if (embedded) {
            options.address = "127.0.0.1";
        } else {
            context_ = registerServerObjects(std::make_shared<ConnectionPool>(factory, 4), {}, serverRegistry_);
            server_ = std::make_unique<RpcServer>(
                RpcServerOptions{"127.0.0.2", 0, 2, {}, passwordAuthenticator(context_)}, serverRegistry_);
            server_->start();
            options.address = "127.0.0.2";
            options.port = server_->port();
        }
        std::ofstream(folder_ / "client" / "OrvaneC.ini")
            << "[Server Information]\nComputerName=" << options.address << "\nServerPort=" << options.port << "\n";
        std::ofstream(folder_ / "settings.ini")
            << "[Software\\ZTK\\Orvane]\nClientPath=" << (folder_ / "client").string() << "\n";
        ::setenv("ORVANE_SETTINGS", (folder_ / "settings.ini").c_str(), 1);
        access_ =
            std::make_unique<ServerAccess>(options, ServerCredentials{"ZT", std::string(demoPassword), "PRTest50"});
        ServerConnector::install(access_->connector());
    }
    ~DemoInstallation()
    {
        ServerConnector::install(nullptr);
        access_.reset();
        server_.reset();
        context_.reset();
        std::filesystem::remove_all(folder_);
    }
    DemoInstallation(const DemoInstallation&) = delete;
    DemoInstallation& operator=(const DemoInstallation&) = delete;

    ServerAccess& access() const { return *access_; }
    // The folder of the installation's SQLite database.
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    AutomationRegistry clientRegistry_;
    AutomationRegistry serverRegistry_;
    std::shared_ptr<ServiceContext> context_;
    std::unique_ptr<RpcServer> server_;
    std::unique_ptr<ServerAccess> access_;
};

} // namespace orvane
