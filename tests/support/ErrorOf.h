#pragma once
// The text of the exception a piece of work raises, for tests that check error messages.

#include <exception>
#include <functional>
#include <string>

namespace orvane::test {

// The text of the exception work raises, or "" when it raises none. An exception of another
// type than Error goes on, failing the test.
template <typename Error = std::exception>
std::string errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

} // namespace orvane::test
