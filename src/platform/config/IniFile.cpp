#include "platform/config/IniFile.h"

#include "platform/config/ConfigError.h"
#include "platform/config/FileAccess.h"
#include "platform/text/ByteText.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

namespace orvane {

namespace {

// Configuration names compare as the classic INI API does: ASCII case ignored,
// double-byte characters exactly.
bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return text::equalsIgnoringCase(a, b);
}

constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isQuoted(std::string_view value)
{
    return value.size() >= 2 && value.front() == '"' && value.back() == '"';
}

std::string_view unquote(std::string_view value)
{
    return isQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

// Quotes a value that would otherwise not read back as written.
std::string quoteIfNeeded(std::string_view value)
{
    bool needed = isQuoted(value) || (!value.empty() && (isBlank(value.front()) || isBlank(value.back())));
    return needed ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool hasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

std::string describe(std::string_view section, std::string_view key)
{
    return "[" + std::string(section) + "] " + std::string(key);
}

void checkSectionName(std::string_view section)
{
    if (section.empty() || trim(section) != section || hasLineBreak(section) ||
        text::findSingleByte(section, ']') != std::string_view::npos) {
        throw ConfigError("invalid configuration section name \"" + std::string(section) +
                          "\": it must be non-empty, without surrounding blanks, \"]\" or line breaks");
    }
}

void checkKeyName(std::string_view section, std::string_view key)
{
    if (key.empty() || trim(key) != key || hasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';' || key.front() == '#') {
        throw ConfigError("invalid configuration key " + describe(section, key) +
                          ": it must be non-empty, without surrounding blanks, \"=\" or line breaks, "
                          "and not start with \"[\", \";\" or \"#\"");
    }
}

void checkValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (hasLineBreak(value)) {
        throw ConfigError("invalid value for configuration key " + describe(section, key) +
                          ": a value cannot contain line breaks");
    }
}

} // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path))
{
    if (std::optional<std::string> content = readFileIfExists(path_))
        parse(*content);
}

IniFile::Line IniFile::parseLine(std::string text)
{
    Line line;
    std::string_view body = trim(text);
    if (body.empty()) {
        line.kind = LineKind::Blank;
    } else if (body.front() == ';' || body.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (body.front() == '[') {
        // An unclosed header names the section with the rest of the line.
        line.kind = LineKind::Section;
        std::string_view name = body.substr(1);
        line.name = trim(name.substr(0, text::findSingleByte(name, ']')));
    } else if (std::size_t equals = body.find('=');
               equals != std::string_view::npos && !trim(body.substr(0, equals)).empty()) {
        line.kind = LineKind::Entry;
        line.name = trim(body.substr(0, equals));
        line.value = unquote(trim(body.substr(equals + 1)));
    }
    line.text = std::move(text);
    return line;
}

IniFile::Line IniFile::makeEntry(std::string_view key, std::string_view value)
{
    return Line{LineKind::Entry, std::string(key) + "=" + quoteIfNeeded(value), std::string(key), std::string(value)};
}

void IniFile::parse(std::string_view content)
{
    if (content.starts_with(utf8Bom)) {
        bom_ = utf8Bom;
        content.remove_prefix(utf8Bom.size());
    }
    std::size_t firstBreak = content.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && content[firstBreak - 1] == '\r')
        eol_ = "\r\n";
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        std::string_view text = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (eol_ == "\r\n" && text.ends_with('\r'))
            text.remove_suffix(1);
        lines_.push_back(parseLine(std::string(text)));
    }
}

std::string IniFile::serialize() const
{
    std::string content = bom_;
    for (const Line& line : lines_)
        content += line.text + eol_;
    return content;
}

template <typename Visit>
void IniFile::forEachLineOf(std::string_view section, Visit visit) const
{
    bool inside = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section) {
            inside = sameNameIgnoringCase(lines_[i].name, section);
        } else if (inside && !visit(i)) {
            return;
        }
    }
}

std::optional<std::size_t> IniFile::findEntry(std::string_view section, std::string_view key) const
{
    std::optional<std::size_t> found;
    forEachLineOf(section, [&](std::size_t i) {
        if (lines_[i].kind == LineKind::Entry && sameNameIgnoringCase(lines_[i].name, key))
            found = i;
        return !found;
    });
    return found;
}

