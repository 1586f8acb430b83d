#pragma once
// Source literals are UTF-8; the client holds texts in GBK.

#include "platform/text/CodePage.h"

#include <string>
#include <string_view>

namespace orvane::test {

// A UTF-8 literal as the client holds it: GBK bytes.
inline std::string gbk(std::string_view utf8)
{
    return text::fromUtf8(utf8, text::CodePage::Gbk);
}

} // namespace orvane::test
