#pragma once
// The server's configuration file "OrvaneS.ini":
//
//   [Server]    Address (listen address, default 0.0.0.0), Port (default 211),
//               Threads (request threads, default 4)
//   [Database]  Backend ("sqlite", the default, or "postgresql"),
//               Path (SQLite: the data folder holding orvane.db and one <company>.db per
//               company; default "data" beside the configuration file),
//               Connection (PostgreSQL: a libpq connection string),
//               PoolSize (database connections, default 8),
//               KeepSaveAnswers (minutes a save's answer is kept for a retry, default 1440)
//   [Log]       File (default "orvane-server.log" beside the configuration file)
//   [Limits]    what clients may hold (defaults in ServerLimits and below; sizes in bytes,
//               times in seconds): GuestFrameBytes, GuestObjects (before login),
//               FrameBytes, Elements (per request frame), SessionObjects, BufferedBytes
//               (unfinished requests of all connections), AnswerBytes (unsent answers
//               before a connection stops being read), Connections, ConnectionsPerAddress,
//               LoginTimeout, IdleTimeout, LoginThreads, LoginQueue, FreeFailures,
//               FirstDelay, LongestDelay (failed logins), TicketLifetime (how long a
//               ticket for a further connection of a logged-in client stays good)
//
// Relative paths are taken from the configuration file's folder.

#include "platform/rpc/RpcLimits.h"
#include "platform/rpc/ServerLimits.h"
#include "server/db/ConnectionPool.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace orvane {

enum class DatabaseBackend { Sqlite, Postgres };

struct ServerConfig {
    std::string address = "0.0.0.0";
    std::uint16_t port = 211;
    std::size_t threads = 4;
    DatabaseBackend backend = DatabaseBackend::Sqlite;
    std::filesystem::path dataFolder;
    std::string connection;
    std::size_t poolSize = 8;
    std::chrono::minutes keepSaveAnswers{24 * 60};
    std::filesystem::path logFile;
    RpcLimits limits = requestLimits();
    ServerLimits serverLimits;

    // The frame limits of requests when the file sets none: a tighter element budget than
    // a client's, whose answers may be large.
    static RpcLimits requestLimits();

    // Reads the file; a key it lacks takes its default. Raises ConfigError naming the file when
    // there is none (a mistyped path must not start a server on a new, empty database that
    // listens on every address), and naming the key and the value for a value that cannot be used.
    static ServerConfig load(const std::filesystem::path& file);
};

// Makes connections to the configured database. SQLite: creates the data folder when missing.
ConnectionPool::Factory databaseFactory(const ServerConfig& config);

} // namespace orvane
