#include "framework/DraftFile.h"

#include "framework/PackedVariant.h"
#include "platform/config/LockFile.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace orvane {
namespace {

constexpr std::string_view magic = "ORVDRAFT";
constexpr std::size_t headerSize = 20; // magic, version, payload length, CRC-32
constexpr int slotCount = 16;

std::uint32_t crc32(std::string_view bytes)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void putWord(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t wordAt(std::string_view bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

Variant textArray(const std::vector<std::string>& texts)
{
    return Variant::arrayOf(std::vector<Variant>(texts.begin(), texts.end()));
}

Variant rowsArray(const std::vector<std::vector<Variant>>& rows)
{
    std::vector<Variant> out;
    out.reserve(rows.size());
    for (const std::vector<Variant>& row : rows)
        out.push_back(Variant::arrayOf(row));
    return Variant::arrayOf(std::move(out));
}

Variant subLinesArray(const std::vector<std::vector<std::vector<Variant>>>& subLines)
{
    std::vector<Variant> out;
    out.reserve(subLines.size());
    for (const auto& rows : subLines)
        out.push_back(rowsArray(rows));
    return Variant::arrayOf(std::move(out));
}

// Reads the elements of the payload, checking each one's type; faults name the element.
class PayloadReader {
public:
    PayloadReader(const Variant& payload, std::string_view what) : payload_(payload), what_(what)
    {
        if (!payload.isArray() || payload.array().dimensions() != 1)
            fail("the content is not a list");
    }
    const Variant& at(std::size_t index, std::string_view name) const
    {
        if (index >= payload_.array().size())
            fail("element " + std::string(name) + " is missing");
        return payload_.array().elements()[index];
    }
    std::string text(std::size_t index, std::string_view name) const
    {
        const Variant& value = at(index, name);
        if (!value.isString())
            fail("element " + std::string(name) + " is not a text");
        return value.toString();
    }
    std::int64_t integer(std::size_t index, std::string_view name) const
    {
        const Variant& value = at(index, name);
        if (!value.isInteger())
            fail("element " + std::string(name) + " is not a whole number");
        return value.toInteger();
    }
    std::span<const Variant> list(const Variant& value, std::string_view name) const
    {
        if (!value.isArray() || value.array().dimensions() != 1)
            fail("element " + std::string(name) + " is not a list");
        return value.array().elements();
    }
    std::vector<std::string> texts(std::size_t index, std::string_view name) const
    {
        std::vector<std::string> out;
        for (const Variant& value : list(at(index, name), name)) {
            if (!value.isString())
                fail("element " + std::string(name) + " holds a value that is not a text");
            out.push_back(value.toString());
        }
        return out;
    }
    DraftRows rows(std::size_t fieldsIndex, std::size_t rowsIndex, std::string_view name) const
    {
        DraftRows out{texts(fieldsIndex, name), {}};
        out.rows = rowList(at(rowsIndex, name), out.fields.size(), name);
        return out;
    }
    // A list of rows of `width` values each.
    std::vector<std::vector<Variant>> rowList(const Variant& value, std::size_t width, std::string_view name) const
    {
        std::vector<std::vector<Variant>> out;
        for (const Variant& row : list(value, name)) {
            const std::span<const Variant> values = list(row, name);
            if (values.size() != width)
                fail("a row of " + std::string(name) + " has " + std::to_string(values.size()) + " values for " +
                     std::to_string(width) + " fields");
            out.emplace_back(values.begin(), values.end());
        }
        return out;
    }
    [[noreturn]] void fail(const std::string& fault) const
    {
        throw DraftError("the draft " + std::string(what_) + " is damaged: " + fault);
    }

private:
    const Variant& payload_;
    std::string_view what_;
};

// Element 15: [automatic numbering 1 or 0, AutoConfirm]; Unassigned when the window keeps none.
std::optional<DraftSaving> savingOf(const PayloadReader& in)
{
    const Variant& element = in.at(15, "saving");
    if (element.isUnassigned())
        return std::nullopt;
    const std::span<const Variant> values = in.list(element, "saving");
    if (values.size() != 2 || !values[0].isInteger() || !values[1].isInteger())
        in.fail("element saving is not two whole numbers");
    return DraftSaving{values[0].toInteger() != 0, static_cast<int>(values[1].toInteger())};
}

std::string errnoText()
{
    return std::strerror(errno);
}

// A name that is safe as part of a file name: letters, digits, "-" and "_" stay, other bytes
// become "%XX".
std::string fileNamePart(std::string_view name)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_') {
            out += c;
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        }
    }
    return out;
}

