#include "server/app/DictionaryImport.h"

#include "platform/data/DataSetFile.h"
#include "platform/text/CodePage.h"
#include "server/services/DictionaryMethods.h"

#include <algorithm>

namespace orvane {

namespace {

DataPacket readUtf8(const std::filesystem::path& file)
{
    DataSetFile read = readDataSetFile(file);
    const auto from = text::codePageFromNumber(read.codePage).value_or(text::CodePage::Gbk);
    for (PacketRow& row : read.packet.rows) {
        for (Variant& value : row.values) {
            if (value.isString())
                value = text::toUtf8(value.toString(), from);
        }
    }
    return std::move(read.packet);
}

} // namespace

std::vector<std::string> importDictionaryFolder(Database& db, std::string_view companyDb,
                                                const std::filesystem::path& folder)
{
    std::vector<std::string> languages;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("DDFD") && name.ends_with(".cds"))
            languages.push_back(name.substr(4, name.size() - 8));
    }
    std::sort(languages.begin(), languages.end());
    std::erase_if(languages, [&folder](const std::string& language) {
        return !std::filesystem::exists(folder / ("DDFM" + language + ".cds")) ||
               !std::filesystem::exists(folder / ("DDOBJ" + language + ".cds"));
    });
    for (const std::string& language : languages) {
        const DictionaryPackets packets{readUtf8(folder / ("DDFD" + language + ".cds")),
                                        readUtf8(folder / ("DDFM" + language + ".cds")),
                                        readUtf8(folder / ("DDOBJ" + language + ".cds"))};
        importDictionary(db, companyDb, language, packets);
    }
    return languages;
}

} // namespace orvane
