#include "platform/text/Format.h"

#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace orvane::test {
namespace {

using namespace orvane::text;

struct FormatCase {
    const char* fmt;
    std::vector<Variant> args;
    const char* expected;
};

TEST(FormatTest, ConversionsTheCallersWrite)
{
    const FormatCase cases[] = {
        {"[%s]程序不存在!", {"TAVI52"}, "[TAVI52]程序不存在!"},
        {"%s|%s|%s|%s", {Variant(), Variant::null(), 1.5, true}, "||1.5|True"},
        {"%d", {"17"}, "17"},
        {"%.4d", {-5}, "-0005"},
        {"%.*d", {2, 7}, "07"},
        {"%.4d:%.2d:%.2d", {1, 2, 3}, "0001:02:03"},
        {"%d", {std::numeric_limits<std::int64_t>::min()}, "-9223372036854775808"},
        {"%3.2f%%", {5.0}, "5.00%"},
        {"%10.*f|", {0, -1234.5}, "     -1235|"},
        {"%f", {"3.14159"}, "3.14"},
        {"%-10s|", {"TC004"}, "TC004     |"},
        {"%10s|", {"TC004"}, "     TC004|"},
        {"%*s|", {-4, "a"}, "a   |"},
        {"%.3s", {"A\xBF\xCD\xBB\xA7"}, "A\xBF\xCD"}, // never half a character
        {"%.4x", {255}, "00FF"},
        {"%x", {-1}, "FFFFFFFFFFFFFFFF"},
        {"100%%", {}, "100%"},
        {"no conversions", {1, 2}, "no conversions"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format(c.fmt, c.args), c.expected) << c.fmt;
}

// The error text must name what went wrong and where.
TEST(FormatTest, BadFormatsAndArgumentsGiveClearErrors)
{
    struct ErrorCase {
        const char* fmt;
        std::vector<Variant> args;
        bool conversionError; // ConversionError, else FormatError
        const char* mentions;
    };
    const ErrorCase cases[] = {
        {"%d", {1.5}, true, "argument 1 (Float 1.5) is not an integer for '%d'"},
        {"%s %.2d", {"a", "1.5"}, true, "argument 2 (String '1.5') is not an integer for '%.2d'"},
        {"%d", {Variant::null()}, true, "(Null) is not an integer"},
        {"%f", {"abc"}, true, "argument 1 (String 'abc') is not a number for '%f'"},
        {"%.*d", {"x", 1}, true, "is not an integer for '%.*'"},
        {"%s", {Variant::arrayOf({1})}, true, "(Array) is not a text"},
        {"%s and %s", {"a"}, false, "no argument left for '%s' (1 given)"},
        {"%d", {}, false, "format '%d': no argument left"},
        {"%q", {1}, false, "unknown conversion '%q'"},
        {"%1:s", {1}, false, "unknown conversion '%1:'"},
        {"50%", {}, false, "incomplete conversion '%' at the end"},
        {"%.2", {1}, false, "incomplete conversion"},
        {"%99999999999d", {1}, false, "exceeds 1024"},
        {"%*d", {5000, 1}, false, "exceeds 1024"},
    };
    for (const auto& c : cases) {
        const auto work = [&] { format(c.fmt, c.args); };
        const std::string error = c.conversionError ? errorOf<ConversionError>(work) : errorOf<FormatError>(work);
        EXPECT_TRUE(contains(error, c.mentions)) << c.fmt;
    }
}

} // namespace
} // namespace orvane::test
