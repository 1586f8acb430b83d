#include "server/app/ServerLog.h"

#include "platform/config/ConfigError.h"
#include "platform/text/DateText.h"

#include <cerrno>
#include <cstring>

namespace orvane {
namespace {

std::string_view levelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Info: return "INFO";
    case LogLevel::Warning: return "WARNING";
    case LogLevel::Error: return "ERROR";
    }
    return "INFO";
}

} // namespace

ServerLog::ServerLog(const std::filesystem::path& file)
{
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    out_.open(file, std::ios::app);
    if (!out_)
        throw ConfigError("cannot open the log file " + file.string() + " for appending: " + std::strerror(errno));
}

void ServerLog::write(LogLevel level, std::string_view text)
{
    const std::string stamp = text::formatDateTime("yyyy-mm-dd hh:nn:ss.zzz", text::now());
    std::lock_guard lock(mutex_);
    // A write that failed (the disk full) leaves the stream failed; without this, no line would be
    // written again, not even once the space is freed or the log has been rotated.
    out_.clear();
    out_ << stamp << ' ' << levelName(level) << ' ' << text << '\n';
    out_.flush();
}

} // namespace orvane
