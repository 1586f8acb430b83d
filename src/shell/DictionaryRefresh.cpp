#include "shell/DictionaryRefresh.h"

#include "platform/data/DataSetError.h"
#include "services/DictionaryFiles.h"
#include "services/LibSys.h"

#include <fstream>
#include <iterator>

namespace orvane {

namespace {

std::filesystem::path stampFile(const std::filesystem::path& folder, std::string_view langType)
{
    return folder / ("DD" + std::string(langType) + ".stamp");
}

// The stamp is the copies' code page, a blank and the server's fingerprint of them.
std::string stampPrefix(text::CodePage codePage)
{
    return std::to_string(static_cast<int>(codePage)) + ' ';
}

// The fingerprint of copies whose texts are in codePage; empty for copies in another one (the
// data code page changed, or they were labelled wrongly), so that the server sends them again.
std::string fingerprint(const std::filesystem::path& stamp, text::CodePage codePage)
{
    std::ifstream in(stamp);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string prefix = stampPrefix(codePage);
    return text.starts_with(prefix) ? text.substr(prefix.size()) : std::string();
}

bool refresh(Dispatch& services, std::string_view companyId, std::string_view langType, text::CodePage dataCodePage,
             const std::filesystem::path& folder)
{
    const std::filesystem::path stamp = stampFile(folder, langType);
    std::vector<Variant> args{"DataDictionary", Variant::arrayOf({std::string(companyId), ""}),
                              Variant::arrayOf({std::string(langType), fingerprint(stamp, dataCodePage)})};
    const Variant answer = services.invoke("GETCOUNTER", args);
    const int count = answer.isArray() && answer.dimensions() == 1 ? answer.highBound() - answer.lowBound() + 1 : 0;
    if (count != 1 && count != 4)
        throw PacketError("DataDictionary answered neither [fingerprint] nor [fingerprint, three packets]");
    const int low = answer.lowBound();
    if (count == 1)
        return false;
    std::filesystem::create_directories(folder);
    // The rows came through the server access, which gave their texts the data code page.
    const DictionaryFile files[] = {DictionaryFile::Fields, DictionaryFile::ValueLists, DictionaryFile::Objects};
    for (int i = 0; i < 3; ++i)
        saveDictionaryFile(folder / dictionaryFileName(files[i], langType),
                           DataPacket::fromVariant(answer[low + 1 + i]), dataCodePage);
    std::ofstream(stamp, std::ios::trunc) << stampPrefix(dataCodePage) << answer[low].toString();
    return true;
}

} // namespace

bool refreshDictionary(Dispatch& services, std::string_view companyId, std::string_view langType,
                       text::CodePage dataCodePage, const std::filesystem::path& folder)
{
    try {
        return refresh(services, companyId, langType, dataCodePage, folder);
    } catch (const std::exception& e) {
        WriteLog("DataDictionary", std::string("the copies in ") + folder.string() + " stay as they are: " + e.what(),
                 "D");
        return false;
    }
}

} // namespace orvane
