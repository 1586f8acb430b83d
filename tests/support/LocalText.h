#pragma once
// Source literals are UTF-8; the client holds texts in GBK, or Big5 under a traditional interface.

#include "platform/text/CodePage.h"

#include <string>
#include <string_view>

namespace orvane::test {

// A UTF-8 literal as the client holds it: GBK bytes.
inline std::string gbk(std::string_view utf8)
{
    return text::fromUtf8(utf8, text::CodePage::Gbk);
}

// A UTF-8 literal as Big5 bytes.
inline std::string big5(std::string_view utf8)
{
    return text::fromUtf8(utf8, text::CodePage::Big5);
}

// The installation's code page for one test, put back when it ends.
class InstallationCodePage {
public:
    explicit InstallationCodePage(text::CodePage codePage) { text::setInstallationCodePage(codePage); }
    InstallationCodePage(const InstallationCodePage&) = delete;
    InstallationCodePage& operator=(const InstallationCodePage&) = delete;
    ~InstallationCodePage() { text::setInstallationCodePage(saved_); }

private:
    text::CodePage saved_ = text::installationCodePage();
};

} // namespace orvane::test
