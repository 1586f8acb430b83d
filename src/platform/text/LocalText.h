#pragma once
// Source literals in the installation's code page.
//
// Source files are UTF-8; the client works in the installation's code page. Write
// a literal text as LOCAL_TEXT(u8"客户订单录入作业"): the result is a
// `const std::string&` in the installation code page, converted once per call site
// at its first use (and once more only if the installation code page changes).
// Thread-safe.

#include "platform/text/CodePage.h"

#include <array>
#include <mutex>
#include <string>
#include <string_view>

namespace orvane::text {

// One literal and its conversions; LOCAL_TEXT keeps one per call site.
class LocalLiteral {
public:
    explicit LocalLiteral(std::u8string_view utf8) noexcept : utf8_(utf8) {}
    LocalLiteral(const LocalLiteral&) = delete;
    LocalLiteral& operator=(const LocalLiteral&) = delete;

    // The literal in the current installation code page.
    const std::string& get();

private:
    std::u8string_view utf8_;              // the literal as written in the source
    std::array<std::once_flag, 3> once_;   // one conversion per code page
    std::array<std::string, 3> converted_; // the literal per code page (936, 950, UTF-8)
};

} // namespace orvane::text

// The UTF-8 literal `u8literal` in the installation code page (const std::string&).
#define LOCAL_TEXT(u8literal)                                                                                          \
    ([]() -> const std::string& {                                                                                      \
        static ::orvane::text::LocalLiteral localLiteral{u8literal};                                                   \
        return localLiteral.get();                                                                                     \
    }())
