#include "platform/text/Base64.h"

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

using namespace orvane::text;

TEST(Base64Test, TheStandardVectorsAndEveryByteValueBothWays)
{
    const std::pair<std::string_view, std::string_view> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string_view("\xff\xfe\x00?", 4), "//4APw=="},
    };
    for (const auto& [bytes, text] : vectors) {
        const std::string raw(bytes);
        EXPECT_EQ(toBase64(raw), text);
        EXPECT_EQ(fromBase64(text), raw) << text;
    }
    // Every byte value, so every letter of the alphabet.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(fromBase64(toBase64(all)), all);
}

TEST(Base64Test, TextThatIsNotBase64IsRefused)
{
    for (const char* text : {"Zg=", "Zm9v\n", "Zm9-", "Z===", "Zg=a", "=Zm8", "Zg==Zg==", "Zm 9"})
        EXPECT_EQ(fromBase64(text), std::nullopt) << text;
}

} // namespace
} // namespace orvane::test
