#include "services/LibSys.h"

#include "platform/text/CodePage.h"
#include "support/Installation.h"

#include <gtest/gtest.h>

#include <ios>
#include <stdexcept>
#include <system_error>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

// The text of each line of a log file, without its "[time] " stamp.
std::vector<std::string> linesOf(const fs::path& file)
{
    const std::string content = readFile(file);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = content.find("\r\n[", start)) != std::string::npos; start = end + 2)
        lines.push_back(content.substr(start, end - start));
    if (start < content.size())
        lines.push_back(content.substr(start, content.size() - start - 2));
    for (std::string& line : lines)
        line.erase(0, line.find("] ") + 2);
    return lines;
}

// An installation whose settings name a client folder under a temporary folder.
class LibSysTest : public ::testing::Test {
protected:
    LibSysTest() { useSettings(temp.path(), "ClientPath=" + (temp / "client").string() + "\n"); }

    fs::path log(const std::string& name) const { return temp / "client" / "Log" / name; }

    // The lines of the exception report written for error, routine and message.
    std::vector<std::string> report(const std::exception* error, std::string_view routine,
                                    std::string_view message = "")
    {
        fs::remove_all(temp / "client" / "Log");
        WriteExceptionReport(error, routine, message);
        for (const auto& entry : fs::directory_iterator(temp / "client" / "Log"))
            return linesOf(entry.path());
        return {};
    }

    EnvironmentGuard environment{"ORVANE_SETTINGS"};
    TempFolder temp;
    const std::string dashes = std::string(34, '-');
    const std::string title = dashes + " on cdsMainReconcileError " + dashes;
    const std::string heading = "讯息信息:"; // the file is UTF-8
};

TEST_F(LibSysTest, PeriodAndSourceChooseTheFileInTheFolderTheSettingsNameAndWritingErrorsReachTheCaller)
{
    const struct {
        const char* source;
        const char* period;
        const char* file;
    } cases[] = {
        {"Vozuraz", "D", "Alert_Vozuraz_20030305.log"}, {"Vozuraz", "M", "Alert_Vozuraz_200303.log"},
        {"Vozuraz", "Y", "Alert_Vozuraz_2003.log"},     {"Vozuraz", "X", "Alert_Vozuraz_20030305.log"},
        {"Orders.txt", "M", "Alert_Orders.txt_200303"}, {"../../escape", "D", "Alert_.._.._escape_20030305"},
    };
    std::tm local{.tm_sec = 9, .tm_min = 7, .tm_hour = 14, .tm_mday = 5, .tm_mon = 2, .tm_year = 103, .tm_isdst = -1};
    const auto when = LogClock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(7); // 2003/03/05 14:07:09:007
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_TRUE(WriteLog(c.source, text::fromUtf8("客户 DoubleCF-876 :", text::CodePage::Gbk), c.period, when));
        EXPECT_TRUE(fs::exists(log(c.file)));
    }
    const std::string line = "[2003/03/05 14:07:09:007] 客户 DoubleCF-876 :\r\n";
    EXPECT_EQ(readFile(log("Alert_Vozuraz_2003.log")), line);
    EXPECT_EQ(readFile(log("Alert_Vozuraz_20030305.log")), line + line) << "calls of one day append to one file";

    // The folder follows the settings.
    EXPECT_EQ(alertLogFolder(), temp / "client" / "Log");
    useSettings(temp.path(), "ClientPath=\nServerPath=" + (temp / "server").string() + "\n");
    EXPECT_EQ(alertLogFolder(), temp / "server" / "Log");
    useSettings(temp.path(), "");
    EXPECT_EQ(reportLogFolder(), fs::temp_directory_path() / "Log");
    EXPECT_NE(alertLogFolder(), reportLogFolder()); // the executable's folder

    // Writing errors reach the caller.
    writeFile(temp / "not-a-folder", "");
    useSettings(temp.path(), "ClientPath=" + (temp / "not-a-folder").string() + "\n");
    EXPECT_THROW(WriteLog("Vozuraz", "text", "D"), fs::filesystem_error);
    EXPECT_THROW(WriteExceptionReport(nullptr, "routine", "message"), fs::filesystem_error);
}

TEST_F(LibSysTest, EachKindOfExceptionHasItsLineAndNestedOnesAreNumberedAndCounted)
{
    const std::runtime_error plain("Order 1 was changed by another user");
    const std::system_error system(std::make_error_code(std::errc::no_such_file_or_directory), "open C_DATA");
    const std::ios_base::failure io("read OrvaneC.ini", std::make_error_code(std::errc::io_error));
    const struct {
        const std::exception* error;
        std::string line;
    } cases[] = {
        {&plain, "Exception is std::runtime_error\r\nMessage 01: Order 1 was changed by another user"},
        {&system, "EWin32Error Error 01: Code: 2, Message: " + std::string(system.what())},
        {&io, "EInOutError Error 01: Code: 5, Message: " + std::string(io.what())},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(report(c.error, "cdsMainReconcileError", "while saving"),
                  (std::vector<std::string>{title, heading, c.line, "ErrorMessage Count: 1",
                                            "Programer Message: while saving"}));
    }

    // Nested errors are numbered and counted.
    try {
        try {
            throw std::out_of_range("row 7");
        } catch (...) {
            std::throw_with_nested(std::runtime_error("apply failed"));
        }
    } catch (const std::exception& error) {
        const std::vector<std::string> lines = report(&error, "cdsMainReconcileError");
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_TRUE(lines[2].ends_with("Message 01: apply failed")) << lines[2];
        EXPECT_EQ(lines[3], "Exception is std::out_of_range\r\nMessage 02: row 7");
        EXPECT_EQ(lines[4], "ErrorMessage Count: 2");
    }
}

} // namespace
} // namespace orvane::test
