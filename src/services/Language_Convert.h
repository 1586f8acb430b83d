#pragma once
// Language_Convert: the Language file's Big5 and GB character tables, loaded once per process,
// and the conversions between the two code pages the shell's host object answers with.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Entries of each table: one per double-byte code of the lead-byte rows 0xA1..0xFE, 157 codes a
// row in Big5 (trail bytes 0x40..0x7E, 0xA1..0xFE) and 94 in GB (trail bytes 0xA1..0xFE).
inline constexpr std::size_t big5TableSize = 94 * 157;
inline constexpr std::size_t gbTableSize = 94 * 94;

// Table index of a Big5 code, or nothing when the bytes are not a Big5 code of the table's rows.
std::optional<std::size_t> big5Index(unsigned char first, unsigned char second) noexcept;
// Table index of a GB code, or nothing when the bytes are not a GB code of the table's rows.
std::optional<std::size_t> gbIndex(unsigned char first, unsigned char second) noexcept;
// The code (high byte first) at a table index below the table size; the inverse of the above.
std::uint16_t big5CodeAt(std::size_t index) noexcept;
std::uint16_t gbCodeAt(std::size_t index) noexcept;

// Receives the notice that the Language file is missing or unreadable: `message` in the
// installation code page, for the user; `file` names the file looked for.
using LanguageNotice = std::function<void(const std::string& message, const std::string& file)>;

// Installs the receiver of Language file notices (the user interface shows a message box); an
// empty function restores the default, which writes the notice to standard error. Thread-safe; the
// receiver runs on the thread that triggers the load, after the load, and may itself convert texts.
void setLanguageNotice(LanguageNotice notice);

// The Big5 -> GB and GB -> Big5 character tables of a Language file, and the two conversions.
//
// File format: lines starting with "[" and blank lines are skipped; a line starting with "BIG5" is
// the next entry of the Big5 table, a line starting with "GB" the next entry of the GB table; the
// text after its first "=" is the target code as four hexadecimal digits, high byte first. A
// malformed entry keeps its place in its table (so later entries keep their codes) but converts
// nothing; it is counted in malformedLines().
//
// Immutable once built: any thread may convert with the same object.
class LanguageTables {
public:
    // Empty tables: conversions return their text unchanged.
    LanguageTables() = default;

    // Tables from the text of a Language file.
    static LanguageTables parse(std::string_view content);
    // Tables from a Language file. A missing file is reported through the notice receiver and
    // gives empty tables; a file that exists but cannot be read raises ConfigError naming it.
    static LanguageTables load(const std::filesystem::path& file);
    // The tables of this process, loaded on first use (thread-safe) from the client folder's
    // Language file; any failure is reported once through the notice receiver and leaves them empty.
    static const LanguageTables& forProcess();

    // The text with every double-byte character found in the Big5 table replaced by its GB code;
    // every other byte, and every double-byte character without an entry, copied unchanged.
    std::string big5ToGb(std::string_view text) const;
    // The text with every double-byte character found in the GB table replaced by its Big5 code.
    std::string gbToBig5(std::string_view text) const;

    std::size_t big5Entries() const { return big5_.size(); }
    std::size_t gbEntries() const { return gb_.size(); }
    // Lines that are neither skipped nor usable entries (bad value, unknown prefix, beyond a table).
    std::size_t malformedLines() const { return malformedLines_; }

private:
    void addLine(std::string_view line);

    std::vector<std::uint16_t> big5_; // GB code per Big5 index; 0 = no conversion
    std::vector<std::uint16_t> gb_;   // Big5 code per GB index; 0 = no conversion
    std::size_t malformedLines_ = 0;  // lines that gave no entry
};

} // namespace orvane
