#pragma once
// Whether a text holds a part, as an assertion whose failure shows the whole text.

#include <gtest/gtest.h>

#include <string_view>

namespace orvane::test {

// EXPECT_TRUE(contains(error, "exceeds the limit")): a failure prints the text that lacked the part.
inline ::testing::AssertionResult contains(std::string_view text, std::string_view part)
{
    if (text.find(part) != std::string_view::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" does not contain \"" << part << "\"";
}

} // namespace orvane::test
