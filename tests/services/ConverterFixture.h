#pragma once
// A converter on a real host configuration (settings file, client folder, OrvaneC.ini with the
// given code pages) and a host object with the Language file's tables.

#include "LanguageHost.h"
#include "platform/text/CodePage.h"
#include "services/CodeConverter.h"
#include "support/LocalText.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>

namespace orvane::test {

struct ConverterFixture {
    // A converter configured with the two code pages on a machine of the system code page.
    explicit ConverterFixture(const std::string& uiCodePage, const std::string& dbCodePage = "936",
                              std::map<std::string, std::string> messages = {})
        : host(std::make_shared<LanguageHost>(std::move(messages)))
    {
        writeFile(temp / "settings.ini", "[Software\\ZTK\\Orvane]\nClientPath=" + (temp / "client").string() + "\n");
        configure(uiCodePage, dbCodePage);
        converter.setHostObject(Variant(DispatchPtr(host)));
    }
    // Reads the configuration again with these code pages and interface language.
    void configure(const std::string& uiCodePage, const std::string& dbCodePage = "936",
                   const std::string& langType = "CHS")
    {
        temp.write("client/OrvaneC.ini", "[CodePage]\nUICodePage=" + uiCodePage + "\nDBCodePage=" + dbCodePage +
                                             "\n[Client Components]\nLangType=" + langType + "\n");
        converter.ReadConfiguration(TOrvaneIniC(temp / "settings.ini", HostSystem{"clerk", "936"}));
    }

    TempFolder temp;
    std::shared_ptr<LanguageHost> host;
    TCodeConverter converter;
};

} // namespace orvane::test
