#pragma once

#include "platform/config/IniFile.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace orvane {

// The installation settings that a registry would hold elsewhere, kept in an INI-format settings file:
// each registry key is a section named by its key path ("Software\ZTK\Orvane") and each registry value
// an entry of that section, so several keys can sit side by side in one file. Key paths and value
// names match without regard to case, as registry names do.
//
// The file is read when the object is created; each write reads the file again, applies the one
// change and saves it atomically, so values written meanwhile by another program are kept.
// Not thread-safe; defaultPath() reads the environment.
class RegistrySettings {
public:
    // Key of the client and server installation values (ClientPath, ServerPath, ProfileType).
    static constexpr std::string_view orvaneKey = "Software\\ZTK\\Orvane";

    // Settings read from defaultPath().
    RegistrySettings();
    // Settings read from `file`; a missing file has no keys. Throws ConfigError when it cannot be read.
    explicit RegistrySettings(std::filesystem::path file);

    // $ORVANE_SETTINGS when set and not empty, else $XDG_CONFIG_HOME/orvane/settings.ini, where an
    // unset, empty or relative XDG_CONFIG_HOME means $HOME/.config. Throws ConfigError when neither
    // variable nor a home folder is known.
    static std::filesystem::path defaultPath();

    // The settings file in use.
    const std::filesystem::path& path() const { return file_.path(); }

    // Whether the key exists (it may hold no values).
    bool keyExists(std::string_view keyPath) const;
    // Whether the key holds the value `valueName`.
    bool valueExists(std::string_view keyPath, std::string_view valueName) const;
    // The value as text, or `fallback` when the key or the value is missing.
    std::string readString(std::string_view keyPath, std::string_view valueName, std::string_view fallback = {}) const;
    // Stores the value, creating the key, the file and its folder as needed, and saves at once.
    // Throws ConfigError when the name or value cannot be stored or the file cannot be written.
    void writeString(std::string_view keyPath, std::string_view valueName, std::string_view value);

private:
    IniFile file_; // the settings file as last read or written
};

} // namespace orvane
