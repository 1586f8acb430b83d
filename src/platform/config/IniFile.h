#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// An INI configuration file held in memory, read and edited by section and key, and saved back with
// every untouched line (comments, blank lines, order, line endings) as it was written.
//
// Format: "[Section]" headers, "key=value" entries, comment lines starting with ";" or "#", blank
// lines. Names and values are trimmed of surrounding blanks; a value may contain "=" and ";" (there
// are no trailing comments, since values such as address lists use ";"). A value wrapped in one pair
// of double quotes is read without them, so a value can keep surrounding blanks. Section and key
// names match without regard to ASCII case, as the classic INI API does; the bytes of double-byte
// characters (code pages 936 and 950) are never case-folded. Texts are byte strings in the file's own
// code page and are not transcoded.
//
// Duplicates: when a key appears more than once in a section, the first one wins for reads and is the
// one writes change. A section header that appears again continues the same section. Lines that are
// neither a header, an entry, a comment nor blank, and entries before the first header, are kept on
// save but are not readable.
//
// Not thread-safe: one thread uses an object at a time.
class IniFile {
public:
    // Loads `path`; a missing file gives an empty file. Throws ConfigError naming the path when the
    // file exists but cannot be read.
    explicit IniFile(std::filesystem::path path);

    // The file this object was loaded from and saves to.
    const std::filesystem::path& path() const { return path_; }

    // The value of `key` in `section`, or `fallback` when there is none.
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback = {}) const;
    // The value as a decimal integer, or `fallback` when missing, not a number or out of range.
    int readInteger(std::string_view section, std::string_view key, int fallback) const;
    // "1", "Y", "YES", "TRUE" are true and "0", "N", "NO", "FALSE" false, in any case; anything
    // else, or a missing key, gives `fallback`.
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;
    // Whether a header of `section` is present (even when the section has no entries).
    bool sectionExists(std::string_view section) const;
    // Whether `section` has an entry `key` (even with an empty value).
    bool keyExists(std::string_view section, std::string_view key) const;
    // Section names in file order, each once, as first written.
    std::vector<std::string> sectionNames() const;
    // Key names of `section` in file order, each once, as first written.
    std::vector<std::string> keyNames(std::string_view section) const;
    // Every entry of `section` as a "NAME=VALUE" line in file order, duplicates included.
    std::vector<std::string> readSectionValues(std::string_view section) const;

    // Sets `key` in `section`, adding the key (at the end of the section) or the section (at the end
    // of the file) when missing; an existing name keeps its written case. Throws ConfigError when a
    // name or the value cannot be written in INI form (line breaks, "=" or "]" in names, ...).
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    // Writes `value` as decimal text.
    void writeInteger(std::string_view section, std::string_view key, int value);
    // Writes "1" or "0".
    void writeBool(std::string_view section, std::string_view key, bool value);
    // Removes every entry `key` of `section`; nothing happens when there is none.
    void eraseKey(std::string_view section, std::string_view key);
    // Removes every header of `section` with the lines under it.
    void eraseSection(std::string_view section);

    // Writes the file atomically: a temporary file beside it is written, flushed to disk and renamed
    // over the old one, so a crash leaves either the old or the new file, never a part of one.
    // Throws ConfigError naming the path on failure; the old file is then untouched.
    void save() const;

private:
    enum class LineKind { Blank, Comment, Section, Entry, Other };

    // One line of the file; `text` is the line as written, without its line ending.
    struct Line {
        LineKind kind = LineKind::Other;
        std::string text;
        std::string name;  // section name for Section lines, key for Entry lines
        std::string value; // unquoted value for Entry lines
    };

    static Line parseLine(std::string text);
    static Line makeEntry(std::string_view key, std::string_view value);
    void parse(std::string_view content);
    std::string serialize() const;

    // Index of the first entry `key` of `section`, if any.
    std::optional<std::size_t> findEntry(std::string_view section, std::string_view key) const;
    // Index after which a new entry of `section` goes, if the section exists.
    std::optional<std::size_t> insertionPoint(std::string_view section) const;
    // Calls `visit(index)` for every line under a header of `section`, headers excluded.
    template <typename Visit>
    void forEachLineOf(std::string_view section, Visit visit) const;

    std::filesystem::path path_; // where save() writes
    std::vector<Line> lines_;    // the file, line by line
    std::string bom_;            // a UTF-8 byte-order mark found at the start, written back as is
    std::string eol_ = "\n";     // line ending found in the file ("\r\n" or "\n")
};

} // namespace orvane
