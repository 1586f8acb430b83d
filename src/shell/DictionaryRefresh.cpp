#include "shell/DictionaryRefresh.h"

#include "platform/config/FileAccess.h"
#include "platform/data/DataSetError.h"
#include "services/DictionaryFiles.h"
#include "services/LibSys.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace orvane {

namespace {

// How long a login waits for another shell's refresh of the same copies before it goes on with
// the copies there are.
constexpr std::chrono::seconds lockPatience{20};

std::filesystem::path stampFile(const std::filesystem::path& folder, std::string_view langType)
{
    return folder / ("DD" + std::string(langType) + ".stamp");
}

// The lock every shell refreshing the language's copies in this folder holds from reading the stamp
// to writing it, so that the files and the stamp always come from one refresh.
class RefreshLock {
public:
    RefreshLock(const std::filesystem::path& folder, std::string_view langType)
    {
        const std::filesystem::path file = folder / ("DD" + std::string(langType) + ".lock");
        fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw std::runtime_error("the lock " + file.string() + " cannot be opened: " + std::strerror(errno));
        const auto giveUp = std::chrono::steady_clock::now() + lockPatience;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) {
                // A folder without locks (some network shares) keeps the refresh it had.
                WriteLog("DataDictionary",
                         file.string() + " cannot be locked, refreshing unlocked: " + std::strerror(errno), "D");
                return;
            }
            if (std::chrono::steady_clock::now() >= giveUp) {
                ::close(fd_);
                throw std::runtime_error("another shell has held " + file.string() + " for more than " +
                                         std::to_string(lockPatience.count()) + " seconds");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    RefreshLock(const RefreshLock&) = delete;
    RefreshLock& operator=(const RefreshLock&) = delete;
    ~RefreshLock() { ::close(fd_); }

private:
    int fd_ = -1;
};

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
    const RefreshLock lock(folder, langType);
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
