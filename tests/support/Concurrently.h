#pragma once
// Runs one body on several threads at once and collects what failed, for the tests that start
// threads: a failure in a thread is reported by the test's thread, never lost or fatal.

#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvane::test {

// Runs body(0) .. body(count - 1) each on a thread of its own and waits for all; answers
// "thread i: message" for each body that threw (empty when all ran through).
inline std::vector<std::string> runConcurrently(int count, const std::function<void(int)>& body)
{
    std::vector<std::string> failures;
    std::mutex mutex;
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i) {
        threads.emplace_back([&, i] {
            try {
                body(i);
            } catch (const std::exception& e) {
                const std::lock_guard lock(mutex);
                failures.push_back("thread " + std::to_string(i) + ": " + e.what());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return failures;
}

} // namespace orvane::test
