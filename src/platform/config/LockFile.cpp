#include "platform/config/LockFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace orvane {

LockFile::LockFile(const std::filesystem::path& path, mode_t mode) : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
    if (fd_ < 0)
        throw std::system_error(errno, std::generic_category(), "the lock file " + path.string() + " cannot be opened");
}

LockFile::~LockFile()
{
    ::close(fd_);
}

LockFile::State LockFile::tryTake()
{
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        return State::Held;
    return errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unsupported;
}

LockFile::State LockFile::take(std::chrono::milliseconds patience)
{
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    State state = tryTake();
    while (state == State::HeldElsewhere && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state = tryTake();
    }
    return state;
}

} // namespace orvane
