#include "services/DictionaryFiles.h"

#include "platform/config/FileAccess.h"
#include "platform/data/DataSetFile.h"
#include "platform/text/ByteText.h"
#include "platform/text/CodePage.h"
#include "services/LibSys.h"
#include "services/OrvaneINI.h"

#include <map>
#include <mutex>

namespace orvane {

namespace {

// Texts written in another code page than the installation's are converted once, on reading.
void convertTexts(DataPacket& packet, int codePage)
{
    const auto from = text::codePageFromNumber(codePage);
    const text::CodePage to = text::installationCodePage();
    if (!from || *from == to)
        return;
    for (PacketRow& row : packet.rows) {
        for (Variant& value : row.values) {
            if (value.isString())
                value = text::convert(value.toString(), *from, to);
        }
    }
}

} // namespace

std::string dictionaryFileName(DictionaryFile file, std::string_view langType)
{
    const char* prefix = file == DictionaryFile::Fields       ? "DDFD"
                         : file == DictionaryFile::ValueLists ? "DDFM"
                                                              : "DDOBJ";
    return prefix + std::string(langType) + ".cds";
}

std::filesystem::path dictionaryFolder()
{
    return std::filesystem::path(TOrvaneIniC().clientPath()) / "C_DATA";
}

DictionaryRows::DictionaryRows(DataPacket packet) : packet_(std::move(packet)) {}

int DictionaryRows::column(std::string_view name) const
{
    for (std::size_t i = 0; i < packet_.fields.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(packet_.fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

const Variant* DictionaryRows::value(std::size_t row, int column) const
{
    if (row >= packet_.rows.size() || column < 0)
        return nullptr;
    return &packet_.rows[row].values[static_cast<std::size_t>(column)];
}

bool DictionaryRows::isNull(std::size_t row, int column) const
{
    const Variant* found = value(row, column);
    return found == nullptr || found->isUnassignedOrNull();
}

std::string DictionaryRows::text(std::size_t row, int column) const
{
    return isNull(row, column) ? std::string() : value(row, column)->toString();
}

std::vector<std::size_t> DictionaryRows::rowsOf(int column, std::string_view objectName) const
{
    std::vector<std::size_t> rows;
    if (column < 0)
        return rows;
    for (std::size_t row = 0; row < packet_.rows.size(); ++row) {
        const Variant& name = packet_.rows[row].values[static_cast<std::size_t>(column)];
        if (name.isString() && text::equalsIgnoringAsciiCase(name.toString(), objectName))
            rows.push_back(row);
    }
    return rows;
}

std::optional<DictionaryRows> loadDictionaryFile(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return std::nullopt;
    try {
        DataSetFile read = readDataSetFile(file);
        convertTexts(read.packet, read.codePage);
        return DictionaryRows(std::move(read.packet));
    } catch (const DataSetFileError& e) {
        WriteLog(dictionaryLogSource, std::string("refused, the design-time texts stay: ") + e.what(), "D");
        return std::nullopt;
    }
}

std::shared_ptr<const DictionaryRows> sharedDictionaryFile(const std::filesystem::path& file)
{
    struct Reading {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        std::shared_ptr<const DictionaryRows> rows;
        bool done = false;
    };
    static std::mutex guard;
    static std::map<std::filesystem::path, Reading> readings;
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    const std::uintmax_t size = error ? 0 : std::filesystem::file_size(file, error);
    const std::lock_guard lock(guard);
    Reading& reading = readings[file];
    if (!reading.done || reading.written != written || reading.size != size) {
        std::optional<DictionaryRows> rows = loadDictionaryFile(file);
        reading = {written, size, rows ? std::make_shared<const DictionaryRows>(std::move(*rows)) : nullptr, true};
    }
    return reading.rows;
}

void saveDictionaryFile(const std::filesystem::path& file, DataPacket packet, text::CodePage codePage)
{
    DataSetFile out;
    out.packet = std::move(packet);
    out.codePage = static_cast<int>(codePage);
    // Written beside it, synced and renamed over it: a reader never meets a half-written file, and
    // two writers never share a temporary file.
    replaceFileAtomically(file, encodeDataSetFile(out));
}

} // namespace orvane
