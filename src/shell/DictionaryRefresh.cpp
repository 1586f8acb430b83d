#include "shell/DictionaryRefresh.h"

#include "platform/config/FileAccess.h"
#include "platform/config/LockFile.h"
#include "platform/data/DataSetError.h"
#include "services/DictionaryFiles.h"
#include "services/LibSys.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>

namespace orvane {

namespace {

// How long a login waits for another shell's refresh of the same copies before it goes on with
// the copies there are.
constexpr std::chrono::seconds lockPatience{20};

std::filesystem::path stampFile(const std::filesystem::path& folder, std::string_view langType)
{
    return folder / ("DD" + std::string(langType) + ".stamp");
}

// Takes the lock every shell refreshing the language's copies in this folder holds from reading the
// stamp to writing it, so that the files and the stamp always come from one refresh.
std::unique_ptr<LockFile> lockRefresh(const std::filesystem::path& folder, std::string_view langType)
{
    auto lock = std::make_unique<LockFile>(folder / ("DD" + std::string(langType) + ".lock"), 0644);
    switch (lock->take(lockPatience)) {
    case LockFile::State::Held: break;
    case LockFile::State::Unsupported:
        // A folder without locks (some network shares) keeps the refresh it had.
        WriteLog("DataDictionary", lock->path().string() + " cannot be locked, refreshing unlocked", "D");
        break;
    case LockFile::State::HeldElsewhere:
        throw std::runtime_error("another shell has held " + lock->path().string() + " for more than " +
                                 std::to_string(lockPatience.count()) + " seconds");
    }
    return lock;
}

// The stamp is the copies' code page, a blank, the company they belong to, a line break and the
// server's fingerprint of them.
std::string stampPrefix(text::CodePage codePage, std::string_view companyId)
{
    return std::to_string(static_cast<int>(codePage)) + ' ' + std::string(companyId) + '\n';
}

// The fingerprint of copies of the company whose texts are in codePage; empty for copies of
// another company or code page (or of no stamp), so that the server sends them again.
std::string fingerprint(const std::filesystem::path& stamp, const std::string& prefix)
{
    std::ifstream in(stamp);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return text.starts_with(prefix) ? text.substr(prefix.size()) : std::string();
}

// The copies are replaced one by one: the stamp goes first, so that copies left mixed by a
// refresh cut short are fetched again by the next login of any company, and comes back last.
void writeCopies(const Variant& answer, std::string_view langType, text::CodePage dataCodePage,
                 const std::filesystem::path& folder, const std::string& prefix)
{
    const std::filesystem::path stamp = stampFile(folder, langType);
    std::filesystem::remove(stamp);
    const int low = answer.lowBound();
    // The rows came through the server access, which gave their texts the data code page.
    const DictionaryFile files[] = {DictionaryFile::Fields, DictionaryFile::ValueLists, DictionaryFile::Objects};
    for (int i = 0; i < 3; ++i)
        saveDictionaryFile(folder / dictionaryFileName(files[i], langType),
                           DataPacket::fromVariant(answer[low + 1 + i]), dataCodePage);
    replaceFileAtomically(stamp, prefix + answer[low].toString());
}

bool refresh(Dispatch& services, std::string_view companyId, std::string_view langType, text::CodePage dataCodePage,
             const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    const auto lock = lockRefresh(folder, langType);
    const std::string prefix = stampPrefix(dataCodePage, companyId);
    std::vector<Variant> args{
        "DataDictionary", Variant::arrayOf({std::string(companyId), ""}),
        Variant::arrayOf({std::string(langType), fingerprint(stampFile(folder, langType), prefix)})};
    const Variant answer = services.invoke("GETCOUNTER", args);
    const int count = answer.isArray() && answer.dimensions() == 1 ? answer.highBound() - answer.lowBound() + 1 : 0;
    if (count != 1 && count != 4)
        throw PacketError("DataDictionary answered neither [fingerprint] nor [fingerprint, three packets]");
    if (count == 1)
        return false;
    writeCopies(answer, langType, dataCodePage, folder, prefix);
    return true;
}

} // namespace

bool refreshDictionary(Dispatch& services, std::string_view companyId, std::string_view langType,
                       text::CodePage dataCodePage, const std::filesystem::path& folder)
{
    try {
        return refresh(services, companyId, langType, dataCodePage, folder);
    } catch (const std::exception& e) {
        WriteLog("DataDictionary", std::string("the copies in ") + folder.string() + " were not refreshed: " + e.what(),
                 "D");
        return false;
    }
}

} // namespace orvane
