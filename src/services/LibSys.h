#pragma once
// LibSys: the diagnostic logs: per-source alert files and multi-line exception reports, plain text
// files under the installation's Log folder. Each line is opened, appended and closed at once.
// Errors while writing (no folder rights, disk full, no settings file location) are not caught
// here: they reach the caller. Client thread.

#include <chrono>
#include <exception>
#include <filesystem>
#include <string_view>

namespace orvane {

using LogClock = std::chrono::system_clock;

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] text" to Log/Alert_<source>_<stamp>, with ".log" when the
// source has no "."; period "M" stamps YYYYMM, "Y" YYYY, any other letter YYYYMMDD. True.
bool WriteLog(std::string_view source, std::string_view text, std::string_view period);
// The same at the local time `now`.
bool WriteLog(std::string_view source, std::string_view text, std::string_view period, LogClock::time_point now);

// Writes a report of the exception (none when null) raised in routine, with the programmer's
// message, to the day's exception report file Log/Alert_RODIDIvuredadi_YYYYMMDD.log.
void WriteExceptionReport(const std::exception* exception, std::string_view routine,
                          std::string_view programmerMessage);

// The Log folder of the alert files: under the installation settings' ClientPath, else
// ServerPath, else the running executable's folder.
std::filesystem::path alertLogFolder();
// The Log folder of exception reports: under ClientPath, else ServerPath, else the system's
// temporary folder.
std::filesystem::path reportLogFolder();

} // namespace orvane
