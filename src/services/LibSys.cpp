#include "services/LibSys.h"

#include "platform/config/RegistrySettings.h"
#include "platform/text/ByteText.h"
#include "platform/text/CodePage.h"
#include "platform/text/Format.h"
#include "platform/text/LocalText.h"

#include <cxxabi.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <ios>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <typeinfo>
#include <vector>

namespace orvane {
namespace {

namespace fs = std::filesystem;

struct LocalTime {
    std::tm fields{};
    int milliseconds = 0;
};

LocalTime localTime(LogClock::time_point now)
{
    const std::time_t seconds = LogClock::to_time_t(now);
    LocalTime result;
    localtime_r(&seconds, &result.fields);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    result.milliseconds = static_cast<int>(millis < 0 ? millis + 1000 : millis);
    return result;
}

std::string timeText(const std::tm& time, const char* pattern)
{
    char buffer[64];
    const std::size_t length = std::strftime(buffer, sizeof buffer, pattern, &time);
    return std::string(buffer, length);
}

std::string periodStamp(const std::tm& time, std::string_view period)
{
    if (period == "M")
        return timeText(time, "%Y%m");
    if (period == "Y")
        return timeText(time, "%Y");
    return timeText(time, "%Y%m%d");
}

// The installation folder from the settings: ClientPath, else ServerPath.
std::optional<fs::path> installationFolder()
{
    const RegistrySettings settings;
    for (const std::string_view value : {"ClientPath", "ServerPath"}) {
        std::string folder = settings.readString(RegistrySettings::orvaneKey, value);
        if (!folder.empty())
            return fs::path(std::move(folder));
    }
    return std::nullopt;
}

fs::path executableFolder()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : executable.parent_path();
}

// A source becomes part of a file name: a "/" would leave the Log folder, so it is replaced.
// Trail bytes of double-byte characters are never "/" (they start at 0x40), so none is broken.
std::string fileNamePart(std::string_view source)
{
    std::string part(source);
    for (char& c : part) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    return text::localToUtf8(part);
}

// Appends one line (installation code page) to the file as UTF-8, creating folder and file.
void appendLine(const fs::path& file, std::string_view line)
{
    fs::create_directories(file.parent_path());
    const std::string bytes = text::localToUtf8(line) + "\r\n";
    std::FILE* stream = std::fopen(file.c_str(), "ab");
    if (stream == nullptr)
        throw fs::filesystem_error("Cannot open the log file", file, std::error_code(errno, std::generic_category()));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    const int writeError = errno;
    if (std::fclose(stream) != 0 || !written)
        throw fs::filesystem_error("Cannot write the log file", file,
                                   std::error_code(written ? errno : writeError, std::generic_category()));
}

std::string className(const std::exception& error)
{
    const char* mangled = typeid(error).name();
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                      std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

std::string errorLine(const std::exception& error, int number)
{
    if (const auto* io = dynamic_cast<const std::ios_base::failure*>(&error))
        return text::format("EInOutError Error %.2d: Code: %d, Message: %s",
                            {number, io->code().value(), std::string(io->what())});
    if (const auto* system = dynamic_cast<const std::system_error*>(&error))
        return text::format("EWin32Error Error %.2d: Code: %d, Message: %s",
                            {number, system->code().value(), std::string(system->what())});
    return text::format("Exception is %s\r\nMessage %.2d: ", {className(error), number}) + error.what();
}

// One line for the error and one for each error nested in it, numbered from `number`.
void addErrorLines(const std::exception& error, int& number, std::vector<std::string>& lines)
{
    lines.push_back(errorLine(error, number++));
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& inner) {
        addErrorLines(inner, number, lines);
    } catch (...) {
        lines.push_back(text::format("Exception is %s\r\nMessage %.2d: ", {"unknown", number++}));
    }
}

std::vector<std::string> reportLines(const std::exception* exception, std::string_view routine,
                                     std::string_view programmerMessage)
{
    const std::string dashes(34, '-');
    const std::string name = text::trim(routine);
    std::vector<std::string> lines{dashes + (name.empty() ? "" : " on " + std::string(routine) + " ") + dashes};
    if (exception != nullptr) {
        lines.push_back(LOCAL_TEXT(u8"讯息信息:"));
        int number = 1;
        addErrorLines(*exception, number, lines);
        lines.push_back(text::format("ErrorMessage Count: %d", {number - 1}));
    }
    if (!programmerMessage.empty())
        lines.push_back("Programer Message: " + std::string(programmerMessage));
    return lines;
}

} // namespace

fs::path alertLogFolder()
{
    return installationFolder().value_or(executableFolder()) / "Log";
}

fs::path reportLogFolder()
{
    return installationFolder().value_or(fs::temp_directory_path()) / "Log";
}

bool WriteLog(std::string_view source, std::string_view text, std::string_view period)
{
    return WriteLog(source, text, period, LogClock::now());
}

bool WriteLog(std::string_view source, std::string_view text, std::string_view period, LogClock::time_point now)
{
    const LocalTime time = localTime(now);
    std::string fileName = "Alert_" + fileNamePart(source) + "_" + periodStamp(time.fields, period);
    if (source.find('.') == std::string_view::npos)
        fileName += ".log";
    const std::string stamp = timeText(time.fields, "%Y/%m/%d %H:%M:%S") + text::format(":%.3d", {time.milliseconds});
    appendLine(alertLogFolder() / fileName, "[" + stamp + "] " + std::string(text));
    return true;
}

void WriteExceptionReport(const std::exception* exception, std::string_view routine, std::string_view programmerMessage)
{
    const LocalTime time = localTime(LogClock::now());
    const fs::path file = reportLogFolder() / ("Alert_RODIDIvuredadi_" + timeText(time.fields, "%Y%m%d") + ".log");
    const std::string stamp = "[" + timeText(time.fields, "%Y/%m/%d %H:%M:%S") + "] ";
    for (const std::string& line : reportLines(exception, routine, programmerMessage))
        appendLine(file, stamp + line);
}

} // namespace orvane