void writeAll(int fd, std::string_view bytes, const std::filesystem::path& file)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw DraftError("the draft " + file.string() + " cannot be written: " + errnoText());
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Syncs the folder, so that the rename itself survives a power loss.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::string encodeDraft(const Draft& draft)
{
    const Variant payload = Variant::arrayOf({
        Variant(draft.program),
        Variant(draft.company),
        Variant(draft.user),
        Variant(draft.written),
        Variant(static_cast<std::int64_t>(draft.mode)),
        textArray(draft.keys),
        textArray(draft.head.fields),
        rowsArray(draft.head.rows),
        textArray(draft.lines.fields),
        rowsArray(draft.lines.rows),
        Variant(static_cast<std::int64_t>(draft.typedLine)),
        Variant(draft.requestId),
        draft.requestChanges.empty() ? Variant() : unpackVariant(draft.requestChanges, "the unanswered save"),
        textArray(draft.subLineFields),
        subLinesArray(draft.subLines),
        draft.saving ? Variant::arrayOf({Variant(draft.saving->autoNumber ? 1 : 0), Variant(draft.saving->autoConfirm)})
                     : Variant(),
    });
    const std::string packed = packVariant(payload);
    std::string out(magic);
    putWord(out, Draft::formatVersion);
    putWord(out, static_cast<std::uint32_t>(packed.size()));
    putWord(out, crc32(packed));
    return out + packed;
}

Draft decodeDraft(std::string_view bytes, std::string_view what)
{
    const auto damaged = [&](const std::string& fault) {
        return DraftError("the draft " + std::string(what) + " is damaged: " + fault);
    };
    if (bytes.size() < headerSize || bytes.substr(0, magic.size()) != magic)
        throw damaged("it does not start as a draft file");
    const std::uint32_t version = wordAt(bytes, 8);
    if (version < Draft::oldestVersion || version > Draft::formatVersion)
        throw damaged("format version " + std::to_string(version) + " is not known");
    const std::string_view packed = bytes.substr(headerSize);
    if (wordAt(bytes, 12) != packed.size())
        throw damaged("it holds " + std::to_string(packed.size()) + " bytes of content, not " +
                      std::to_string(wordAt(bytes, 12)));
    if (wordAt(bytes, 16) != crc32(packed))
        throw damaged("its check sum does not match its content");
    Variant payload;
    try {
        payload = unpackVariant(packed, what);
    } catch (const PackedVariantError& e) {
        throw damaged(e.what());
    }
    const PayloadReader in(payload, what);
    Draft draft;
    draft.program = in.text(0, "program");
    draft.company = in.text(1, "company");
    draft.user = in.text(2, "user");
    draft.written = in.text(3, "written");
    const std::int64_t mode = in.integer(4, "mode");
    if (mode != static_cast<std::int64_t>(RecordMode::Add) && mode != static_cast<std::int64_t>(RecordMode::Edit))
        in.fail("mode " + std::to_string(mode) + " is neither add nor edit");
    draft.mode = static_cast<RecordMode>(mode);
    draft.keys = in.texts(5, "keys");
    draft.head = in.rows(6, 7, "head");
    if (draft.head.rows.size() != 1)
        in.fail("it holds " + std::to_string(draft.head.rows.size()) + " head records");
    draft.lines = in.rows(8, 9, "lines");
    draft.typedLine = static_cast<int>(in.integer(10, "typed line"));
    if (draft.typedLine < -1 || draft.typedLine >= static_cast<int>(draft.lines.rows.size()))
        in.fail("the typed line " + std::to_string(draft.typedLine) + " is not one of its lines");
    draft.requestId = in.text(11, "request identifier");
    if (const Variant& changes = in.at(12, "request changes"); !changes.isUnassigned())
        draft.requestChanges = packVariant(changes);
    if (version >= 2) {
        draft.subLineFields = in.texts(13, "sub-line fields");
        for (const Variant& rows : in.list(in.at(14, "sub-lines"), "sub-lines"))
            draft.subLines.push_back(in.rowList(rows, draft.subLineFields.size(), "sub-lines"));
        if (!draft.subLines.empty() && draft.subLines.size() != draft.lines.rows.size())
            in.fail("it holds the sub-lines of " + std::to_string(draft.subLines.size()) + " lines for " +
                    std::to_string(draft.lines.rows.size()) + " lines");
    }
    if (version >= 3)
        draft.saving = savingOf(in);
    return draft;
}

