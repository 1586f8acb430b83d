#pragma once
// The demo dictionary installed in a test client (folder/client) and its interface language
// switched: what the order window's language tests and the screenshot share.

#include "support/TempFolder.h"

#include <filesystem>
#include <string>

namespace orvane::test {

// Copies the demo dictionary files into the client's C_DATA folder (once) and sets LangType in
// its OrvaneC.ini.
inline void useInterfaceLanguage(const std::filesystem::path& folder, const std::string& language)
{
    const std::filesystem::path client = folder / "client";
    if (!std::filesystem::exists(client / "C_DATA" / "DDOBJCHS.cds"))
        std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, client / "C_DATA",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path ini = client / "OrvaneC.ini";
    std::string text = readFile(ini);
    const std::size_t at = text.find("LangType=");
    text.replace(at, text.find('\n', at) - at, "LangType=" + language);
    writeFile(ini, text);
}

} // namespace orvane::test
