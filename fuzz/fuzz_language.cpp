// The Language file loader: any content gives tables; converting any text with them keeps
// its length, since a double-byte character is only ever replaced by another one.

#include "services/Language_Convert.h"

#include <cstdlib>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto tables = LanguageTables::parse(content);
    if (tables.big5Entries() > big5TableSize || tables.gbEntries() > gbTableSize)
        std::abort();
    if (tables.big5ToGb(content).size() != size || tables.gbToBig5(content).size() != size)
        std::abort();
    return 0;
}
