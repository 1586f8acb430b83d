#pragma once
// The installation settings the client reads (ORVANE_SETTINGS names the file), for one test.

#include "EnvironmentGuard.h"
#include "TempFolder.h"

#include <filesystem>
#include <string>

namespace orvane::test {

// Writes `folder`/settings.ini with these values under the installation key and makes it the
// process's settings; the caller's EnvironmentGuard{"ORVANE_SETTINGS"} restores the variable.
inline std::filesystem::path useSettings(const std::filesystem::path& folder, const std::string& values)
{
    const std::filesystem::path file = folder / "settings.ini";
    writeFile(file, "[Software\\ZTK\\Orvane]\n" + values);
    EnvironmentGuard::set("ORVANE_SETTINGS", file.string());
    return file;
}

// A temporary client folder that is the installation's client path until the test ends.
class TestInstallation {
public:
    TestInstallation() { useSettings(folder.path(), "ClientPath=" + folder.path().string() + "\n"); }
    std::filesystem::path operator/(const std::string& name) const { return folder / name; }

    EnvironmentGuard environment{"ORVANE_SETTINGS"};
    TempFolder folder;
};

} // namespace orvane::test
