#include "server/db/ConnectionPool.h"

#include "server/db/DbError.h"

namespace orvane {

ConnectionPool::ConnectionPool(Factory factory, std::size_t maxSize)
    : factory_(std::move(factory)), maxSize_(maxSize == 0 ? 1 : maxSize)
{}

ConnectionPool::Lease::Lease(Lease&& other) noexcept : pool_(other.pool_), db_(std::move(other.db_)) {}

ConnectionPool::Lease::~Lease()
{
    if (db_)
        pool_->giveBack(std::move(db_));
}

ConnectionPool::Lease ConnectionPool::acquire()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        available_.wait(lock, [this] { return !idle_.empty() || open_ < maxSize_; });
        if (idle_.empty())
            break;
        auto db = std::move(idle_.back());
        idle_.pop_back();
        lock.unlock();
        if (db->alive())
            return Lease(this, std::move(db));
        db.reset(); // ended by the server while idle: its place is taken by another or a new one
        lock.lock();
        --open_;
    }
    ++open_;
    lock.unlock();
    try {
        return Lease(this, factory_());
    } catch (...) {
        lock.lock();
        --open_;
        available_.notify_one();
        throw;
    }
}

std::size_t ConnectionPool::openCount() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

void ConnectionPool::giveBack(std::unique_ptr<Database> db)
{
    const bool reusable = db->usable();
    if (!reusable)
        db.reset();
    std::lock_guard lock(mutex_);
    if (reusable)
        idle_.push_back(std::move(db));
    else
        --open_;
    available_.notify_one();
}

} // namespace orvane
