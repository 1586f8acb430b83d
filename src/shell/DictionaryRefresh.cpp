#include "shell/DictionaryRefresh.h"

#include "platform/data/DataSetError.h"
#include "platform/data/DataSetFile.h"
#include "platform/text/CodePage.h"
#include "services/LibSys.h"

#include <fstream>
#include <iterator>

namespace orvane {

namespace {

std::filesystem::path stampFile(const std::filesystem::path& folder, std::string_view langType)
{
    return folder / ("DD" + std::string(langType) + ".stamp");
}

std::string readStamp(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& file, const Variant& packet)
{
    DataSetFile out;
    out.packet = DataPacket::fromVariant(packet);
    out.codePage = static_cast<int>(text::installationCodePage());
    writeDataSetFile(file, out);
}

bool refresh(Dispatch& services, std::string_view companyId, std::string_view langType,
             const std::filesystem::path& folder)
{
    const std::filesystem::path stamp = stampFile(folder, langType);
    std::vector<Variant> args{"DataDictionary", Variant::arrayOf({std::string(companyId), ""}),
                              Variant::arrayOf({std::string(langType), readStamp(stamp)})};
    const Variant answer = services.invoke("GETCOUNTER", args);
    const int count = answer.isArray() && answer.dimensions() == 1 ? answer.highBound() - answer.lowBound() + 1 : 0;
    if (count != 1 && count != 4)
        throw PacketError("DataDictionary answered neither [fingerprint] nor [fingerprint, three packets]");
    const int low = answer.lowBound();
    if (count == 1)
        return false;
    std::filesystem::create_directories(folder);
    const char* prefixes[] = {"DDFD", "DDFM", "DDOBJ"};
    for (int i = 0; i < 3; ++i)
        writeFile(folder / (prefixes[i] + std::string(langType) + ".cds"), answer[low + 1 + i]);
    std::ofstream(stamp, std::ios::trunc) << answer[low].toString();
    return true;
}

} // namespace

bool refreshDictionary(Dispatch& services, std::string_view companyId, std::string_view langType,
                       const std::filesystem::path& folder)
{
    try {
        return refresh(services, companyId, langType, folder);
    } catch (const std::exception& e) {
        WriteLog("DataDictionary", std::string("the copies in ") + folder.string() + " stay as they are: " + e.what(),
                 "D");
        return false;
    }
}

} // namespace orvane
