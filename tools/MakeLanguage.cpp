// Writes the Language file: the Big5 -> GB table (Traditional characters to their Simplified
// counterparts in GBK) and the GB -> Big5 table (Simplified to Traditional in Big5), built from the
// system's character data: glibc's iconv decodes and encodes the code pages, OpenCC's character
// dictionaries convert between the scripts.
//
// Usage: orvane-make-language OUTPUT
// The output is written beside the target and renamed over it, so a failed run leaves no partial
// file. The same system data always gives the same file.

#include "services/Language_Convert.h"

#include <opencc.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// The Language file cannot be generated: a conversion library refuses, or the file cannot be written.
class GenerationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One iconv conversion that fails on any byte it cannot convert, instead of substituting.
class StrictConverter {
public:
    StrictConverter(const char* from, const char* to) : handle_(::iconv_open(to, from))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw GenerationError(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    StrictConverter(const StrictConverter&) = delete;
    StrictConverter& operator=(const StrictConverter&) = delete;
    ~StrictConverter() { ::iconv_close(handle_); }

    // The converted text, or nothing when any part of it has no conversion.
    std::optional<std::string> convert(std::string_view text) const
    {
        ::iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string input(text);
        char output[64];
        char* in = input.data();
        std::size_t inLeft = input.size();
        char* out = output;
        std::size_t outLeft = sizeof output;
        if (::iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        if (::iconv(handle_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        return std::string(output, static_cast<std::size_t>(out - output));
    }

private:
    iconv_t handle_;
};

// One OpenCC configuration (found in OpenCC's data folder by its file name).
class ScriptConverter {
public:
    explicit ScriptConverter(const char* config) : handle_(::opencc_open(config))
    {
        if (handle_ == reinterpret_cast<opencc_t>(-1)) {
            throw GenerationError(std::string("OpenCC cannot open ") + config + ": " + ::opencc_error());
        }
    }
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;
    ~ScriptConverter() { ::opencc_close(handle_); }

    std::string convert(std::string_view utf8) const
    {
        char* converted = ::opencc_convert_utf8(handle_, utf8.data(), utf8.size());
        if (converted == nullptr)
            throw GenerationError(std::string("OpenCC failed: ") + ::opencc_error());
        std::string result(converted);
        ::opencc_convert_utf8_free(converted);
        return result;
    }

private:
    opencc_t handle_;
};

bool isSingleCodePoint(std::string_view utf8)
{
    std::size_t starts = 0;
    for (char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++starts;
    }
    return starts == 1;
}

std::optional<std::uint16_t> asDoubleByteCode(const std::optional<std::string>& bytes)
{
    if (!bytes || bytes->size() != 2 || static_cast<unsigned char>((*bytes)[0]) < 0x81)
        return std::nullopt;
    return static_cast<std::uint16_t>(static_cast<unsigned char>((*bytes)[0]) << 8 |
                                      static_cast<unsigned char>((*bytes)[1]));
}

// One direction of the file: source code page, script conversion, target code page.
class TableBuilder {
public:
    TableBuilder(const char* source, const char* config, const char* target)
        : decoder_(source, "UTF-8"), scripts_(config), encoder_("UTF-8", target),
          replacement_(*asDoubleByteCode(encoder_.convert("\xEF\xBC\x9F")))
    {}

    // The target code of one source code. A source code that is no character, and a character
    // whose counterpart is not one character of the target code page, map to the character itself
    // when the target holds it and to the full-width question mark otherwise.
    std::uint16_t map(std::uint16_t code)
    {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const std::optional<std::string> character = decoder_.convert(std::string_view(bytes, 2));
        if (!character || !isSingleCodePoint(*character))
            return replace();
        const std::string counterpart = scripts_.convert(*character);
        if (isSingleCodePoint(counterpart)) {
            if (auto target = asDoubleByteCode(encoder_.convert(counterpart)))
                return *target;
        }
        if (auto same = asDoubleByteCode(encoder_.convert(*character)))
            return *same;
        return replace();
    }

    std::size_t replaced() const { return replaced_; }

private:
    std::uint16_t replace()
    {
        ++replaced_;
        return replacement_;
    }

    StrictConverter decoder_;
    ScriptConverter scripts_;
    StrictConverter encoder_;
    std::uint16_t replacement_;
    std::size_t replaced_ = 0;
};

void writeCode(std::ostream& out, std::uint16_t code)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(code));
    out << text;
}

// Writes one table: a "[NAME]" header, then "NAMEsource=target" for every index in order.
template <typename CodeAt>
std::size_t writeTable(std::ostream& out, std::string_view name, std::size_t size, CodeAt codeAt, TableBuilder& builder)
{
    out << '[' << name << "]\n";
    for (std::size_t index = 0; index < size; ++index) {
        const std::uint16_t source = codeAt(index);
        out << name;
        writeCode(out, source);
        out << '=';
        writeCode(out, builder.map(source));
        out << '\n';
    }
    return builder.replaced();
}

void writeLanguageFile(const std::filesystem::path& output)
{
    TableBuilder toGb("BIG5", OPENCC_DEFAULT_CONFIG_TRAD_TO_SIMP, "GBK");
    TableBuilder toBig5("GBK", OPENCC_DEFAULT_CONFIG_SIMP_TO_TRAD, "BIG5");
    std::filesystem::path temporary = output;
    temporary += ".new";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out)
        throw GenerationError("cannot write " + temporary.string());
    const std::size_t big5Replaced = writeTable(out, "BIG5", orvane::big5TableSize, orvane::big5CodeAt, toGb);
    const std::size_t gbReplaced = writeTable(out, "GB", orvane::gbTableSize, orvane::gbCodeAt, toBig5);
    out.close();
    if (!out)
        throw GenerationError("cannot write " + temporary.string());
    std::filesystem::rename(temporary, output);
    std::cout << "Language: " << orvane::big5TableSize << " Big5 entries (" << big5Replaced << " replaced), "
              << orvane::gbTableSize << " GB entries (" << gbReplaced << " replaced)\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT\n";
        return 2;
    }
    try {
        writeLanguageFile(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
