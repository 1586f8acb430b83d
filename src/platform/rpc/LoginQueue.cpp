#include "platform/rpc/LoginQueue.h"

#include <algorithm>

namespace orvane {

LoginQueue::LoginQueue(std::size_t threads, std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
{
    for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i)
        threads_.emplace_back([this] { run(); });
}

LoginQueue::~LoginQueue()
{
    stop();
}

bool LoginQueue::submit(std::function<void()> check)
{
    {
        const std::lock_guard lock(mutex_);
        if (stopping_ || checks_.size() >= capacity_)
            return false;
        checks_.push_back(std::move(check));
    }
    ready_.notify_one();
    return true;
}

void LoginQueue::stop()
{
    std::deque<std::function<void()>> dropped; // destroyed outside the lock
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        dropped.swap(checks_);
    }
    ready_.notify_all();
    for (auto& thread : threads_)
        if (thread.joinable())
            thread.join();
}

void LoginQueue::run()
{
    for (;;) {
        std::function<void()> check;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !checks_.empty(); });
            if (stopping_)
                return;
            check = std::move(checks_.front());
            checks_.pop_front();
        }
        check();
    }
}

} // namespace orvane
