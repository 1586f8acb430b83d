#pragma once
// The client's copies of the data dictionary (DDFD, DDFM and DDOBJ + language + ".cds" in the
// C_DATA folder) brought up to date with the server's tables at login, in one call: the shell
// sends the fingerprint of its copies (kept beside them in "DD" + language + ".stamp", after the
// code page the copies were written in and the company they belong to: copies of another code
// page or company are fetched again) and the server answers with new rows only when its own
// differ. Every company logging in from the client folder shares the copies, so a refresh holds
// the lock "DD" + language + ".lock" throughout; it removes the stamp, replaces the files whole and
// writes the stamp last, so a refresh cut short is repeated at the next login. A failure is
// logged ("DataDictionary") and never stops the login: the programs then use the copies there
// are. No Qt; client thread.

#include "platform/text/CodePage.h"
#include "platform/variant/Dispatch.h"

#include <filesystem>
#include <string_view>

namespace orvane {

// Answers whether the copies were rewritten. services answers in dataCodePage, which the copies
// are marked with.
bool refreshDictionary(Dispatch& services, std::string_view companyId, std::string_view langType,
                       text::CodePage dataCodePage, const std::filesystem::path& folder);

} // namespace orvane
