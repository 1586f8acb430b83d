#include "platform/text/CodePage.h"

#include "platform/text/ByteText.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace orvane::text {
namespace {

std::atomic<CodePage> installation{CodePage::Gbk};

const iconv_t noHandle = reinterpret_cast<iconv_t>(-1);

std::size_t slot(CodePage codePage)
{
    switch (codePage) {
    case CodePage::Gbk: return 0;
    case CodePage::Big5: return 1;
    case CodePage::Utf8: break;
    }
    return 2;
}

const char* iconvName(CodePage codePage)
{
    static constexpr std::array<const char*, 3> names{"GBK", "BIG5", "UTF-8"};
    return names[slot(codePage)];
}

// The iconv handles of one thread, opened on first use and closed when the thread ends.
class IconvCache {
public:
    IconvCache() { handles_.fill(noHandle); }
    IconvCache(const IconvCache&) = delete;
    IconvCache& operator=(const IconvCache&) = delete;
    ~IconvCache()
    {
        for (iconv_t handle : handles_)
            if (handle != noHandle)
                iconv_close(handle);
    }

    // A handle for the conversion, reset to its initial state.
    iconv_t get(CodePage from, CodePage to)
    {
        iconv_t& handle = handles_[slot(from) * 3 + slot(to)];
        if (handle == noHandle) {
            handle = iconv_open(iconvName(to), iconvName(from));
            if (handle == noHandle)
                throw CodePageError(std::string("the conversion from ") + iconvName(from) + " to " + iconvName(to) +
                                    " is not available: " + std::strerror(errno));
        }
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        return handle;
    }

private:
    std::array<iconv_t, 9> handles_;
};

bool isTrailByte(unsigned char byte, CodePage codePage)
{
    if (byte >= 0x40 && byte <= 0x7E)
        return true;
    return codePage == CodePage::Gbk ? byte >= 0x80 && byte <= 0xFE : byte >= 0xA1 && byte <= 0xFE;
}

// Bytes to skip at a sequence iconv refused: a whole double-byte code when it has
// the shape of one, a whole UTF-8 character, otherwise one byte.
std::size_t refusedLength(std::string_view rest, CodePage from)
{
    if (from == CodePage::Utf8)
        return characterLength(rest, 0, from);
    if (rest.size() >= 2 && isLeadByte(rest[0], from) && isTrailByte(static_cast<unsigned char>(rest[1]), from))
        return 2;
    return 1;
}

// One iconv pass; one side of the conversion is UTF-8.
std::string convertDirect(std::string_view text, CodePage from, CodePage to)
{
    thread_local IconvCache cache;
    iconv_t handle = cache.get(from, to);

    // Three output bytes per input byte cover every case (0x80 in 936 is the euro sign).
    std::string out(text.size() * 3 + 4, '\0');
    std::size_t written = 0;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* outPtr = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        written = static_cast<std::size_t>(outPtr - out.data());
        if (result != static_cast<std::size_t>(-1))
            break;
        if (error == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (written == out.size())
            out.resize(out.size() * 2);
        out[written++] = '?';
        const std::size_t skip = error == EINVAL ? inLeft : refusedLength({in, inLeft}, from);
        in += skip;
        inLeft -= skip;
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(written);
    return out;
}

} // namespace

CodePage installationCodePage() noexcept
{
    return installation.load(std::memory_order_relaxed);
}

void setInstallationCodePage(CodePage codePage) noexcept
{
    installation.store(codePage, std::memory_order_relaxed);
}

std::optional<CodePage> codePageFromNumber(int number) noexcept
{
    for (CodePage codePage : {CodePage::Gbk, CodePage::Big5, CodePage::Utf8})
        if (static_cast<int>(codePage) == number)
            return codePage;
    return std::nullopt;
}

std::string convert(std::string_view text, CodePage from, CodePage to)
{
    // Every code page here keeps ASCII as it is, and most texts of a data packet are codes,
    // numbers and dates.
    const auto ascii = [](std::string_view bytes) {
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (from == to || ascii(text))
        return std::string(text);
    if (from == CodePage::Utf8 || to == CodePage::Utf8)
        return convertDirect(text, from, to);
    return convertDirect(convertDirect(text, from, CodePage::Utf8), CodePage::Utf8, to);
}

std::string toUtf8(std::string_view text, CodePage from)
{
    return convert(text, from, CodePage::Utf8);
}

std::string fromUtf8(std::string_view utf8, CodePage to)
{
    return convert(utf8, CodePage::Utf8, to);
}

std::string localToUtf8(std::string_view text)
{
    return toUtf8(text, installationCodePage());
}

std::string utf8ToLocal(std::string_view utf8)
{
    return fromUtf8(utf8, installationCodePage());
}

} // namespace orvane::text
