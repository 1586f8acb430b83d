#pragma once
// The server's log file: one line per event, "yyyy-mm-dd hh:nn:ss.zzz LEVEL text",
// appended and flushed at once so that a killed server leaves every line it wrote.
// Thread-safe.

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>

namespace orvane {

enum class LogLevel { Info, Warning, Error };

class ServerLog {
public:
    // Opens the file for appending (creating its folder); raises ConfigError naming the
    // file and the reason when it cannot.
    explicit ServerLog(const std::filesystem::path& file);

    void write(LogLevel level, std::string_view text);
    void info(std::string_view text) { write(LogLevel::Info, text); }
    void error(std::string_view text) { write(LogLevel::Error, text); }

private:
    std::mutex mutex_;
    std::ofstream out_;
};

} // namespace orvane
