#pragma once
// A small pool of connections for the server's threads. acquire() lends a connection
// for the length of a lease and waits while all of them are lent; a returned
// connection that is broken or still inside a transaction is closed instead of
// being lent again (closing rolls the transaction back), and so is an idle one found
// dead when it is about to be lent (Database::alive).
//
// Threads: acquire() may be called from any thread; a lease and its connection belong
// to the thread that holds it. The pool must outlive its leases.

#include "server/db/Database.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace orvane {

class ConnectionPool {
public:
    using Factory = std::function<std::unique_ptr<Database>()>;

    // Connections are made by factory when needed, at most maxSize at a time.
    ConnectionPool(Factory factory, std::size_t maxSize);
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    class Lease {
    public:
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        Database& operator*() const { return *db_; }
        Database* operator->() const { return db_.get(); }

    private:
        friend class ConnectionPool;
        Lease(ConnectionPool* pool, std::unique_ptr<Database> db) : pool_(pool), db_(std::move(db)) {}
        ConnectionPool* pool_;
        std::unique_ptr<Database> db_;
    };

    // Lends a connection; raises DbError when a new connection cannot be made.
    Lease acquire();
    // Connections currently open (lent or idle).
    std::size_t openCount() const;

private:
    void giveBack(std::unique_ptr<Database> db);

    Factory factory_;
    std::size_t maxSize_;
    mutable std::mutex mutex_;
    std::condition_variable available_;
    std::vector<std::unique_ptr<Database>> idle_;
    std::size_t open_ = 0;
};

} // namespace orvane