DraftSlot::DraftSlot(const std::filesystem::path& dataHome, std::string_view company, std::string_view program,
                     std::string_view user)
{
    const std::filesystem::path folder = dataHome / "orvane" / "drafts" / fileNamePart(company) / fileNamePart(program);
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed)
        throw DraftError("the draft folder " + folder.string() + " cannot be made: " + failed.message());
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, failed);
    const std::string base = fileNamePart(user);
    // A slot holding a draft goes first, so that a lone window after a restart is offered it,
    // whichever slot the window that died had.
    for (const bool withDraft : {true, false}) {
        for (int slot = 0; slot < slotCount; ++slot) {
            const std::string name = (folder / (base + "." + std::to_string(slot))).string();
            if (std::filesystem::exists(name + ".draft") == withDraft && tryTake(name))
                return;
        }
    }
    throw DraftError("every draft of " + std::string(user) + " in " + folder.string() + " is held by a running window");
}

bool DraftSlot::tryTake(const std::string& name)
{
    try {
        auto lock = std::make_unique<LockFile>(name + ".lock", 0600);
        if (lock->tryTake() != LockFile::State::Held)
            return false;
        lock_ = std::move(lock);
    } catch (const std::system_error& e) {
        throw DraftError(e.what());
    }
    file_ = name + ".draft";
    return true;
}

DraftSlot::~DraftSlot() = default;

void DraftSlot::write(const Draft& draft) const
{
    const std::filesystem::path temporary = file_.string() + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        throw DraftError("the draft " + temporary.string() + " cannot be made: " + errnoText());
    try {
        writeAll(fd, encodeDraft(draft), temporary);
        if (::fsync(fd) != 0)
            throw DraftError("the draft " + temporary.string() + " cannot be synced: " + errnoText());
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    ::close(fd);
    if (::rename(temporary.c_str(), file_.c_str()) != 0)
        throw DraftError("the draft " + file_.string() + " cannot be replaced: " + errnoText());
    syncFolder(file_.parent_path());
}

Draft DraftSlot::read() const
{
    std::ifstream in(file_, std::ios::binary);
    if (!in)
        throw DraftError("the draft " + file_.string() + " cannot be read");
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return decodeDraft(bytes, file_.string());
}

void DraftSlot::remove() const
{
    std::error_code ignored;
    std::filesystem::remove(file_, ignored);
}

std::filesystem::path DraftSlot::setAside(std::string_view why) const
{
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::filesystem::path aside = file_.string() + "." + std::string(why) + "-" + std::to_string(seconds);
    std::error_code failed;
    std::filesystem::rename(file_, aside, failed);
    if (failed)
        throw DraftError("the draft " + file_.string() + " cannot be set aside: " + failed.message());
    return aside;
}

} // namespace orvane
