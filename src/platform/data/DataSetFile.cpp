#include "platform/data/DataSetFile.h"

#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace orvane {

namespace {

// The header: magic, version (u16), code page (u16), payload length (u32), payload CRC-32 (u32).
constexpr std::size_t headerSize = DataSetFile::magic.size() + 2 + 2 + 4 + 4;

enum class Tag : std::uint8_t { Null, False, True, Integer, Float, String };

std::uint32_t crc32(std::string_view bytes)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            entries[i] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFFU] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFU;
}

class Writer {
public:
    template <typename Int>
    void number(Int value)
    {
        auto bits = static_cast<std::make_unsigned_t<Int>>(value);
        for (std::size_t i = 0; i < sizeof(Int); ++i, bits = static_cast<decltype(bits)>(bits >> 8))
            bytes_.push_back(static_cast<char>(bits & 0xFFU));
    }
    void text16(std::string_view text)
    {
        number(static_cast<std::uint16_t>(text.size()));
        bytes_.append(text);
    }
    void text32(std::string_view text)
    {
        number(static_cast<std::uint32_t>(text.size()));
        bytes_.append(text);
    }
    void tag(Tag tag) { bytes_.push_back(static_cast<char>(tag)); }
    std::string& bytes() { return bytes_; }

private:
    std::string bytes_;
};

class Reader {
public:
    Reader(std::string_view bytes, std::string_view what) : bytes_(bytes), what_(what) {}

    template <typename Int>
    Int number(std::string_view item)
    {
        const std::string_view raw = take(sizeof(Int), item);
        std::make_unsigned_t<Int> bits = 0;
        for (std::size_t i = sizeof(Int); i-- > 0;)
            bits = static_cast<std::make_unsigned_t<Int>>(bits << 8 | static_cast<std::uint8_t>(raw[i]));
        return static_cast<Int>(bits);
    }
    std::string text16(std::string_view item) { return std::string(take(number<std::uint16_t>(item), item)); }
    std::string text32(std::string_view item) { return std::string(take(number<std::uint32_t>(item), item)); }
    std::size_t left() const { return bytes_.size() - at_; }
    [[noreturn]] void fail(std::string_view fault) const
    {
        throw DataSetFileError(std::string(what_) + ": " + std::string(fault) + " (at byte " + std::to_string(at_) +
                               ")");
    }

private:
    std::string_view take(std::size_t count, std::string_view item)
    {
        if (count > left())
            fail("the file ends inside " + std::string(item));
        const std::string_view part = bytes_.substr(at_, count);
        at_ += count;
        return part;
    }

    std::string_view bytes_;
    std::string_view what_;
    std::size_t at_ = 0;
};

void writeValue(Writer& out, const Variant& value)
{
    switch (value.type()) {
    case VariantType::Unassigned:
    case VariantType::Null: out.tag(Tag::Null); return;
    case VariantType::Boolean: out.tag(value.toBoolean() ? Tag::True : Tag::False); return;
    case VariantType::Integer:
        out.tag(Tag::Integer);
        out.number(value.toInteger());
        return;
    case VariantType::Float:
        out.tag(Tag::Float);
        out.number(std::bit_cast<std::uint64_t>(value.toFloat()));
        return;
    case VariantType::String:
        out.tag(Tag::String);
        out.text32(value.toString());
        return;
    default: throw DataSetFileError("a dataset file holds no " + std::string(typeName(value.type())) + " values");
    }
}

// Whether a value of the tag may stand in a field of the type.
bool fits(Tag tag, FieldType type)
{
    switch (tag) {
    case Tag::Null: return true;
    case Tag::False:
    case Tag::True: return type == FieldType::Boolean;
    case Tag::Integer:
        return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::Float ||
               type == FieldType::Date;
    case Tag::Float: return type == FieldType::Float || type == FieldType::Date;
    case Tag::String: return type == FieldType::String;
    }
    return false;
}

Variant readValue(Reader& in, const FieldDef& field)
{
    const auto tag = static_cast<Tag>(in.number<std::uint8_t>("a value"));
    if (tag > Tag::String)
        in.fail("unknown value tag " + std::to_string(static_cast<int>(tag)));
    if (!fits(tag, field.type))
        in.fail("a value that does not fit field " + field.name + " (" + std::string(fieldTypeName(field.type)) + ")");
    switch (tag) {
    case Tag::False: return false;
    case Tag::True: return true;
    case Tag::Integer: return Variant(static_cast<long long>(in.number<std::int64_t>("a number")));
    case Tag::Float: return std::bit_cast<double>(in.number<std::uint64_t>("a number"));
    case Tag::String: return in.text32("a text");
    default: return Variant(Variant::NullTag{});
    }
}

