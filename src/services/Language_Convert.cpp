#include "services/Language_Convert.h"

#include "platform/config/FileAccess.h"
#include "platform/text/ByteText.h"
#include "platform/text/LocalText.h"
#include "services/OrvaneINI.h"

#include <atomic>
#include <iostream>
#include <mutex>

namespace orvane {

namespace {

constexpr unsigned char firstRow = 0xA1;
constexpr unsigned char lastRow = 0xFE;
constexpr std::size_t big5RowSize = 157;
constexpr std::size_t gbRowSize = 94;
constexpr std::size_t big5LowTrails = 0x7F - 0x40; // trail bytes 0x40..0x7E come first in a row

std::mutex noticeMutex;
LanguageNotice noticeReceiver;

void writeNoticeToStandardError(const std::string& message, const std::string& file)
{
    std::cerr << text::localToUtf8(message) << " (" << file << ")\n";
}

void notify(const std::string& message, const std::string& file)
{
    LanguageNotice receiver;
    {
        std::lock_guard lock(noticeMutex);
        receiver = noticeReceiver;
    }
    if (receiver) {
        receiver(message, file);
    } else {
        writeNoticeToStandardError(message, file);
    }
}

const std::string& missingFileMessage()
{
    return LOCAL_TEXT(u8"找不到 Language 档 !!");
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A double-byte code written as four hexadecimal digits; nothing when the text is not such a code
// or its bytes are not a lead byte and a trail byte, so a bad entry never inserts control bytes.
std::optional<std::uint16_t> parseCode(std::string_view digits)
{
    if (digits.size() != 4)
        return std::nullopt;
    unsigned code = 0;
    for (char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        code = code * 16 + static_cast<unsigned>(digit);
    }
    const unsigned high = code >> 8;
    const unsigned low = code & 0xFF;
    if (high < 0x81 || high > 0xFE || low < 0x40 || low > 0xFE)
        return std::nullopt;
    return static_cast<std::uint16_t>(code);
}

using IndexOf = std::optional<std::size_t> (*)(unsigned char, unsigned char) noexcept;

// Walks the text by characters: a lead byte and the byte after it form one double-byte character,
// replaced when the table has an entry for it and copied whole otherwise, so a trail byte is never
// taken for the lead byte of the next character.
std::string convertCharacters(std::string_view text, const std::vector<std::uint16_t>& table, IndexOf indexOf)
{
    if (table.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = text::characterLength(text, i, text::CodePage::Gbk);
        if (length == 2) {
            const std::optional<std::size_t> index =
                indexOf(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]));
            if (index && *index < table.size() && table[*index] != 0) {
                result += static_cast<char>(table[*index] >> 8);
                result += static_cast<char>(table[*index] & 0xFF);
                i += 2;
                continue;
            }
        }
        result.append(text.substr(i, length));
        i += length;
    }
    return result;
}

// The process's tables and, when they could not be loaded, the file to name in the notice.
struct ProcessTables {
    LanguageTables tables;
    std::optional<std::string> failedFile;
};

// Loads without notifying: the notice is delivered after the tables are in place, so a receiver
// that converts its message text does not re-enter the loading.
ProcessTables loadForProcess()
{
    std::string file = "Language";
    try {
        const TOrvaneIniC ini;
        if (ini.clientPath().empty())
            return {{}, file + " (no client folder: " + ini.errorDetail() + ")"};
        file = ini.clientPath() + file;
        std::optional<std::string> content = readFileIfExists(file);
        if (!content)
            return {{}, file};
        return {LanguageTables::parse(*content), std::nullopt};
    } catch (const std::exception& error) {
        return {{}, file + ": " + error.what()};
    }
}

} // namespace

std::optional<std::size_t> big5Index(unsigned char first, unsigned char second) noexcept
{
    if (first < firstRow || first > lastRow)
        return std::nullopt;
    const std::size_t row = static_cast<std::size_t>(first - firstRow) * big5RowSize;
    if (second >= 0x40 && second <= 0x7E)
        return row + (second - 0x40);
    if (second >= 0xA1 && second <= 0xFE)
        return row + big5LowTrails + (second - 0xA1);
    return std::nullopt;
}

std::optional<std::size_t> gbIndex(unsigned char first, unsigned char second) noexcept
{
    if (first < firstRow || first > lastRow || second < 0xA1 || second > 0xFE)
        return std::nullopt;
    return static_cast<std::size_t>(first - firstRow) * gbRowSize + (second - 0xA1);
}

std::uint16_t big5CodeAt(std::size_t index) noexcept
{
    const unsigned first = firstRow + static_cast<unsigned>(index / big5RowSize);
    const unsigned column = static_cast<unsigned>(index % big5RowSize);
    const unsigned second = column < big5LowTrails ? 0x40 + column : 0xA1 + (column - big5LowTrails);
    return static_cast<std::uint16_t>(first << 8 | second);
}

std::uint16_t gbCodeAt(std::size_t index) noexcept
{
    const unsigned first = firstRow + static_cast<unsigned>(index / gbRowSize);
    const unsigned second = 0xA1 + static_cast<unsigned>(index % gbRowSize);
    return static_cast<std::uint16_t>(first << 8 | second);
}

void setLanguageNotice(LanguageNotice notice)
{
    std::lock_guard lock(noticeMutex);
    noticeReceiver = std::move(notice);
}

LanguageTables LanguageTables::parse(std::string_view content)
{
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    LanguageTables tables;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        tables.addLine(content.substr(0, end));
        if (end == std::string_view::npos)
            break;
        content.remove_prefix(end + 1);
    }
    return tables;
}

LanguageTables LanguageTables::load(const std::filesystem::path& file)
{
    std::optional<std::string> content = readFileIfExists(file);
    if (!content) {
        notify(missingFileMessage(), file.string());
        return {};
    }
    return parse(*content);
}

const LanguageTables& LanguageTables::forProcess()
{
    static const ProcessTables loaded = loadForProcess();
    static std::atomic<bool> reported{false};
    if (loaded.failedFile && !reported.exchange(true))
        notify(missingFileMessage(), *loaded.failedFile);
    return loaded.tables;
}

void LanguageTables::addLine(std::string_view rawLine)
{
    const std::string line = text::trim(rawLine);
    if (line.empty() || line.starts_with('['))
        return;
    std::vector<std::uint16_t>* table = nullptr;
    std::size_t capacity = 0;
    if (line.starts_with("BIG5")) {
        table = &big5_;
        capacity = big5TableSize;
    } else if (line.starts_with("GB")) {
        table = &gb_;
        capacity = gbTableSize;
    }
    if (table == nullptr || table->size() >= capacity) {
        ++malformedLines_;
        return;
    }
    const std::size_t equals = line.find('=');
    const std::optional<std::uint16_t> code =
        equals == std::string::npos ? std::nullopt : parseCode(text::trim(std::string_view(line).substr(equals + 1)));
    if (!code)
        ++malformedLines_;
    table->push_back(code.value_or(0));
}

std::string LanguageTables::big5ToGb(std::string_view text) const
{
    return convertCharacters(text, big5_, &big5Index);
}

std::string LanguageTables::gbToBig5(std::string_view text) const
{
    return convertCharacters(text, gb_, &gbIndex);
}

} // namespace orvane
