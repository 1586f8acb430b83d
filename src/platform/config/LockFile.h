#pragma once

#include <chrono>
#include <filesystem>
#include <sys/types.h>

namespace orvane {

// An advisory lock on a lock file, held for as long as the object lives. The system drops it when
// the process ends, however it ends, so a lock left by a program that died never blocks the next.
class LockFile {
public:
    enum class State {
        Held,          // this object holds the lock
        HeldElsewhere, // another open of the file holds it (another process, or another window)
        Unsupported,   // the file system keeps no locks (some network shares)
    };

    // Opens the lock file, made with the permission bits `mode` when missing; raises
    // std::system_error naming the file when it cannot be opened.
    LockFile(const std::filesystem::path& path, mode_t mode);
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Takes the lock without waiting.
    State tryTake();
    // Takes the lock, trying again every 50 ms while another holds it, for at most `patience`.
    State take(std::chrono::milliseconds patience);

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace orvane
