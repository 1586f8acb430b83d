#include "services/OrvaneINI.h"

#include "platform/config/ConfigError.h"
#include "platform/config/IniFile.h"
#include "platform/config/RegistrySettings.h"
#include "platform/text/ByteText.h"
#include "platform/variant/NumberText.h"

#include <system_error>

namespace orvane {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view configFileName = "OrvaneC.ini";
constexpr std::string_view serverSection = "Server Information";
constexpr std::string_view defaultServerAddress = "127.0.0.1";

// Configuration files written on another system separate folders with "\"; here they become "/".
// The text is scanned by characters, so a "\" that is the second byte of a double-byte character
// stays.
std::string withSlashes(std::string_view path)
{
    std::string result(path);
    const text::CodePage codePage = text::installationCodePage();
    for (std::size_t i = 0; i < result.size(); i += text::characterLength(result, i, codePage)) {
        if (result[i] == '\\')
            result[i] = '/';
    }
    return result;
}

std::string asFolder(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

bool hasDriveLetter(std::string_view path)
{
    auto isAsciiLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':';
}

// A [WorkDLLPath] value as a folder: absolute when it starts with "/" or a drive letter, otherwise
// relative to the client folder, a leading "\" being dropped first.
std::string workFolder(std::string_view value, const std::string& clientPath)
{
    if (value.starts_with('/') || hasDriveLetter(value))
        return asFolder(withSlashes(value));
    if (value.starts_with('\\'))
        value.remove_prefix(1);
    return asFolder(clientPath + withSlashes(value));
}

// An empty value is no setting: the key's default applies, as when the key is missing.
std::string readOrDefault(const IniFile& ini, std::string_view section, std::string_view key,
                          const std::string& fallback)
{
    std::string value = ini.readString(section, key);
    return value.empty() ? fallback : value;
}

} // namespace

TOrvaneIniC::TOrvaneIniC()
{
    read(std::nullopt, HostSystem::current());
}

TOrvaneIniC::TOrvaneIniC(const std::filesystem::path& settingsFile, const HostSystem& system)
{
    read(settingsFile, system);
}

ConvertMode TOrvaneIniC::interfaceConvertMode(std::string_view uiCodePage, std::string_view systemCodePage)
{
    if (uiCodePage != "936")
        return ConvertMode::GbToBig5;
    return systemCodePage == "950" ? ConvertMode::GbFont : ConvertMode::None;
}

ConvertMode TOrvaneIniC::dataConvertMode(text::CodePage uiCodePage, text::CodePage dbCodePage)
{
    if (uiCodePage == text::CodePage::Big5 && dbCodePage == text::CodePage::Gbk)
        return ConvertMode::GbToBig5;
    if (uiCodePage == text::CodePage::Gbk && dbCodePage == text::CodePage::Big5)
        return ConvertMode::Big5ToGb;
    return ConvertMode::None;
}

ConvertMode TOrvaneIniC::dataConvertMode(std::string_view uiCodePage, std::string_view dbCodePage)
{
    const auto codePageOf = [](std::string_view number) {
        return text::codePageFromNumber(static_cast<int>(text::parseIntegerOrZero(number)));
    };
    const std::optional<text::CodePage> ui = codePageOf(uiCodePage);
    const std::optional<text::CodePage> db = codePageOf(dbCodePage);
    return ui && db ? dataConvertMode(*ui, *db) : ConvertMode::None;
}

void TOrvaneIniC::read(const std::optional<std::filesystem::path>& settingsFile, const HostSystem& system)
{
    systemCodePage_ = system.ansiCodePage;
    if (!readInstallation(settingsFile))
        return;
    if (clientPath_.empty()) {
        errorDetail_ = "the installation settings name no ClientPath";
        return;
    }
    clientPath_ = asFolder(withSlashes(clientPath_));
    chooseConfigFile(system.userName);
    const IniFile ini(configFile_);
    readKeys(ini);
    uiConvertMode_ = interfaceConvertMode(uiCodePage_, systemCodePage_);
    dbConvertMode_ = dataConvertMode(uiCodePage_, dbCodePage_);
    if (!readServerList(ini))
        return;
    readWorkDllPaths(ini);
    readSucceeded_ = true;
}

bool TOrvaneIniC::readInstallation(const std::optional<std::filesystem::path>& settingsFile)
{
    const std::string_view key = RegistrySettings::orvaneKey;
    try {
        const RegistrySettings settings(settingsFile ? *settingsFile : RegistrySettings::defaultPath());
        if (!settings.keyExists(key)) {
            fail(errorNoInstallation,
                 "the installation settings file " + settings.path().string() + " has no key " + std::string(key));
            return false;
        }
        clientPath_ = settings.readString(key, "ClientPath");
        profileType_ = text::trim(settings.readString(key, "ProfileType", profileType_));
    } catch (const ConfigError& error) {
        fail(errorNoInstallation, error.what());
        return false;
    }
    return true;
}

void TOrvaneIniC::chooseConfigFile(const std::string& userName)
{
    profileFolder_ = clientPath_;
    if (!profileType_.empty() && profileType_ != "0") {
        if (!userName.empty())
            profileUser_ = userName;
        const std::string userFolder = clientPath_ + "Profile/" + profileUser_ + "/";
        std::error_code ignored;
        if (fs::is_regular_file(userFolder + std::string(configFileName), ignored))
            profileFolder_ = userFolder;
    }
    configFile_ = profileFolder_ + std::string(configFileName);
}

void TOrvaneIniC::readKeys(const IniFile& ini)
{
    langType_ = readOrDefault(ini, "Client Components", "LangType", langType_);
    productVersion_ = ini.readString("ProductVersion", "Version");
    uiCodePage_ = readOrDefault(ini, "CodePage", "UICodePage", uiCodePage_);
    dbCodePage_ = readOrDefault(ini, "CodePage", "DBCodePage", dbCodePage_);
    supportCallBack_ = ini.readBool(serverSection, "SupportCallBack", false);
}

bool TOrvaneIniC::readServerList(const IniFile& ini)
{
    // The addresses of ComputerName: pieces between ";", trimmed, empty ones left out.
    const std::vector<std::string> addresses = text::splitList(
        ini.readString(serverSection, "ComputerName", defaultServerAddress), ';', text::ListItems::TrimmedNonEmpty);
    if (addresses.empty()) {
        fail(errorNoServer, "[Server Information] ComputerName in " + configFile_ + " names no server");
        return false;
    }
    const int port = ini.readInteger(serverSection, "ServerPort", defaultServerPort);
    const int last = static_cast<int>(addresses.size()) - 1;
    serverList_ = Variant::createArray(ArrayBounds{0, 1}, ArrayBounds{0, last});
    for (int column = 0; column <= last; ++column) {
        serverList_.at(0, column) = Variant(addresses[static_cast<std::size_t>(column)]);
        serverList_.at(1, column) = Variant(port);
    }
    return true;
}

ServerEndpoint TOrvaneIniC::firstServer() const
{
    if (serverList_.dimensions() != 2 || serverList_.array().bounds(2).count() <= 0)
        return {std::string(), defaultServerPort};
    const int row = serverList_.lowBound(1);
    const int column = serverList_.lowBound(2);
    return {serverList_.at(row, column).toString(),
            static_cast<int>(serverList_.at(row + 1, column).toIntegerOrZero())};
}

void TOrvaneIniC::readWorkDllPaths(const IniFile& ini)
{
    for (const std::string& line : ini.readSectionValues("WorkDLLPath")) {
        workDllPaths_.push_back(workFolder(std::string_view(line).substr(line.find('=') + 1), clientPath_));
    }
    if (workDllPaths_.empty())
        workDllPaths_.push_back(clientPath_ + "C_PKG/");
}

void TOrvaneIniC::fail(std::string_view errorText, std::string detail)
{
    errorText_ = errorText;
    errorDetail_ = std::move(detail);
}

} // namespace orvane
