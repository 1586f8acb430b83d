#include "services/HostSystem.h"

#include "platform/text/ByteText.h"

#include <array>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace orvane {

namespace {

// The name of the effective user from the user database. A process without an entry there (a
// container with an arbitrary uid) is named by its numeric uid, which is still a safe folder name.
std::string effectiveUserName()
{
    const uid_t uid = ::geteuid();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    return std::to_string(uid);
}

// The codeset named in a locale name such as "zh_TW.Big5@euro", or "" when it names none.
std::string_view codesetOfLocaleName(std::string_view name)
{
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return {};
    std::string_view codeset = name.substr(dot + 1);
    return codeset.substr(0, codeset.find('@'));
}

// The codeset of the locale the environment asks for. When that locale is not installed on this
// machine, the codeset written in its name still tells which code page the user works in.
std::string localeCodeset()
{
    if (locale_t locale = ::newlocale(LC_CTYPE_MASK, "", locale_t{}); locale != locale_t{}) {
        std::string codeset = ::nl_langinfo_l(CODESET, locale);
        ::freelocale(locale);
        return codeset;
    }
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
            return std::string(codesetOfLocaleName(value));
    }
    return {};
}

} // namespace

HostSystem HostSystem::current()
{
    HostSystem system;
    system.userName = text::cutToBytes(effectiveUserName(), maxUserName, text::CodePage::Utf8);
    system.ansiCodePage = codePageOfCodeset(localeCodeset());
    return system;
}

std::string codePageOfCodeset(std::string_view codeset)
{
    std::string key;
    for (char c : codeset) {
        if (c != '-' && c != '_')
            key += c;
    }
    key = text::upperCase(key, text::CodePage::Utf8);
    static constexpr std::array<std::string_view, 5> gbNames{"GBK", "GB2312", "GB18030", "EUCCN", "CP936"};
    static constexpr std::array<std::string_view, 3> big5Names{"BIG5", "BIG5HKSCS", "CP950"};
    for (std::string_view name : gbNames) {
        if (key == name)
            return "936";
    }
    for (std::string_view name : big5Names) {
        if (key == name)
            return "950";
    }
    return "65001";
}

} // namespace orvane
