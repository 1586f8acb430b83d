// The dataset file reader (the data dictionary's files): any bytes are read or refused with
// DataSetFileError; a file that is read writes back to exactly the same bytes.

#include "platform/data/DataSetFile.h"

#include <cstdlib>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DataSetFile file;
    try {
        file = decodeDataSetFile(bytes, "fuzz.cds");
    } catch (const DataSetFileError&) {
        return 0;
    }
    if (encodeDataSetFile(file) != bytes)
        std::abort();
    return 0;
}
