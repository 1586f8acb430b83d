#include "platform/config/RegistrySettings.h"
#include "platform/config/ConfigError.h"

#include "support/EnvironmentGuard.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvane::test {
namespace {

// The variables that locate the settings file are restored after each test.
class RegistrySettingsTest : public ::testing::Test {
protected:
    EnvironmentGuard environment_{"ORVANE_SETTINGS", "XDG_CONFIG_HOME", "HOME"};
    TempFolder folder_;
};

TEST_F(RegistrySettingsTest, DefaultPathFollowsTheEnvironment)
{
    const std::string home = (folder_ / "home").string();
    const std::string xdg = (folder_ / "xdg").string();
    struct Case {
        const char* name;
        std::optional<std::string> settings, configHome;
        std::string expected;
    };
    const Case cases[] = {
        {"explicit file", "/etc/orvane/settings.ini", xdg, "/etc/orvane/settings.ini"},
        {"empty explicit file ignored", "", xdg, xdg + "/orvane/settings.ini"},
        {"config home", std::nullopt, xdg, xdg + "/orvane/settings.ini"},
        {"relative config home ignored", std::nullopt, "relative/dir", home + "/.config/orvane/settings.ini"},
        {"empty config home ignored", std::nullopt, "", home + "/.config/orvane/settings.ini"},
        {"nothing set", std::nullopt, std::nullopt, home + "/.config/orvane/settings.ini"},
    };
    EnvironmentGuard::set("HOME", home);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvironmentGuard::set("ORVANE_SETTINGS", c.settings);
        EnvironmentGuard::set("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(RegistrySettings::defaultPath(), c.expected);
    }
}

TEST_F(RegistrySettingsTest, ReadsTheInstallationKeyFromTheOverriddenFile)
{
    writeFile(folder_ / "settings.ini", "[Software\\ZTK\\Orvane]\n"
                                        "ClientPath=C:\\Orvane\\Client\n"
                                        "ProfileType=1\n"
                                        "[Software\\ZTK\\Other]\n"
                                        "ServerPath=elsewhere\n");
    EnvironmentGuard::set("ORVANE_SETTINGS", (folder_ / "settings.ini").string());
    RegistrySettings settings;
    EXPECT_TRUE(settings.keyExists("\\software\\ztk\\orvane\\"));
    EXPECT_EQ(settings.readString(RegistrySettings::orvaneKey, "clientpath"), "C:\\Orvane\\Client");
    EXPECT_EQ(settings.readString("SOFTWARE\\ZTK\\ORVANE", "ProfileType"), "1");
    EXPECT_FALSE(settings.valueExists(RegistrySettings::orvaneKey, "ServerPath"));
    EXPECT_EQ(settings.readString(RegistrySettings::orvaneKey, "ServerPath", "none"), "none");
    EXPECT_FALSE(settings.keyExists("Software\\ZTK"));
}

TEST_F(RegistrySettingsTest, WriteCreatesFolderAndKeepsOtherWritersValues)
{
    const auto file = folder_ / "config" / "orvane" / "settings.ini";
    RegistrySettings first(file);
    RegistrySettings second(file);
    first.writeString(RegistrySettings::orvaneKey, "ClientPath", "/opt/orvane/client/");
    second.writeString(RegistrySettings::orvaneKey, "ProfileType", "0");
    second.writeString("Software\\ZTK\\Other", "Extra", "x");
    EXPECT_EQ(readFile(file), "[Software\\ZTK\\Orvane]\n"
                              "ClientPath=/opt/orvane/client/\n"
                              "ProfileType=0\n"
                              "\n"
                              "[Software\\ZTK\\Other]\n"
                              "Extra=x\n");
    EXPECT_THROW(first.writeString("\\", "ClientPath", "x"), ConfigError);
    // The last byte of this key path is the second byte of a double-byte character, not a separator.
    first.writeString("Software\\\x95\x5C", "v", "1");
    EXPECT_FALSE(first.keyExists("Software\\\x95"));
}

} // namespace
} // namespace orvane::test
