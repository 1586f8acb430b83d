#pragma once
// Code pages of the byte strings inside the client, and conversions between them.
//
// Text inside the client is a byte string in the installation's code page (936 GBK
// by default, 950 Big5); UTF-8 is used only at the edges (source literals, widgets,
// the wire, the database). Conversions go through glibc's iconv ("GBK", whose table
// is the Windows 936 one including 0x80 = euro sign, and "BIG5", which glibc also
// names "CP950"). Every function here may be called from any thread: iconv handles
// are cached per thread.
//
// Bad input never raises: a byte sequence that is not a character of the source
// code page, and a character the target code page cannot hold, are each replaced by
// one "?" and the conversion goes on with the next character. A double-byte code
// without a mapping (a lead byte followed by a valid trail byte) counts as one
// character, so its trail byte never surfaces as an ASCII character.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane::text {

// The system cannot convert between two code pages (its iconv lacks one of them).
class CodePageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class CodePage { Gbk = 936, Big5 = 950, Utf8 = 65001 };

// The code page of the byte strings of this installation; 936 until set.
// Set it once at start-up, before any text is converted.
CodePage installationCodePage() noexcept;
void setInstallationCodePage(CodePage codePage) noexcept;

// The code page numbered 936, 950 or 65001 (as configuration files write them);
// nullopt for any other number.
std::optional<CodePage> codePageFromNumber(int number) noexcept;

// Converts text from one code page to another (see above for bad input). Text
// in the same code page on both sides is returned unchanged. Raises
// CodePageError only when the system's iconv lacks the code page.
std::string convert(std::string_view text, CodePage from, CodePage to);

// Shorthands for the edges.
std::string toUtf8(std::string_view text, CodePage from);
std::string fromUtf8(std::string_view utf8, CodePage to);

// Installation code page <-> UTF-8.
std::string localToUtf8(std::string_view text);
std::string utf8ToLocal(std::string_view utf8);

} // namespace orvane::text
