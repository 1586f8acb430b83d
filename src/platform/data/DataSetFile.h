#pragma once
// DataSetFile: a client dataset kept in a local file (the data dictionary's copies, for one),
// in the versioned binary format of docs/dictionary.md ("The file format"): a header with a
// magic text, the format version, the code page of the texts, the payload's length and
// checksum, then the fields and the rows. Flat datasets only (no nested DataSet fields). A damaged, truncated or
// foreign file is refused as a whole; nothing of it is loaded. No Qt; any thread.

#include "platform/data/DataPacket.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

// A file that is not a whole dataset file of this format, or one that cannot be written; the
// text names the file and the fault.
class DataSetFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct DataSetFile {
    static constexpr std::uint16_t formatVersion = 1;
    static constexpr std::string_view magic = "ORVDSF\r\n";

    DataPacket packet; // the fields and the rows
    int codePage = 0;  // the code page of the texts (936, 950; 0 unknown)
};

// The bytes of a file and back; decodeDataSetFile raises DataSetFileError naming what.
std::string encodeDataSetFile(const DataSetFile& file);
DataSetFile decodeDataSetFile(std::string_view bytes, std::string_view what);

// Replaces the file at once or not at all (a temporary file written and renamed over it).
void writeDataSetFile(const std::filesystem::path& path, const DataSetFile& file);
// Raises DataSetFileError for a missing, unreadable or damaged file.
DataSetFile readDataSetFile(const std::filesystem::path& path);

} // namespace orvane
