#include "server/app/ServerConfig.h"

#include "platform/config/ConfigError.h"
#include "platform/config/IniFile.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"
#include "server/db/PostgresDatabase.h"
#include "server/db/SqliteDatabase.h"

#include <asio/ip/address.hpp>

namespace orvane {
namespace {

// A whole number of the key within [low, high]; the fallback when the key is missing.
long readNumber(const IniFile& ini, std::string_view section, std::string_view key, long fallback, long low, long high)
{
    const std::string written = ini.readString(section, key);
    if (written.empty())
        return fallback;
    const auto value = text::tryParseInteger(written);
    if (!value || *value < low || *value > high)
        throw ConfigError(ini.path().string() + ": [" + std::string(section) + "] " + std::string(key) + "=" + written +
                          " is not a number from " + std::to_string(low) + " to " + std::to_string(high));
    return static_cast<long>(*value);
}

std::filesystem::path besideConfig(const std::filesystem::path& file, const std::string& path, const char* fallback)
{
    const std::filesystem::path chosen(path.empty() ? std::string(fallback) : path);
    return chosen.is_absolute() ? chosen : file.parent_path() / chosen;
}

// The listen address: an IP address as written, never a host name (which the server does not look up).
std::string readAddress(const IniFile& ini, const std::string& fallback)
{
    const std::string address = ini.readString("Server", "Address", fallback);
    std::error_code invalid;
    asio::ip::make_address(address, invalid);
    if (invalid)
        throw ConfigError(ini.path().string() + ": [Server] Address=" + address +
                          " is not an IP address (0.0.0.0: every address; 127.0.0.1: this machine only)");
    return address;
}

DatabaseBackend readBackend(const IniFile& ini)
{
    const std::string backend = text::lowerCase(text::trim(ini.readString("Database", "Backend", "sqlite")));
    if (backend == "sqlite")
        return DatabaseBackend::Sqlite;
    if (backend == "postgresql" || backend == "postgres")
        return DatabaseBackend::Postgres;
    throw ConfigError(ini.path().string() + ": [Database] Backend=" + backend +
                      " is not a backend (use sqlite or postgresql)");
}

std::size_t readCount(const IniFile& ini, std::string_view key, std::size_t fallback, long high)
{
    return static_cast<std::size_t>(readNumber(ini, "Limits", key, static_cast<long>(fallback), 1, high));
}

std::chrono::milliseconds readSeconds(const IniFile& ini, std::string_view key, std::chrono::milliseconds fallback)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(fallback).count();
    return std::chrono::seconds(readNumber(ini, "Limits", key, static_cast<long>(seconds), 1, 7 * 24 * 3600));
}

void readLimits(const IniFile& ini, RpcLimits& frames, ServerLimits& server)
{
    constexpr long gib = 1L << 30;
    frames.maxFrameBytes = readCount(ini, "FrameBytes", frames.maxFrameBytes, gib);
    frames.maxElements = readCount(ini, "Elements", frames.maxElements, 1L << 26);
    server.guestFrameBytes = readCount(ini, "GuestFrameBytes", server.guestFrameBytes, gib);
    server.guestObjects = readCount(ini, "GuestObjects", server.guestObjects, 1L << 20);
    server.sessionObjects = readCount(ini, "SessionObjects", server.sessionObjects, 1L << 24);
    server.bufferedBytes = readCount(ini, "BufferedBytes", server.bufferedBytes, 64 * gib);
    server.pendingAnswerBytes = readCount(ini, "AnswerBytes", server.pendingAnswerBytes, gib);
    server.connections = readCount(ini, "Connections", server.connections, 1L << 20);
    server.connectionsPerAddress = readCount(ini, "ConnectionsPerAddress", server.connectionsPerAddress, 1L << 20);
    server.loginTimeout = readSeconds(ini, "LoginTimeout", server.loginTimeout);
    server.idleTimeout = readSeconds(ini, "IdleTimeout", server.idleTimeout);
    server.loginThreads = readCount(ini, "LoginThreads", server.loginThreads, 64);
    server.loginQueue = readCount(ini, "LoginQueue", server.loginQueue, 1L << 16);
    server.throttle.freeFailures = readCount(ini, "FreeFailures", server.throttle.freeFailures, 1000);
    server.throttle.firstDelay = readSeconds(ini, "FirstDelay", server.throttle.firstDelay);
    server.throttle.longestDelay = readSeconds(ini, "LongestDelay", server.throttle.longestDelay);
    const auto ticketSeconds = std::chrono::duration_cast<std::chrono::seconds>(server.tickets.lifetime).count();
    server.tickets.lifetime = std::chrono::seconds(readNumber(ini, "Limits", "TicketLifetime", ticketSeconds, 1, 300));
}

} // namespace

RpcLimits ServerConfig::requestLimits()
{
    RpcLimits limits;
    limits.maxElements = std::size_t{1} << 20;
    return limits;
}

ServerConfig ServerConfig::load(const std::filesystem::path& file)
{
    const std::filesystem::path absolute = std::filesystem::absolute(file);
    if (!std::filesystem::is_regular_file(absolute))
        throw ConfigError("no configuration file " + absolute.string());
    const IniFile ini(absolute);
    ServerConfig config;
    config.address = readAddress(ini, config.address);
    config.port = static_cast<std::uint16_t>(readNumber(ini, "Server", "Port", 211, 0, 65535));
    config.threads = static_cast<std::size_t>(readNumber(ini, "Server", "Threads", 4, 1, 256));
    config.backend = readBackend(ini);
    config.dataFolder = besideConfig(absolute, ini.readString("Database", "Path"), "data");
    config.connection = ini.readString("Database", "Connection");
    config.poolSize = static_cast<std::size_t>(readNumber(ini, "Database", "PoolSize", 8, 1, 1024));
    config.keepSaveAnswers = std::chrono::minutes(readNumber(ini, "Database", "KeepSaveAnswers", 24 * 60, 0, 525600));
    config.logFile = besideConfig(absolute, ini.readString("Log", "File"), "orvane-server.log");
    readLimits(ini, config.limits, config.serverLimits);
    if (config.backend == DatabaseBackend::Postgres && config.connection.empty())
        throw ConfigError(absolute.string() + ": [Database] Connection is needed for the postgresql backend");
    return config;
}

ConnectionPool::Factory databaseFactory(const ServerConfig& config)
{
    if (config.backend == DatabaseBackend::Postgres)
        return [connection = config.connection, shared = std::make_shared<ReferenceReads>()] {
            auto db = std::make_unique<PostgresDatabase>(connection);
            db->shareReferenceReads(shared);
            return db;
        };
    return sqliteFactory(config.dataFolder);
}

} // namespace orvane
