#pragma once
// A converter on a real host configuration (settings file, client folder, OrvaneC.ini with the
// given code pages) and a host object with the Language file's tables.

#include "LanguageHost.h"
#include "platform/text/CodePage.h"
#include "services/CodeConverter.h"
#include "support/EnvironmentGuard.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>

namespace orvane::test {

// Byte strings of the two code pages from UTF-8 literals.
inline std::string gb(std::string_view utf8)
{
    return text::fromUtf8(utf8, text::CodePage::Gbk);
}
inline std::string big5(std::string_view utf8)
{
    return text::fromUtf8(utf8, text::CodePage::Big5);
}

struct ConverterFixture {
    // A converter configured with the two code pages on a machine of the system code page.
    explicit ConverterFixture(const std::string& uiCodePage, const std::string& dbCodePage = "936",
                              std::map<std::string, std::string> messages = {})
        : host(std::make_shared<LanguageHost>(std::move(messages)))
    {
        std::filesystem::create_directories(temp / "client");
        writeFile(temp / "settings.ini", "[Software\\ZTK\\Orvane]\nClientPath=" + (temp / "client").string() + "\n");
        writeFile(temp / "client" / "OrvaneC.ini",
                  "[CodePage]\nUICodePage=" + uiCodePage + "\nDBCodePage=" + dbCodePage + "\n");
        converter.ReadConfiguration(TOrvaneIniC(temp / "settings.ini", HostSystem{"clerk", "936"}));
        converter.setHostObject(Variant(DispatchPtr(host)));
    }

    TempFolder temp;
    std::shared_ptr<LanguageHost> host;
    TCodeConverter converter;
};

} // namespace orvane::test