FieldDef readField(Reader& in)
{
    FieldDef field;
    field.name = in.text16("a field name");
    const auto type = in.number<std::uint8_t>("a field type");
    if (field.name.empty())
        in.fail("a field without a name");
    if (type >= static_cast<std::uint8_t>(FieldType::DataSet))
        in.fail("field " + field.name + " of unknown type " + std::to_string(type));
    field.type = static_cast<FieldType>(type);
    field.size = in.number<std::int32_t>("a field size");
    if (field.size < 0)
        in.fail("field " + field.name + " with a negative size");
    const auto required = in.number<std::uint8_t>("a field flag");
    if (required > 1)
        in.fail("field " + field.name + " with a required flag of " + std::to_string(required));
    field.required = required == 1;
    return field;
}

DataPacket readPayload(Reader& in)
{
    DataPacket packet;
    const auto fieldCount = in.number<std::uint16_t>("the field count");
    if (fieldCount == 0)
        in.fail("no fields");
    for (int i = 0; i < fieldCount; ++i)
        packet.fields.push_back(readField(in));
    const auto rowCount = in.number<std::uint32_t>("the row count");
    // Every value takes at least its tag byte: a count the bytes cannot hold is damage.
    if (static_cast<std::uint64_t>(rowCount) * fieldCount > in.left())
        in.fail("more rows (" + std::to_string(rowCount) + ") than the file holds");
    packet.rows.reserve(rowCount);
    for (std::uint32_t r = 0; r < rowCount; ++r) {
        PacketRow row;
        row.values.reserve(fieldCount);
        for (const FieldDef& field : packet.fields)
            row.values.push_back(readValue(in, field));
        packet.rows.push_back(std::move(row));
    }
    if (in.left() != 0)
        in.fail(std::to_string(in.left()) + " bytes after the last row");
    return packet;
}

} // namespace

std::string encodeDataSetFile(const DataSetFile& file)
{
    const DataPacket& packet = file.packet;
    if (packet.fields.empty() || packet.fields.size() > 0xFFFF)
        throw DataSetFileError("a dataset file holds 1 to 65535 fields, not " + std::to_string(packet.fields.size()));
    Writer payload;
    payload.number(static_cast<std::uint16_t>(packet.fields.size()));
    for (const FieldDef& field : packet.fields) {
        if (field.isNested())
            throw DataSetFileError("field " + field.name + ": a dataset file holds no nested datasets");
        payload.text16(field.name);
        payload.number(static_cast<std::uint8_t>(field.type));
        payload.number(static_cast<std::int32_t>(field.size));
        payload.number(static_cast<std::uint8_t>(field.required ? 1 : 0));
    }
    payload.number(static_cast<std::uint32_t>(packet.rows.size()));
    for (const PacketRow& row : packet.rows) {
        if (row.values.size() != packet.fields.size())
            throw DataSetFileError("a row of " + std::to_string(row.values.size()) + " values for " +
                                   std::to_string(packet.fields.size()) + " fields");
        for (const Variant& value : row.values)
            writeValue(payload, value);
    }
    Writer out;
    out.bytes().append(DataSetFile::magic);
    out.number(DataSetFile::formatVersion);
    out.number(static_cast<std::uint16_t>(file.codePage));
    out.number(static_cast<std::uint32_t>(payload.bytes().size()));
    out.number(crc32(payload.bytes()));
    out.bytes() += payload.bytes();
    return std::move(out.bytes());
}

DataSetFile decodeDataSetFile(std::string_view bytes, std::string_view what)
{
    if (bytes.size() < headerSize || bytes.substr(0, DataSetFile::magic.size()) != DataSetFile::magic)
        throw DataSetFileError(std::string(what) + ": not a dataset file");
    Reader header(bytes.substr(DataSetFile::magic.size(), headerSize - DataSetFile::magic.size()), what);
    const auto version = header.number<std::uint16_t>("the version");
    if (version != DataSetFile::formatVersion)
        throw DataSetFileError(std::string(what) + ": format version " + std::to_string(version) +
                               ", this program reads version " + std::to_string(DataSetFile::formatVersion));
    DataSetFile file;
    file.codePage = header.number<std::uint16_t>("the code page");
    const auto length = header.number<std::uint32_t>("the length");
    const auto checksum = header.number<std::uint32_t>("the checksum");
    const std::string_view payload = bytes.substr(headerSize);
    if (payload.size() != length)
        throw DataSetFileError(std::string(what) + ": " + std::to_string(payload.size()) + " bytes of data where " +
                               std::to_string(length) + " were written (a truncated or damaged file)");
    if (crc32(payload) != checksum)
        throw DataSetFileError(std::string(what) + ": the checksum does not match (a damaged file)");
    Reader in(payload, what);
    file.packet = readPayload(in);
    return file;
}

void writeDataSetFile(const std::filesystem::path& path, const DataSetFile& file)
{
    const std::string bytes = encodeDataSetFile(file);
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            throw DataSetFileError(path.string() + ": cannot be written");
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw DataSetFileError(path.string() + ": cannot be replaced (" + error.message() + ")");
    }
}

DataSetFile readDataSetFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw DataSetFileError(path.string() + ": cannot be opened");
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw DataSetFileError(path.string() + ": cannot be read");
    return decodeDataSetFile(bytes, path.string());
}

} // namespace orvane
