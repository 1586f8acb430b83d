#include "services/OrvaneINI.h"

#include "platform/config/ConfigError.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvane::test {
namespace {

const HostSystem alice{"alice", "65001"};

// A client folder "client/" and a settings file pointing at it, written per test.
class OrvaneIniTest : public ::testing::Test {
protected:
    OrvaneIniTest() { std::filesystem::create_directories(clientFolder()); }

    std::filesystem::path settingsFile() const { return folder_ / "settings.ini"; }
    std::filesystem::path clientFolder() const { return folder_ / "client"; }
    std::string clientPath() const { return clientFolder().string() + "/"; }

    void writeSettings(const std::string& clientPath, const std::string& profileType = "0")
    {
        writeFile(settingsFile(),
                  "[Software\\ZTK\\Orvane]\nClientPath=" + clientPath + "\nProfileType=" + profileType + "\n");
    }

    // Reads a client folder whose OrvaneC.ini holds `content`.
    TOrvaneIniC readConfig(const std::string& content, const HostSystem& system = alice,
                           const std::string& profileType = "0")
    {
        writeSettings(clientFolder().string(), profileType);
        writeFile(clientFolder() / "OrvaneC.ini", content);
        return TOrvaneIniC(settingsFile(), system);
    }

    TempFolder folder_;
};

TEST_F(OrvaneIniTest, WithoutAClientPathNothingIsRead)
{
    const struct {
        const char* name;
        const char* settings; // nullptr: no settings file; "": a folder in its place
        const char* error;
    } cases[] = {
        {"no settings file", nullptr, "E;000015"},
        {"another key only", "[Software\\Other]\nClientPath=/opt/x\n", "E;000015"},
        {"settings path is a folder", "", "E;000015"},
        {"empty client path", "[Software\\ZTK\\Orvane]\nClientPath=\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(settingsFile());
        if (c.settings && *c.settings)
            writeFile(settingsFile(), c.settings);
        if (c.settings && !*c.settings)
            std::filesystem::create_directories(settingsFile());
        const TOrvaneIniC ini(settingsFile(), alice);
        EXPECT_EQ(ini.errorText(), c.error);
        EXPECT_EQ(ini.errorDetail().find(settingsFile().string()) != std::string::npos, *c.error != '\0')
            << "an error names the settings file: " << ini.errorDetail();
        // Nothing read: no client path, no server (nor, read after it, a work-module folder).
        EXPECT_FALSE(ini.readSucceeded());
        EXPECT_EQ(ini.clientPath(), "");
        EXPECT_TRUE(ini.serverList().isUnassigned());
    }
}

// A missing file reads as one without keys: the defaults of the code pages, the language and the
// server are checked with a file that lacks them (ConversionModesFromTheCodePages,
// WorkModuleFoldersLanguageVersionAndCallBacks, ServerList).
TEST_F(OrvaneIniTest, MissingConfigFileReadsAsDefaultsAnUnreadableOneIsAnErrorAndClientPathEndsInOneSlash)
{
    writeSettings(clientFolder().string());
    const TOrvaneIniC ini(settingsFile(), alice);
    EXPECT_TRUE(ini.readSucceeded()) << ini.errorDetail();
    EXPECT_EQ(ini.errorText(), "");
    EXPECT_EQ(ini.clientPath(), clientPath());
    EXPECT_EQ(ini.configFile(), clientPath() + "OrvaneC.ini") << "named even while missing";
    EXPECT_EQ(ini.workDllPaths(), std::vector<std::string>{clientPath() + "C_PKG/"});

    // The client path always ends in one slash.
    for (const std::string& written : {clientFolder().string() + "/", clientFolder().string() + "\\"}) {
        writeSettings(written);
        EXPECT_EQ(TOrvaneIniC(settingsFile(), alice).clientPath(), clientPath()) << written;
    }

    // A configuration file that exists but cannot be read must not pass for a missing one, which
    // would quietly connect to the default server.
    std::filesystem::create_directories(clientFolder() / "OrvaneC.ini");
    EXPECT_TRUE(contains(errorOf<ConfigError>([&] { TOrvaneIniC(settingsFile(), alice); }), "OrvaneC.ini"));
}

// The first server of the list, as the client connects to it: ServerAccessTest.
TEST_F(OrvaneIniTest, ServerList)
{
    const struct {
        const char* name;
        const char* config;
        std::vector<std::string> addresses; // empty: E;000016
        int port;
    } cases[] = {
        {"two addresses, trailing semicolon, port 2110",
         "[Server Information]\nComputerName=10.0.0.1;10.0.0.2;\nServerPort=2110\n",
         {"10.0.0.1", "10.0.0.2"},
         2110},
        {"no section", "[CodePage]\nUICodePage=936\n", {"127.0.0.1"}, 211},
        {"blanks and empty pieces", "[Server Information]\nComputerName= app1 ; ;app2 \n", {"app1", "app2"}, 211},
        {"empty name", "[Server Information]\nComputerName=\nServerPort=2110\n", {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TOrvaneIniC ini = readConfig(c.config);
        if (c.addresses.empty()) {
            EXPECT_FALSE(ini.readSucceeded());
            EXPECT_EQ(ini.errorText(), "E;000016");
            EXPECT_TRUE(ini.serverList().isUnassigned());
            EXPECT_TRUE(ini.workDllPaths().empty());
            EXPECT_EQ(ini.firstServer().address, "");
            continue;
        }
        EXPECT_TRUE(ini.readSucceeded());
        const Variant& list = ini.serverList();
        EXPECT_EQ(list.array().bounds(1), (ArrayBounds{0, 1}));
        ASSERT_EQ(list.array().bounds(2), (ArrayBounds{0, static_cast<int>(c.addresses.size()) - 1}));
        for (std::size_t i = 0; i < c.addresses.size(); ++i) {
            EXPECT_EQ(list.at(0, static_cast<int>(i)), Variant(c.addresses[i]));
            EXPECT_EQ(list.at(1, static_cast<int>(i)), Variant(c.port));
        }
    }
}

TEST_F(OrvaneIniTest, ConversionModesFromTheCodePages)
{
    const struct {
        const char* codePages; // the [CodePage] section's entries
        const char* system;
        ConvertMode ui;
        ConvertMode data;
    } cases[] = {
        {"UICodePage=950\nDBCodePage=936\n", "65001", ConvertMode::GbToBig5, ConvertMode::GbToBig5},
        {"UICodePage=936\nDBCodePage=950\n", "65001", ConvertMode::None, ConvertMode::Big5ToGb},
        {"UICodePage=936\nDBCodePage=936\n", "950", ConvertMode::GbFont, ConvertMode::None},
        {"UICodePage=936\nDBCodePage=936\n", "936", ConvertMode::None, ConvertMode::None},
        {"UICodePage=950\nDBCodePage=950\n", "950", ConvertMode::GbToBig5, ConvertMode::None},
        {"", "950", ConvertMode::GbFont, ConvertMode::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.codePages) + "system " + c.system);
        const TOrvaneIniC ini = readConfig(std::string("[CodePage]\n") + c.codePages, HostSystem{"alice", c.system});
        EXPECT_EQ(ini.uiConvertMode(), c.ui);
        EXPECT_EQ(ini.dbConvertMode(), c.data);
    }
}

TEST_F(OrvaneIniTest, ProfileFolderPerUser)
{
    const std::filesystem::path aliceFolder = clientFolder() / "Profile" / "alice";
    const struct {
        const char* name;
        const char* profileType;
        bool aliceFileExists;
        bool readsAliceFile;
        const char* profileUser;
    } cases[] = {
        {"per user, file present", "1", true, true, "alice"},
        {"per user, file missing", "1", false, false, "alice"},
        {"shared, file present", "0", true, false, "Default"},
        {"empty type, file present", "", true, false, "Default"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(clientFolder() / "Profile");
        if (c.aliceFileExists) {
            std::filesystem::create_directories(aliceFolder);
            writeFile(aliceFolder / "OrvaneC.ini", "[Client Components]\nLangType=CHT\n");
        }
        const TOrvaneIniC ini = readConfig("[Client Components]\nLangType=CHS\n", alice, c.profileType);
        const std::string expectedFolder = c.readsAliceFile ? aliceFolder.string() + "/" : clientPath();
        EXPECT_EQ(ini.profileUser(), c.profileUser);
        EXPECT_EQ(ini.profileFolder(), expectedFolder);
        EXPECT_EQ(ini.langType(), c.readsAliceFile ? "CHT" : "CHS");
    }
}

TEST_F(OrvaneIniTest, WorkModuleFoldersLanguageVersionAndCallBacks)
{
    const TOrvaneIniC ini =
        readConfig("[WorkDLLPath]\nP1=Modules\nP2=\\Sales\\Pkg\nP3=/opt/orvane/pkg\nP4=D:\\Pkg\n"
                   "P5=sub/dir/\n[Client Components]\nLangType=\n[ProductVersion]\nVersion=5.0.1\n");
    const std::vector<std::string> expected{
        clientPath() + "Modules/", clientPath() + "Sales/Pkg/", "/opt/orvane/pkg/", "D:/Pkg/",
        clientPath() + "sub/dir/",
    };
    EXPECT_EQ(ini.workDllPaths(), expected);
    EXPECT_EQ(ini.langType(), "ENG") << "an empty language is the default one";
    EXPECT_EQ(ini.productVersion(), "5.0.1");

    // Call-backs are off unless the configuration turns them on.
    EXPECT_TRUE(readConfig("[Server Information]\nSupportCallBack=1\n").supportCallBack());
    EXPECT_FALSE(readConfig("[Server Information]\n").supportCallBack());
}

} // namespace
} // namespace orvane::test
