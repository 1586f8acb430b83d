#pragma once
// OrvaneINI: TOrvaneIniC, the client's host configuration (installation settings and OrvaneC.ini).

#include "platform/text/CodePage.h"
#include "platform/variant/Variant.h"
#include "services/HostSystem.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class IniFile;

// How texts are converted between the interface, the data and the system code pages, and which
// font character set is shown. Values are those stored and passed around as 8-bit numbers.
enum class ConvertMode : std::uint8_t {
    None = 0,     // no conversion, GB font
    Big5ToGb = 1, // Big5 to GB, GB font
    GbToBig5 = 2, // GB to Big5, Big5 font
    Big5Font = 3, // no conversion, Big5 font
    GbFont = 4,   // no conversion, GB font (a GB interface on a Big5 system)
};

// An application server's address and port as the configuration gives them.
struct ServerEndpoint {
    std::string address;
    int port = 0; // as written; the caller checks that it is a TCP port
};

// The client's host configuration: the installation settings (ClientPath, ProfileType) and the
// client configuration file OrvaneC.ini, read in one pass when the object is created. Create one
// where a value is needed and drop it afterwards; the members are read-only.
//
// A failure that the client reports by message code is recorded in errorText() ("E;000015": the
// installation settings cannot be opened; "E;000016": no application-server address) and the read
// stops there, leaving later members at their defaults. Paths use "/" and the client path always
// ends in "/". Any thread may create and read its own object.
class TOrvaneIniC {
public:
    // Error text when the installation key cannot be opened.
    static constexpr std::string_view errorNoInstallation = "E;000015";
    // Error text when the configuration names no application server.
    static constexpr std::string_view errorNoServer = "E;000016";
    // Server port when OrvaneC.ini names none.
    static constexpr int defaultServerPort = 211;

    // Reads the settings file RegistrySettings::defaultPath() and the facts of this process.
    TOrvaneIniC();
    // Reads the installation settings from `settingsFile`, with `system` standing for the machine.
    explicit TOrvaneIniC(const std::filesystem::path& settingsFile, const HostSystem& system = HostSystem::current());

    // True when every step of the read succeeded (no error text, client path known).
    bool readSucceeded() const { return readSucceeded_; }

    const std::string& clientPath() const { return clientPath_; }
    const std::string& profileFolder() const { return profileFolder_; }
    const std::string& profileType() const { return profileType_; }
    const std::string& profileUser() const { return profileUser_; }
    const std::string& uiCodePage() const { return uiCodePage_; }
    const std::string& dbCodePage() const { return dbCodePage_; }
    const std::string& systemCodePage() const { return systemCodePage_; }
    ConvertMode uiConvertMode() const { return uiConvertMode_; }
    ConvertMode dbConvertMode() const { return dbConvertMode_; }
    bool supportCallBack() const { return supportCallBack_; }
    const std::string& configFile() const { return configFile_; }
    const Variant& serverList() const { return serverList_; }
    // The first server of serverList(); an empty address and defaultServerPort when the list is
    // empty.
    ServerEndpoint firstServer() const;
    const std::string& errorText() const { return errorText_; }
    const std::string& langType() const { return langType_; }
    const std::vector<std::string>& workDllPaths() const { return workDllPaths_; }
    const std::string& productVersion() const { return productVersion_; }
    // Why the read stopped, for logs: the file and the cause; empty after a full read.
    const std::string& errorDetail() const { return errorDetail_; }

    // Interface conversion mode: GB to Big5 when the interface is not 936; the GB font when a 936
    // interface runs on a 950 system; none otherwise.
    static ConvertMode interfaceConvertMode(std::string_view uiCodePage, std::string_view systemCodePage);
    // Data conversion mode, the one rule for every text the server answers (a message, a lookup
    // list, a program name): GB to Big5 for a 950 interface on 936 data, Big5 to GB for a 936
    // interface on 950 data, none otherwise.
    static ConvertMode dataConvertMode(text::CodePage uiCodePage, text::CodePage dbCodePage);
    // The same for the code pages as the configuration writes them; a number that names no code
    // page converts nothing.
    static ConvertMode dataConvertMode(std::string_view uiCodePage, std::string_view dbCodePage);

private:
    void read(const std::optional<std::filesystem::path>& settingsFile, const HostSystem& system);
    bool readInstallation(const std::optional<std::filesystem::path>& settingsFile);
    void chooseConfigFile(const std::string& userName);
    void readKeys(const IniFile& ini);
    bool readServerList(const IniFile& ini);
    void readWorkDllPaths(const IniFile& ini);
    // Records a failure that ends the read.
    void fail(std::string_view errorText, std::string detail);

    std::string clientPath_;                        // installation folder, ending in "/"
    std::string profileFolder_;                     // folder of the OrvaneC.ini in use
    std::string profileType_ = "0";                 // "0" or empty: one configuration for all users
    std::string profileUser_ = "Default";           // login name when configurations are per user
    std::string uiCodePage_ = "936";                // [CodePage] UICodePage
    std::string dbCodePage_ = "936";                // [CodePage] DBCodePage
    std::string systemCodePage_;                    // the system's code page as decimal text
    ConvertMode uiConvertMode_ = ConvertMode::None; // derived from the interface and system code pages
    ConvertMode dbConvertMode_ = ConvertMode::None; // derived from the interface and data code pages
    bool supportCallBack_ = false;                  // [Server Information] SupportCallBack
    std::string configFile_;                        // full path of the OrvaneC.ini that was read
    Variant serverList_;                            // 2 x n array: row 0 address, row 1 port, per server
    std::string errorText_;                         // "E;000015", "E;000016" or empty
    std::string langType_ = "ENG";                  // [Client Components] LangType
    std::vector<std::string> workDllPaths_;         // folders of program modules, each ending in "/"
    std::string productVersion_;                    // [ProductVersion] Version
    bool readSucceeded_ = false;                    // the answer of the read
    std::string errorDetail_;                       // the cause of a failed read, for logs
};

} // namespace orvane
