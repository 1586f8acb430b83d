// The INI reader: any file content loads; every key it lists reads back; a value written is
// read back as written, and survives a save and a reload.

#include "platform/config/ConfigError.h"
#include "platform/config/IniFile.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace orvane;

namespace {

// In memory when the system offers it: a save flushes the file to disk, which is slow elsewhere.
const std::filesystem::path& scratch()
{
    static const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    static const auto file = folder / ("orvane-fuzz-ini-" + std::to_string(getpid()) + ".ini");
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::ofstream(scratch(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), size);
    IniFile ini(scratch());
    for (const auto& section : ini.sectionNames())
        for (const auto& key : ini.keyNames(section))
            if (!ini.keyExists(section, key))
                std::abort();
    try {
        ini.writeString("Fuzz", "Key", "value=with;things");
    } catch (const ConfigError&) {
        return 0;
    }
    if (ini.readString("Fuzz", "Key") != "value=with;things")
        std::abort();
    ini.save();
    if (IniFile(scratch()).readString("Fuzz", "Key") != "value=with;things")
        std::abort();
    return 0;
}
