#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and crash-safe whole-file writes for configuration files.
namespace orvane {

// The bytes of `path`, or nothing when the file does not exist. Throws ConfigError naming the path
// when it exists but cannot be read (no permission, a folder, an I/O error).
std::optional<std::string> readFileIfExists(const std::filesystem::path& path);

// Replaces the contents of `path` by `content` so that a crash or a full disk leaves either the old
// file or the new one: a temporary file in the same folder is written, flushed to disk and renamed
// over `path`. A symbolic link is followed, so its target is replaced and the link kept. An existing
// file keeps its permission bits; a new one gets 0644. Throws ConfigError naming the path on failure.
void replaceFileAtomically(const std::filesystem::path& path, std::string_view content);

} // namespace orvane
