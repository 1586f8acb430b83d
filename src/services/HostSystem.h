#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The facts about this machine and process that the host configuration takes from the operating
// system: who runs the client and which code page the system's locale speaks.
struct HostSystem {
    // At most this many bytes of the user name are kept; longer names are cut.
    static constexpr std::size_t maxUserName = 32;

    std::string userName;     // login name of the process's effective user, at most maxUserName bytes
    std::string ansiCodePage; // the locale's code page as decimal text: "936", "950" or "65001"

    // The facts of the running process. Reads the user database and the locale environment
    // (LC_ALL, LC_CTYPE, LANG) without changing the process's locale; callable from any thread.
    static HostSystem current();
};

// The code page of a locale codeset name as decimal text: GBK, GB2312, GB18030 (and the aliases
// EUC-CN, CP936) give "936"; BIG5, BIG5-HKSCS (and CP950) give "950"; any other codeset, UTF-8
// included, gives "65001". Case, "-" and "_" are ignored.
std::string codePageOfCodeset(std::string_view codeset);

} // namespace orvane