// New entries go after the last entry of the section's last block (or right after its header), so
// blank lines and comments that lead into the next section stay above that section.
std::optional<std::size_t> IniFile::insertionPoint(std::string_view section) const
{
    std::optional<std::size_t> point;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && sameNameIgnoringCase(lines_[i].name, section))
            point = i + 1;
    }
    if (!point)
        return point;
    forEachLineOf(section, [&](std::size_t i) {
        if (lines_[i].kind == LineKind::Entry && i >= *point)
            point = i + 1;
        return true;
    });
    return point;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    std::optional<std::size_t> found = findEntry(section, key);
    return found ? lines_[*found].value : std::string(fallback);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int fallback) const
{
    std::optional<std::size_t> found = findEntry(section, key);
    if (!found)
        return fallback;
    std::string_view text = trim(lines_[*found].value);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    bool whole = error == std::errc() && end == text.data() + text.size();
    return whole ? value : fallback;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const
{
    std::optional<std::size_t> found = findEntry(section, key);
    if (!found)
        return fallback;
    std::string_view text = trim(lines_[*found].value);
    auto isOneOf = [text](std::initializer_list<std::string_view> words) {
        return std::any_of(words.begin(), words.end(),
                           [text](std::string_view word) { return sameNameIgnoringCase(text, word); });
    };
    if (isOneOf({"1", "Y", "YES", "TRUE"}))
        return true;
    if (isOneOf({"0", "N", "NO", "FALSE"}))
        return false;
    return fallback;
}

bool IniFile::sectionExists(std::string_view section) const
{
    for (const Line& line : lines_) {
        if (line.kind == LineKind::Section && sameNameIgnoringCase(line.name, section))
            return true;
    }
    return false;
}

bool IniFile::keyExists(std::string_view section, std::string_view key) const
{
    return findEntry(section, key).has_value();
}

std::vector<std::string> IniFile::sectionNames() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind != LineKind::Section)
            continue;
        bool seen = false;
        for (const std::string& name : names)
            seen = seen || sameNameIgnoringCase(name, line.name);
        if (!seen)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const
{
    std::vector<std::string> names;
    forEachLineOf(section, [&](std::size_t i) {
        if (lines_[i].kind == LineKind::Entry && findEntry(section, lines_[i].name) == i) {
            names.push_back(lines_[i].name);
        }
        return true;
    });
    return names;
}

std::vector<std::string> IniFile::readSectionValues(std::string_view section) const
{
    std::vector<std::string> values;
    forEachLineOf(section, [&](std::size_t i) {
        if (lines_[i].kind == LineKind::Entry)
            values.push_back(lines_[i].name + "=" + lines_[i].value);
        return true;
    });
    return values;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    checkSectionName(section);
    checkKeyName(section, key);
    checkValue(section, key, value);
    if (std::optional<std::size_t> found = findEntry(section, key)) {
        // An unchanged value keeps the line exactly as written.
        if (lines_[*found].value != value)
            lines_[*found] = makeEntry(lines_[*found].name, value);
        return;
    }
    if (std::optional<std::size_t> point = insertionPoint(section)) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*point), makeEntry(key, value));
        return;
    }
    if (!lines_.empty() && lines_.back().kind != LineKind::Blank)
        lines_.push_back(parseLine(""));
    lines_.push_back(parseLine("[" + std::string(section) + "]"));
    lines_.push_back(makeEntry(key, value));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseKey(std::string_view section, std::string_view key)
{
    std::vector<std::size_t> doomed;
    forEachLineOf(section, [&](std::size_t i) {
        if (lines_[i].kind == LineKind::Entry && sameNameIgnoringCase(lines_[i].name, key))
            doomed.push_back(i);
        return true;
    });
    for (auto i = doomed.rbegin(); i != doomed.rend(); ++i) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*i));
    }
}

void IniFile::eraseSection(std::string_view section)
{
    std::vector<Line> kept;
    bool inside = false;
    for (Line& line : lines_) {
        if (line.kind == LineKind::Section)
            inside = sameNameIgnoringCase(line.name, section);
        if (!inside)
            kept.push_back(std::move(line));
    }
    lines_ = std::move(kept);
}

void IniFile::save() const
{
    replaceFileAtomically(path_, serialize());
}

} // namespace orvane
