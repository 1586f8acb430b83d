#include "platform/config/FileAccess.h"

#include "platform/config/ConfigError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

std::string quoted(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

[[noreturn]] void fail(std::string_view what, const std::filesystem::path& path, int error)
{
    throw ConfigError(std::string(what) + " " + quoted(path) + ": " + std::strerror(error));
}

// Closes a descriptor and removes the temporary file unless the rename went through.
class TemporaryFile {
public:
    TemporaryFile(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!renamed_)
            ::unlink(name_.c_str());
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    // Closes the descriptor, reporting a failed close (which can lose buffered data).
    int close()
    {
        int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void markRenamed() { renamed_ = true; }

private:
    int fd_;
    std::string name_;
    bool renamed_ = false;
};

bool writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a save really replaces: the target of a symbolic link, else the path itself.
std::filesystem::path saveTarget(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target;
}

// Makes the rename itself durable; a folder that cannot be synced only weakens that guarantee.
void syncFolder(const std::filesystem::path& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<std::string> readFileIfExists(const std::filesystem::path& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        fail("cannot open configuration file", path, errno);
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            ::close(fd);
            fail("cannot read configuration file", path, error);
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

void replaceFileAtomically(const std::filesystem::path& path, std::string_view content)
{
    const std::filesystem::path target = saveTarget(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        fail("cannot create a temporary file to save", target, errno);
    TemporaryFile temporary(fd, std::move(name));

    struct stat old {};
    mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    if (::fchmod(temporary.fd(), mode) != 0)
        fail("cannot set the permissions to save", target, errno);
    if (!writeAll(temporary.fd(), content))
        fail("cannot write configuration file", target, errno);
    if (::fsync(temporary.fd()) != 0)
        fail("cannot flush configuration file", target, errno);
    if (temporary.close() != 0)
        fail("cannot write configuration file", target, errno);
    if (::rename(temporary.name().c_str(), target.c_str()) != 0) {
        fail("cannot replace configuration file", target, errno);
    }
    temporary.markRenamed();
    syncFolder(folder);
}

} // namespace orvane
