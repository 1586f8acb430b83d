#pragma once
// Runs login checks (password hashing, slow on purpose) on threads of their own, so
// that a flood of logins cannot occupy the threads that answer requests. The queue is
// bounded: a check submitted while it is full is refused at once. Thread-safe.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane {

class LoginQueue {
public:
    LoginQueue(std::size_t threads, std::size_t capacity);
    LoginQueue(const LoginQueue&) = delete;
    LoginQueue& operator=(const LoginQueue&) = delete;
    ~LoginQueue();

    // Queues `check`; false when the queue is full or stopped.
    bool submit(std::function<void()> check);
    // Drops the checks not yet started and waits for the running ones.
    void stop();

private:
    void run();

    std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> checks_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace orvane
