#include "platform/config/RegistrySettings.h"

#include "platform/config/ConfigError.h"
#include "platform/text/ByteText.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace orvane {

namespace {

// Key paths are written without leading or trailing backslashes, so "\Software\ZTK\Orvane\" and
// "Software\ZTK\Orvane" name the same section. A backslash byte that ends a two-byte character is
// part of the name.
std::string_view sectionOf(std::string_view keyPath)
{
    while (keyPath.starts_with('\\'))
        keyPath.remove_prefix(1);
    std::size_t end = 0;
    for (std::size_t i = 0; i < keyPath.size(); ++i) {
        if (text::isLeadByte(keyPath[i], text::installationCodePage())) {
            end = std::min(i + 2, keyPath.size());
            ++i;
        } else if (keyPath[i] != '\\') {
            end = i + 1;
        }
    }
    return keyPath.substr(0, end);
}

const char* environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

std::filesystem::path homeFolder()
{
    if (const char* home = environment("HOME"))
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    throw ConfigError("cannot locate the settings file: ORVANE_SETTINGS, XDG_CONFIG_HOME and HOME are "
                      "unset and the user has no home folder");
}

} // namespace

RegistrySettings::RegistrySettings() : RegistrySettings(defaultPath()) {}

RegistrySettings::RegistrySettings(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegistrySettings::defaultPath()
{
    if (const char* explicitFile = environment("ORVANE_SETTINGS"))
        return explicitFile;
    std::filesystem::path configHome;
    if (const char* xdg = environment("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        configHome = xdg;
    } else {
        configHome = homeFolder() / ".config";
    }
    return configHome / "orvane" / "settings.ini";
}

bool RegistrySettings::keyExists(std::string_view keyPath) const
{
    return file_.sectionExists(sectionOf(keyPath));
}

bool RegistrySettings::valueExists(std::string_view keyPath, std::string_view valueName) const
{
    return file_.keyExists(sectionOf(keyPath), valueName);
}

std::string RegistrySettings::readString(std::string_view keyPath, std::string_view valueName,
                                         std::string_view fallback) const
{
    return file_.readString(sectionOf(keyPath), valueName, fallback);
}

void RegistrySettings::writeString(std::string_view keyPath, std::string_view valueName, std::string_view value)
{
    IniFile current(file_.path());
    current.writeString(sectionOf(keyPath), valueName, value);
    std::filesystem::path folder = current.path().parent_path();
    std::error_code error;
    if (!folder.empty())
        std::filesystem::create_directories(folder, error);
    if (error) {
        throw ConfigError("cannot create the folder \"" + folder.string() +
                          "\" of the settings file: " + error.message());
    }
    current.save();
    file_ = std::move(current);
}

} // namespace orvane
